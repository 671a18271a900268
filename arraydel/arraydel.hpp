#pragma once

#include "console.hpp"

namespace arraydel {

// Deletes the element at `position` (counted from 0) of the `count` elements from `first` on by
// moving the later ones down, marks the freed last slot with -1 and returns count - 1. A position
// at or past the last element only marks the last slot; a negative one deletes the first element.
// Nothing at or beyond `count` is touched.
int deleteIntegerFromArray(int* first, int count, int position);

// The whole arraydel session: the array, the position asked for, the array again.
void runArraydel(console::Console& console);

}  // namespace arraydel
