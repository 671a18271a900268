// The console rules the three programs share: how numbers and characters are read from the
// input, when output is flushed, and how a failed write is noticed and reported.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace console {

// What a number read found. `end` stands for "nothing more can be done": the input has only
// white space left, or the output can no longer be written.
enum class Read { value, notNumber, end };

struct Number {
    Read status;
    std::int32_t value;  // the number typed, clamped to 32 bits; 0 unless status is Read::value
};

class Console {
public:
    // `terminal` says the output is shown to a person: every line end is then flushed at once and
    // the screen may be cleared. Otherwise output is flushed only before a read and at the end.
    Console(std::istream& in, std::ostream& out, bool terminal = false);
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;
    ~Console();

    // An optionally signed decimal number after any white space. An entry that cannot begin a
    // number is discarded up to the next white space.
    Number readNumber();
    // The next byte that is not white space, or nothing at the end of the input.
    std::optional<char> readChar();
    // Appends up to `count` bytes that are not white space to `into`, as `count` calls of
    // readChar() would; fewer only at the end of the input. Returns how many were appended.
    std::size_t readChars(std::string& into, std::size_t count);

    void write(std::string_view text);
    void write(char c) { write(std::string_view(&c, 1)); }
    void writeNumber(long long value);

    // Room for up to maxReserve bytes at the end of the pending output, to be filled in place and
    // handed over with commit(). For output made of many short rows, where a copy per row would
    // cost more than the row.
    static constexpr std::size_t maxReserve = 256;
    char* reserve() {
        if (bufferSize - used_ < maxReserve) push();
        return buffer_.get() + used_;
    }
    void commit(const char* end) {
        const std::size_t start = used_;
        used_ = static_cast<std::size_t>(end - buffer_.get());
        unflushed_ = true;
        if (terminal_ && std::memchr(buffer_.get() + start, '\n', used_ - start) != nullptr)
            flush();
    }

    // Clears a terminal before a listing; does nothing when the output is a pipe or a file.
    void clearScreen();

    // Hands all pending output to the stream. False once any write has failed.
    bool flush();
    [[nodiscard]] bool failed() const { return failed_; }
    // The system's error number for the failed write, 0 if the stream gave none.
    [[nodiscard]] int writeError() const { return writeError_; }

private:
    static constexpr std::size_t bufferSize = std::size_t{1} << 16;

    void append(std::string_view text);
    int skipBlanks();
    void discardEntry();
    void push();
    void noteStreamState();

    std::streambuf* in_;
    std::ostream& out_;
    bool terminal_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    bool unflushed_ = false;
    bool failed_ = false;
    int writeError_ = 0;
};

// Flushes what is left and gives the exit status: 0, or 1 with a line on `errors` when the
// output could not be written.
int finish(Console& console, std::string_view program, std::ostream& errors);

// What a whole session wrote, and its exit status.
struct Transcript {
    std::string output;
    int status;
};

// Runs `dialogue` in process with `input` as its whole input, as if on a terminal if `terminal`.
Transcript runOnText(std::string_view input, void (*dialogue)(Console&), bool terminal = false);

// Runs `dialogue` on standard input and output and returns the exit status for main.
int runOnStandardStreams(std::string_view program, void (*dialogue)(Console&));

}  // namespace console
