// Everything that differs between the systems the programs run on, behind a plain interface.
// One source file per system implements it: posix.cpp, windows.cpp and browser.cpp. Only this
// folder's target sees this header: the programs reach the system through the console alone.
#pragma once

#include <string_view>

#include "streams.hpp"

namespace platform {

// The process's standard streams, made ready for byte-exact reading on the first call. Standard
// output clears its screen (clearScreen()) when it is a terminal.
console::ByteInput& standardInput();
console::ByteOutput& standardOutput();
console::ByteOutput& standardError();

// True when standard output is shown on a terminal or console window, false for a pipe or a file.
bool outputIsTerminal();

#ifdef _WIN32
// Runs "cls" through cmd.exe of the system folder, never one found through COMSPEC, PATH or the
// current folder: true when it was started and has ended. Standard output clears with it.
bool clearConsoleWindow();
#endif

// What clears a terminal that knows the ANSI sequences: cursor home, then erase the screen.
inline constexpr std::string_view ansiClearScreen = "\033[H\033[2J";

// Called with the exit status just before main returns it. Where main's return value reaches the
// system (POSIX, Windows) it does nothing; in the browser it hands the status to the page.
void reportExit(int status);

}  // namespace platform
