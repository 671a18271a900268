// The standard streams on Windows: the C runtime's descriptors 0, 1 and 2. Redirected input is
// read as bytes; output keeps text mode, so that line ends reach files and pipes as CRLF, as
// every console program on Windows writes them.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <climits>
#include <string>

#include "platform.hpp"

namespace platform {
namespace {

bool isConsole(DWORD standardHandle) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(standardHandle), &mode) != 0;
}

unsigned int chunk(std::size_t size) {
    return static_cast<unsigned int>(size < INT_MAX ? size : INT_MAX);
}

console::Transfer transferred(int result) {
    if (result < 0) return {0, errno};
    return {static_cast<std::size_t>(result), 0};
}

class DescriptorInput final : public console::ByteInput {
public:
    // In text mode the runtime ends the input at a Ctrl-Z byte and drops CRs. Typed at a console,
    // Ctrl-Z then Enter is how a user ends the input, so only a console keeps text mode.
    DescriptorInput() {
        if (!isConsole(STD_INPUT_HANDLE)) _setmode(0, _O_BINARY);
    }
    console::Transfer read(char* into, std::size_t size) override {
        return transferred(_read(0, into, chunk(size)));
    }
    int waitUntilReadable() override { return 0; }  // the runtime's reads always block
};

class DescriptorOutput final : public console::ByteOutput {
public:
    explicit DescriptorOutput(int descriptor) : descriptor_(descriptor) {}
    console::Transfer write(const char* from, std::size_t size) override {
        return transferred(_write(descriptor_, from, chunk(size)));
    }
    int waitUntilWritable() override { return 0; }
    // The console window is cleared by the system's command interpreter; whether it managed
    // changes nothing for the program.
    int clearScreen() override {
        clearConsoleWindow();
        return 0;
    }

private:
    int descriptor_;
};

// cmd.exe from the system folder, never one found through COMSPEC, PATH or the current folder.
std::wstring systemInterpreter() {
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::wstring(folder, length) + L"\\cmd.exe";
}

}  // namespace

console::ByteInput& standardInput() {
    static DescriptorInput input;
    return input;
}

console::ByteOutput& standardOutput() {
    static DescriptorOutput output(1);
    return output;
}

console::ByteOutput& standardError() {
    static DescriptorOutput errors(2);
    return errors;
}

bool outputIsTerminal() { return isConsole(STD_OUTPUT_HANDLE); }

// Runs "cls" through the system's command interpreter, without the user's AutoRun scripts (/d).
bool clearConsoleWindow() {
    const std::wstring interpreter = systemInterpreter();
    if (interpreter.empty()) return false;
    std::wstring commandLine = L"cmd.exe /d /c cls";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(interpreter.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        nullptr, &startup, &process))
        return false;
    const bool ended = WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ended;
}

void reportExit(int /*status*/) {}

}  // namespace platform
