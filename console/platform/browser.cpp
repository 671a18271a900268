// The standard streams in a browser, or under node for the tests: the program is a WebAssembly
// module, and its host (the page's terminal, or web/run-in-node.js) hands it the hooks of
// Module.osdemos:
//
//   isTerminal          true when the output is shown on a terminal
//   read(size)          a promise of up to `size` bytes (a Uint8Array; empty at the end of the
//                       input) or of an error's name
//   wait()              a promise that resolves, to 0 or an error's name, when a read that
//                       answered "EAGAIN" may be made again
//   write(stream, bytes)  1 for output, 2 for errors: the count of bytes taken, or an error's
//                       name ("EAGAIN" when the host cannot take more yet)
//   writable()          a promise that resolves, to 0 or an error's name, when a write that
//                       answered "EAGAIN" may be made again
//
// Errors are named as errno names them; hostErrors below says which a program knows. A read or
// a wait suspends the program (Asyncify) without blocking the page.
#include <emscripten.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "platform.hpp"

namespace {

struct HostError {
    const char* name;
    int number;
};

// The errors a host may name; any other is taken as EIO.
constexpr std::array<HostError, 7> hostErrors{{{"EAGAIN", EAGAIN},
                                               {"EINTR", EINTR},
                                               {"EBADF", EBADF},
                                               {"EISDIR", EISDIR},
                                               {"ENOSPC", ENOSPC},
                                               {"EPIPE", EPIPE},
                                               {"EIO", EIO}}};

int chunk(std::size_t size) { return static_cast<int>(size < (1U << 30) ? size : (1U << 30)); }

}  // namespace

// Each returns a count of bytes, or -1 when the host named an error, which hostError() then
// gives. The bodies are JavaScript, which the C++ formatter would mangle.
// clang-format off
EM_ASYNC_JS(int, hostRead, (char* into, int size), {
    const got = await Module.osdemos.read(size);
    if (typeof got === "string") return (Module.osdemosError = got, -1);
    HEAPU8.set(got, into);
    return got.length;
});

EM_ASYNC_JS(int, hostWait, (), {
    const got = await Module.osdemos.wait();
    return typeof got === "string" ? (Module.osdemosError = got, -1) : 0;
});

EM_JS(int, hostWrite, (int stream, const char* from, int size), {
    const got = Module.osdemos.write(stream, HEAPU8.slice(from, from + size));
    return typeof got === "string" ? (Module.osdemosError = got, -1) : got;
});

EM_ASYNC_JS(int, hostWaitWritable, (), {
    const got = await Module.osdemos.writable();
    return typeof got === "string" ? (Module.osdemosError = got, -1) : 0;
});

EM_JS(void, hostErrorName, (char* into, int size), {
    stringToUTF8(String(Module.osdemosError), into, size);
});

EM_JS(int, hostIsTerminal, (), { return Module.osdemos.isTerminal ? 1 : 0; });
// clang-format on

namespace {

// The error the host named last, as an errno value.
int hostError() {
    std::array<char, 32> name{};
    hostErrorName(name.data(), static_cast<int>(name.size()));
    for (const HostError& known : hostErrors)
        if (std::strcmp(known.name, name.data()) == 0) return known.number;
    return EIO;
}

console::Transfer transferred(int result) {
    if (result >= 0) return {static_cast<std::size_t>(result), 0};
    return {0, hostError()};
}

int waited(int result) { return result >= 0 ? 0 : hostError(); }

}  // namespace

namespace platform {
namespace {

class HostInput final : public console::ByteInput {
public:
    console::Transfer read(char* into, std::size_t size) override {
        return transferred(hostRead(into, chunk(size)));
    }
    int waitUntilReadable() override { return waited(hostWait()); }
};

class HostOutput final : public console::ByteOutput {
public:
    explicit HostOutput(int stream) : stream_(stream) {}
    console::Transfer write(const char* from, std::size_t size) override {
        return transferred(hostWrite(stream_, from, chunk(size)));
    }
    int waitUntilWritable() override { return waited(hostWaitWritable()); }
    // The page's terminal (xterm.js) knows the ANSI sequences.
    int clearScreen() override {
        return console::writeAll(*this, ansiClearScreen.data(), ansiClearScreen.size());
    }

private:
    int stream_;
};

}  // namespace

console::ByteInput& standardInput() {
    static HostInput input;
    return input;
}

console::ByteOutput& standardOutput() {
    static HostOutput output(1);
    return output;
}

console::ByteOutput& standardError() {
    static HostOutput errors(2);
    return errors;
}

bool outputIsTerminal() { return hostIsTerminal() != 0; }

// main returns into the JavaScript that resumed it, not to the host: the status is handed over
// here, and the host hears of it through its onExit.
void reportExit(int status) { emscripten_force_exit(status); }

}  // namespace platform
