#pragma once

#include <cstddef>

#include "console.hpp"

namespace blockalloc {

// The whole blockalloc session: asks for the number of blocks, then runs the menu until End or
// the end of the input.
void runBlockalloc(console::Console& console);
// The same with at most `mostBlocks` blocks to the map: a larger count is answered as one the
// memory cannot hold. (A fuzzer keeps its runs small this way, and still reaches that answer.)
void runBlockalloc(console::Console& console, std::size_t mostBlocks);

}  // namespace blockalloc
