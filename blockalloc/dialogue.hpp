#pragma once

#include "console.hpp"

namespace blockalloc {

// The whole blockalloc session: asks for the number of blocks, then runs the menu until End or
// the end of the input.
void runBlockalloc(console::Console& console);

}  // namespace blockalloc
