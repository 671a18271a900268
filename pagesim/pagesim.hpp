// pagesim: page replacement with any number of frames and every classic policy, traced reference
// by reference, totalled, or compared over frame counts.
#pragma once

#include <string>
#include <vector>

#include "console.hpp"

namespace pagesim {

// The whole program, given its arguments after its name: returns its exit status (0; 1 when a
// read or a write failed or memory ran out; 2 for a command line it cannot use).
int runPagesim(const std::vector<std::string>& arguments, console::Streams& streams);

}  // namespace pagesim
