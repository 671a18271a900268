// The standard streams in a browser, or under node for the tests: the program is a WebAssembly
// module, and its host (the page's terminal, or web/run-in-node.js) hands it the hooks of
// Module.osdemos. A read waits for the host without blocking the page: the program is suspended
// (Asyncify) until the host's promise resolves.
#include <emscripten.h>

#include <array>
#include <cerrno>

#include "platform.hpp"

namespace {

// The errors a host reports, by their place in its list (web/run-in-node.js): -1 is the first.
constexpr std::array<int, 7> hostErrors{EAGAIN, EINTR, EBADF, EISDIR, ENOSPC, EPIPE, EIO};

console::Transfer transferred(int result) {
    if (result >= 0) return {static_cast<std::size_t>(result), 0};
    const auto index = static_cast<std::size_t>(-result - 1);
    return {0, index < hostErrors.size() ? hostErrors[index] : EIO};
}

int chunk(std::size_t size) { return static_cast<int>(size < (1U << 30) ? size : (1U << 30)); }

}  // namespace

// Each returns a count of bytes, or -(place of the error in the host's list + 1). The bodies are
// JavaScript, which the C++ formatter would mangle.
// clang-format off
EM_ASYNC_JS(int, hostRead, (char* into, int size), {
    const got = await Module.osdemos.read(size);
    if (typeof got === "number") return got;
    HEAPU8.set(got, into);
    return got.length;
});

EM_ASYNC_JS(int, hostWait, (), { return await Module.osdemos.wait(); });

EM_JS(int, hostWrite, (int stream, const char* from, int size), {
    return Module.osdemos.write(stream, HEAPU8.slice(from, from + size));
});

EM_JS(int, hostIsTerminal, (), { return Module.osdemos.isTerminal ? 1 : 0; });
// clang-format on

namespace platform {
namespace {

class HostInput final : public console::ByteInput {
public:
    console::Transfer read(char* into, std::size_t size) override {
        return transferred(hostRead(into, chunk(size)));
    }
    int waitUntilReadable() override { return transferred(hostWait()).error; }
};

class HostOutput final : public console::ByteOutput {
public:
    explicit HostOutput(int stream) : stream_(stream) {}
    console::Transfer write(const char* from, std::size_t size) override {
        return transferred(hostWrite(stream_, from, chunk(size)));
    }
    int waitUntilWritable() override { return 0; }  // a host takes every write whole

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

// The page's terminal (xterm.js) knows the ANSI sequences: cursor home, then erase the screen.
std::string_view clearSequence() { return "\033[H\033[2J"; }

void runClearCommand() {}

// main returns into the JavaScript that resumed it, not to the host: the status is handed over
// here, and the host hears of it through its onExit.
void reportExit(int status) { emscripten_force_exit(status); }

}  // namespace platform
