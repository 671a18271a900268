// The two ends of a console as plain byte streams. The system's streams implement them for each
// platform; tests use in-memory ones. Errors are the system's error numbers (errno values), so
// that the rules above them (retry, wait, report) are written once for every platform.
#pragma once

#include <cstddef>

namespace console {

// What one read or write did: `count` bytes moved, or `error` (an errno value) when it failed.
// A read that moves 0 bytes without an error is the end of the input.
struct Transfer {
    std::size_t count;
    int error;
};

class ByteInput {
public:
    virtual ~ByteInput() = default;
    virtual Transfer read(char* into, std::size_t size) = 0;
    // Blocks until a read would find data (after a read failed with EAGAIN). 0, or an errno value.
    virtual int waitUntilReadable() = 0;
};

class ByteOutput {
public:
    virtual ~ByteOutput() = default;
    virtual Transfer write(const char* from, std::size_t size) = 0;
    // Blocks until a write would find room (after a write failed with EAGAIN). 0, or an errno
    // value.
    virtual int waitUntilWritable() = 0;
    // Clears the screen this output is shown on, after everything written to it so far. 0, or the
    // errno value of a write that failed. A pipe or a file has no screen: nothing to do.
    virtual int clearScreen() { return 0; }
};

// Writes all of it, going on after short writes, interruptions and a full non-blocking stream.
// 0, or the errno value of the failure.
int writeAll(ByteOutput& out, const char* from, std::size_t size);

}  // namespace console
