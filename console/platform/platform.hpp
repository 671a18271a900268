// Everything that differs between the systems the programs run on, behind a plain interface.
// One source file per system implements it: platform_posix.cpp, platform_windows.cpp and
// platform_browser.cpp.
#pragma once

#include <string_view>

#include "streams.hpp"

namespace platform {

// The process's standard streams, made ready for byte-exact reading on the first call.
console::ByteInput& standardInput();
console::ByteOutput& standardOutput();
console::ByteOutput& standardError();

// True when standard output is shown on a terminal or console window, false for a pipe or a file.
bool outputIsTerminal();

// Clearing a terminal takes the bytes of clearSequence() written to it, then runClearCommand():
// one of the two is empty, depending on the system.
std::string_view clearSequence();
void runClearCommand();

// Called with the exit status just before main returns it. Where main's return value reaches the
// system (POSIX, Windows) it does nothing; in the browser it hands the status to the page.
void reportExit(int status);

}  // namespace platform
