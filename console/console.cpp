#include "console.hpp"

#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <string>

namespace console {
namespace {

constexpr int endOfInput = -1;
// One past the largest magnitude a 32-bit number can hold, so that the lowest value fits too.
constexpr std::int64_t magnitudeLimit = std::int64_t{1} << 31;

bool isBlank(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool isDigit(int c) { return c >= '0' && c <= '9'; }

std::int32_t clampedValue(std::int64_t magnitude, bool negative) {
    if (negative) return static_cast<std::int32_t>(-magnitude);
    return static_cast<std::int32_t>(magnitude < magnitudeLimit ? magnitude : magnitudeLimit - 1);
}

// One read or write, made again after an interruption, and after waiting when the stream is in
// non-blocking mode and not ready yet: what it moved, or the error that ended it.
template <typename Transferring, typename Waiting>
Transfer transferOnce(Transferring transfer, Waiting wait) {
    for (;;) {
        const Transfer done = transfer();
        if (done.error == EINTR) continue;
        if (done.error != EAGAIN) return done;
        if (const int error = wait(); error != 0) return {0, error};
    }
}

}  // namespace

int writeAll(ByteOutput& out, const char* from, std::size_t size) {
    while (size > 0) {
        const Transfer written = transferOnce([&] { return out.write(from, size); },
                                              [&] { return out.waitUntilWritable(); });
        if (written.error != 0) return written.error;
        if (written.count == 0) return EIO;  // a stream that takes nothing would never finish
        from += written.count;
        size -= written.count;
    }
    return 0;
}

Console::Console(ByteInput& in, ByteOutput& out, Destination destination)
    : in_(in), out_(out), destination_(destination) {}

Console::~Console() { flush(); }

void Console::stop(Failure failure, int error) {
    if (failed()) return;
    failure_ = failure;
    error_ = error;
}

void Console::fail(std::string_view reason) {
    if (failed()) return;
    stop(Failure::program, 0);
    reason_ = reason;
}

// Waits for more input, after showing everything written so far. False at the end of the input
// and once anything has failed.
bool Console::refill() {
    if (failed() || inputEnded_ || !flush()) return false;
    const Transfer got = transferOnce([&] { return in_.read(input_.data(), input_.size()); },
                                      [&] { return in_.waitUntilReadable(); });
    if (got.error != 0) {
        stop(Failure::read, got.error);
        return false;
    }
    if (got.count == 0) {
        inputEnded_ = true;
        return false;
    }
    inputNext_ = 0;
    inputEnd_ = got.count;
    return true;
}

int Console::peek() {
    if (failed()) return endOfInput;
    if (inputNext_ == inputEnd_ && !refill()) return endOfInput;
    return static_cast<unsigned char>(input_[inputNext_]);
}

int Console::skipBlanks() {
    int c = peek();
    for (; isBlank(c); c = peek()) ++inputNext_;
    return c;
}

void Console::discardEntry() {
    for (int c = peek(); c != endOfInput && !isBlank(c); c = peek()) ++inputNext_;
}

Number Console::readNumber(NotNumber rest) {
    int c = skipBlanks();
    if (c == endOfInput) return {Read::end, 0};
    const bool negative = c == '-';
    if (c == '-' || c == '+') {
        ++inputNext_;
        c = peek();
    }
    if (failed()) return {Read::end, 0};
    if (!isDigit(c)) {
        if (rest == NotNumber::discardEntry) discardEntry();
        if (failed()) return {Read::end, 0};
        return {Read::notNumber, 0};
    }
    std::int64_t magnitude = 0;
    for (; isDigit(c); c = peek()) {
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > magnitudeLimit) magnitude = magnitudeLimit;
        ++inputNext_;
    }
    if (failed()) return {Read::end, 0};
    return {Read::value, clampedValue(magnitude, negative)};
}

std::optional<char> Console::readChar() {
    char c = 0;
    if (readChars(&c, 1) == 0) return std::nullopt;
    return c;
}

std::size_t Console::readChars(char* into, std::size_t count) {
    std::size_t stored = 0;
    while (stored < count && !failed()) {
        if (inputNext_ == inputEnd_ && !refill()) break;
        const char* next = input_.data() + inputNext_;
        const char* end = input_.data() + inputEnd_;
        for (; next != end && stored < count; ++next) {
            if (!isBlank(static_cast<unsigned char>(*next))) into[stored++] = *next;
        }
        inputNext_ = static_cast<std::size_t>(next - input_.data());
    }
    return stored;
}

std::string_view Console::readAvailable() {
    if (failed() || (inputNext_ == inputEnd_ && !refill())) return {};
    const std::string_view available(input_.data() + inputNext_, inputEnd_ - inputNext_);
    inputNext_ = inputEnd_;
    return available;
}

void Console::write(std::string_view text) { showEndedLines(append(text)); }

// Adds the text to the pending output and returns where it starts there.
std::size_t Console::append(std::string_view text) {
    if (failed()) return outputUsed_;
    if (text.size() > output_.size() - outputUsed_) send(outputUsed_);
    if (text.size() > output_.size()) {
        // More than the buffer holds goes straight through, after what was pending.
        if (const int error = writeAll(out_, text.data(), text.size()); error != 0)
            stop(Failure::write, error);
        return outputUsed_;
    }
    const std::size_t start = outputUsed_;
    std::memcpy(output_.data() + start, text.data(), text.size());
    outputUsed_ += text.size();
    return start;
}

void Console::writeNumber(long long value) {
    std::array<char, 24> digits{};
    char* end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
    write(std::string_view(digits.data(), static_cast<std::size_t>(end - digits.data())));
}

Room Console::reserve() {
    if (output_.size() - outputUsed_ < maxRow) send(outputUsed_);
    return {output_.data() + outputUsed_, output_.data() + outputUsed_ + maxRow};
}

void Console::commit(const char* end) {
    const std::size_t from = outputUsed_;
    if (failed()) return;
    outputUsed_ = static_cast<std::size_t>(end - output_.data());
    showEndedLines(from);
}

// On a terminal each line is shown as soon as it ends; the pending text after the last line end
// waits for its own line end or for the next read.
void Console::showEndedLines(std::size_t from) {
    if (destination_ != Destination::terminal) return;
    const char* const pending = output_.data();
    while (from < outputUsed_) {
        const void* lineEnd = std::memchr(pending + from, '\n', outputUsed_ - from);
        if (lineEnd == nullptr) return;
        from = static_cast<std::size_t>(static_cast<const char*>(lineEnd) - pending) + 1;
        send(from);
    }
}

// Writes the pending output up to `upTo`; an empty buffer starts again from its beginning.
// Once a write has failed, what is pending is dropped: nothing more can reach the output.
void Console::send(std::size_t upTo) {
    if (!outputFailed() && upTo > outputSent_) {
        if (const int error = writeAll(out_, output_.data() + outputSent_, upTo - outputSent_);
            error != 0)
            stop(Failure::write, error);
        outputSent_ = upTo;
    }
    if (outputFailed() || outputSent_ == outputUsed_) outputSent_ = outputUsed_ = 0;
}

bool Console::flush() {
    send(outputUsed_);
    return !outputFailed();
}

void Console::clearScreen() {
    if (destination_ != Destination::terminal || !flush()) return;
    if (const int error = out_.clearScreen(); error != 0) stop(Failure::write, error);
}

int finish(Console& console, std::string_view program, ByteOutput& errors) {
    console.flush();
    std::string line(program);
    switch (console.failure_) {
        case Console::Failure::none: return 0;
        case Console::Failure::read: line += ": cannot read standard input"; break;
        case Console::Failure::write: line += ": cannot write to standard output"; break;
        case Console::Failure::program:
            line += ": ";
            line += console.reason_;
            break;
    }
    if (console.error_ != 0) {
        line += ": ";
        line += std::strerror(console.error_);
    }
    line += '\n';
    writeAll(errors, line.data(), line.size());
    return 1;
}

}  // namespace console
