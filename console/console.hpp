// The console rules the three programs share: how numbers and characters are read from the
// input, when output is flushed, and how a failed read or write is noticed and reported.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "memory.hpp"
#include "streams.hpp"

namespace console {

// What a read found. `end` stands for "nothing more can be done": the input has only white space
// left, or a read or a write has failed (failed() then tells).
enum class Read { value, notNumber, end };

struct Number {
    Read status;
    std::int32_t value;  // the number typed, clamped to 32 bits; 0 unless status is Read::value
};

// Where the output goes. Shown to a person on a terminal, every line end is flushed at once and
// the screen may be cleared; into a pipe or a file, output is flushed before a read, when the
// buffer is full, and at the end.
enum class Destination { pipe, terminal };

// What a number read does with an entry that is not a number: drop the rest of the entry up to the
// next white space, or leave every byte after the first one that cannot continue a number.
enum class NotNumber { discardEntry, leaveRest };

// Bytes to be filled in place, at most `end - begin` of them, and handed over with commit().
struct Room {
    char* begin;
    char* end;
};

class Console {
public:
    Console(ByteInput& in, ByteOutput& out, Destination destination);
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;
    ~Console();

    // An optionally signed decimal number after any white space.
    Number readNumber(NotNumber rest);
    // The next byte that is not white space, or nothing at the end of the input.
    std::optional<char> readChar();
    // Stores up to `count` bytes that are not white space from `into` on, as `count` calls of
    // readChar() would; fewer only when the input ends or fails. Returns how many were stored.
    std::size_t readChars(char* into, std::size_t count);
    // The input not read yet, as much of it as has arrived, waiting for some if none has: empty
    // only at the end of the input or once anything has failed. It counts as read.
    std::string_view readAvailable();

    void write(std::string_view text);
    void write(char c) { write(std::string_view(&c, 1)); }
    void writeNumber(long long value);

    // For output made of many short rows, where a copy per row would cost more than the row:
    // room for up to maxRow bytes at the end of the pending output, then commit(end of the row).
    static constexpr std::size_t maxRow = 256;
    Room reserve();
    void commit(const char* end);

    // Clears a terminal before a listing; does nothing when the output is a pipe or a file.
    void clearScreen();

    // Hands all pending output to the stream. False once a write has failed.
    bool flush();
    // The program stops for a reason of its own (say, no memory), a text that lives as long as
    // the program: nothing more is read or written, and finish() reports it.
    void fail(std::string_view reason);
    // Whether a read, a write or the program has failed; nothing more is read or written then.
    [[nodiscard]] bool failed() const { return failure_ != Failure::none; }

private:
    friend int finish(Console& console, std::string_view program, ByteOutput& errors);
    enum class Failure { none, read, write, program };
    static constexpr std::size_t bufferSize = std::size_t{1} << 16;

    int peek();
    bool refill();
    int skipBlanks();
    void discardEntry();
    std::size_t append(std::string_view text);
    [[nodiscard]] bool outputFailed() const { return failure_ == Failure::write; }
    void showEndedLines(std::size_t from);
    void send(std::size_t upTo);
    void stop(Failure failure, int error);

    ByteInput& in_;
    ByteOutput& out_;
    Destination destination_;
    Failure failure_ = Failure::none;
    int error_ = 0;  // the errno value of a failed read or write; 0 if the stream gave none
    std::string_view reason_;
    bool inputEnded_ = false;

    // A buffer of bufferSize bytes on the heap: a console is made on the stack of a program's
    // main, which is 64 KiB in the browser, where two of them would not fit. Should the heap not
    // have them, a small one inside the console does the same work in smaller steps.
    class Buffer {
    public:
        Buffer() : bytes_(allocateBytes(bufferSize)) {}
        char* data() { return bytes_ ? bytes_.get() : fallback_.data(); }
        [[nodiscard]] const char* data() const { return bytes_ ? bytes_.get() : fallback_.data(); }
        [[nodiscard]] std::size_t size() const { return bytes_ ? bufferSize : fallback_.size(); }
        char& operator[](std::size_t at) { return data()[at]; }

    private:
        Bytes bytes_;
        std::array<char, maxRow> fallback_{};
    };

    Buffer input_;
    std::size_t inputNext_ = 0;
    std::size_t inputEnd_ = 0;

    Buffer output_;
    std::size_t outputSent_ = 0;  // bytes before this have reached the stream
    std::size_t outputUsed_ = 0;
};

// Flushes what is left and gives the exit status: 0, or 1 with one line on `errors` saying what
// failed, "PROGRAM: cannot write to standard output: REASON" and the like.
int finish(Console& console, std::string_view program, ByteOutput& errors);

// A program's three streams, and where its output goes.
struct Streams {
    ByteInput& in;
    ByteOutput& out;
    ByteOutput& errors;
    Destination destination;
};

// Runs `program` on the process's standard streams and returns its exit status for main.
int runOnStandardStreams(const std::function<int(Streams&)>& program);

// Runs `dialogue` on the process's standard streams and returns the exit status for main.
int runOnStandardStreams(std::string_view program, void (*dialogue)(Console&));

}  // namespace console
