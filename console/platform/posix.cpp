// The standard streams of a POSIX system: read(2) and write(2) on descriptors 0, 1 and 2, and
// poll(2) to wait on a descriptor that is in non-blocking mode.
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "platform.hpp"

namespace platform {
namespace {

int waitFor(int descriptor, short event) {
    pollfd request{descriptor, event, 0};
    while (poll(&request, 1, -1) < 0) {
        if (errno != EINTR) return errno;
    }
    return 0;
}

console::Transfer transferred(ssize_t result) {
    if (result < 0) return {0, errno};
    return {static_cast<std::size_t>(result), 0};
}

class DescriptorInput final : public console::ByteInput {
public:
    console::Transfer read(char* into, std::size_t size) override {
        return transferred(::read(STDIN_FILENO, into, size));
    }
    int waitUntilReadable() override { return waitFor(STDIN_FILENO, POLLIN); }
};

class DescriptorOutput final : public console::ByteOutput {
public:
    explicit DescriptorOutput(int descriptor) : descriptor_(descriptor) {}
    console::Transfer write(const char* from, std::size_t size) override {
        return transferred(::write(descriptor_, from, size));
    }
    int waitUntilWritable() override { return waitFor(descriptor_, POLLOUT); }
    // The ANSI sequence that clears a terminal.
    int clearScreen() override {
        return console::writeAll(*this, ansiClearScreen.data(), ansiClearScreen.size());
    }

private:
    int descriptor_;
};

}  // namespace

console::ByteInput& standardInput() {
    static DescriptorInput input;
    return input;
}

console::ByteOutput& standardOutput() {
    static DescriptorOutput output(STDOUT_FILENO);
    return output;
}

console::ByteOutput& standardError() {
    static DescriptorOutput errors(STDERR_FILENO);
    return errors;
}

bool outputIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

void reportExit(int /*status*/) {}

}  // namespace platform
