#include "platform.hpp"

#ifdef _WIN32
#include <windows.h>

#include <cstdlib>
#else
#include <unistd.h>
#endif

namespace platform {

#ifdef _WIN32

bool outputIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

std::string_view clearSequence() { return {}; }

// The console window is cleared by its own command interpreter; what it returns changes nothing.
void runClearCommand() { static_cast<void>(std::system("cls")); }

#else

bool outputIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

// Cursor home, then erase the whole screen.
std::string_view clearSequence() { return "\033[H\033[2J"; }

void runClearCommand() {}

#endif

}  // namespace platform
