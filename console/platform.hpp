// Everything that differs between Windows and the other systems, behind a plain interface.
#pragma once

#include <string_view>

namespace platform {

// True when standard output is shown on a terminal or console window, false for a pipe or a file.
bool outputIsTerminal();

// Clearing a terminal takes the bytes of clearSequence() written to it, then runClearCommand():
// one of the two is empty here, depending on the system.
std::string_view clearSequence();
void runClearCommand();

}  // namespace platform
