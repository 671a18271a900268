#include "console.hpp"

#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

#include "platform.hpp"

namespace console {
namespace {

constexpr int endOfInput = std::char_traits<char>::eof();
// One past the largest magnitude a 32-bit number can hold, so that the lowest value fits too.
constexpr std::int64_t magnitudeLimit = std::int64_t{1} << 31;

bool isBlank(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool isDigit(int c) { return c >= '0' && c <= '9'; }

// A file stream throws when the system refuses a read (a closed descriptor, a directory):
// for the dialogue that is the end of its input like any other.
int peek(std::streambuf* in) {
    try {
        return in->sgetc();
    } catch (...) {
        return endOfInput;
    }
}

int take(std::streambuf* in) {
    try {
        return in->sbumpc();
    } catch (...) {
        return endOfInput;
    }
}

void advance(std::streambuf* in) { take(in); }

std::int32_t clampedValue(std::int64_t magnitude, bool negative) {
    if (negative) return static_cast<std::int32_t>(-magnitude);
    return static_cast<std::int32_t>(magnitude < magnitudeLimit ? magnitude : magnitudeLimit - 1);
}

}  // namespace

Console::Console(std::istream& in, std::ostream& out, bool terminal)
    : in_(in.rdbuf()), out_(out), terminal_(terminal), buffer_(new char[bufferSize]) {}

Console::~Console() { flush(); }

int Console::skipBlanks() {
    int c = peek(in_);
    while (isBlank(c)) {
        advance(in_);
        c = peek(in_);
    }
    return c;
}

void Console::discardEntry() {
    for (int c = peek(in_); c != endOfInput && !isBlank(c); c = peek(in_)) advance(in_);
}

Number Console::readNumber() {
    if (!flush() || in_ == nullptr) return {Read::end, 0};
    int c = skipBlanks();
    if (c == endOfInput) return {Read::end, 0};
    bool negative = c == '-';
    if (c == '-' || c == '+') {
        advance(in_);
        c = peek(in_);
    }
    if (!isDigit(c)) {
        discardEntry();
        return {Read::notNumber, 0};
    }
    std::int64_t magnitude = 0;
    for (; isDigit(c); c = peek(in_)) {
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > magnitudeLimit) magnitude = magnitudeLimit;
        advance(in_);
    }
    return {Read::value, clampedValue(magnitude, negative)};
}

std::optional<char> Console::readChar() {
    std::string one;
    if (readChars(one, 1) == 0) return std::nullopt;
    return one[0];
}

std::size_t Console::readChars(std::string& into, std::size_t count) {
    if (!flush() || in_ == nullptr) return 0;
    std::size_t read = 0;
    while (read < count) {
        const int c = take(in_);
        if (c == endOfInput) break;
        if (isBlank(c)) continue;
        into.push_back(static_cast<char>(c));
        ++read;
    }
    return read;
}

void Console::write(std::string_view text) {
    if (!terminal_) {
        append(text);
        return;
    }
    // On a terminal each line is shown as soon as it ends.
    for (auto lineEnd = text.find('\n'); lineEnd != std::string_view::npos;
         lineEnd = text.find('\n')) {
        append(text.substr(0, lineEnd + 1));
        flush();
        text.remove_prefix(lineEnd + 1);
    }
    append(text);
}

void Console::append(std::string_view text) {
    if (failed_ || text.empty()) return;
    unflushed_ = true;
    if (text.size() > bufferSize - used_) push();
    if (text.size() >= bufferSize) {
        errno = 0;
        out_.write(text.data(), static_cast<std::streamsize>(text.size()));
        noteStreamState();
    } else {
        std::memcpy(buffer_.get() + used_, text.data(), text.size());
        used_ += text.size();
    }
}

void Console::writeNumber(long long value) {
    std::array<char, 24> digits{};
    char* end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
    write(std::string_view(digits.data(), static_cast<std::size_t>(end - digits.data())));
}

void Console::clearScreen() {
    if (!terminal_) return;
    write(platform::clearSequence());
    if (!flush()) return;
    platform::runClearCommand();
}

bool Console::flush() {
    if (failed_) return false;
    if (!unflushed_) return true;
    push();
    if (!failed_) {
        errno = 0;
        out_.flush();
        noteStreamState();
    }
    unflushed_ = false;
    return !failed_;
}

// Once a write has failed, what is pending is dropped: nothing more can reach the output.
void Console::push() {
    if (used_ == 0) return;
    if (!failed_) {
        errno = 0;
        out_.write(buffer_.get(), static_cast<std::streamsize>(used_));
        noteStreamState();
    }
    used_ = 0;
}

void Console::noteStreamState() {
    if (out_ || failed_) return;
    failed_ = true;
    writeError_ = errno;
}

int finish(Console& console, std::string_view program, std::ostream& errors) {
    if (console.flush()) return 0;
    errors << program << ": cannot write to standard output";
    if (console.writeError() != 0) errors << ": " << std::strerror(console.writeError());
    errors << '\n' << std::flush;
    return 1;
}

Transcript runOnText(std::string_view input, void (*dialogue)(Console&), bool terminal) {
    std::istringstream in{std::string(input)};
    std::ostringstream out;
    std::ostringstream errors;
    Console console(in, out, terminal);
    dialogue(console);
    const int status = finish(console, "session", errors);
    return {out.str(), status};
}

int runOnStandardStreams(std::string_view program, void (*dialogue)(Console&)) {
    std::ios::sync_with_stdio(false);
    std::cin.tie(nullptr);
    Console console(std::cin, std::cout, platform::outputIsTerminal());
    dialogue(console);
    return finish(console, program, std::cerr);
}

}  // namespace console
