#pragma once

#include <string>

#include "console.hpp"

namespace pagefifo {

// Writes the fault rows of first-in-first-out replacement over three frames for the pages of
// `refString`, one row per fault; hits write nothing.
void traceFaults(console::Console& console, const std::string& refString);

// The whole pagefifo session: the count, the pages, the header and the fault rows.
void runPagefifo(console::Console& console);

}  // namespace pagefifo
