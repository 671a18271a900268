// In-memory ends of a console, for tests and fuzz harnesses only: input given as text, output
// kept as text, and both able to act out what a system's streams do (short transfers,
// interruptions, a non-blocking stream with nothing ready, failures).
#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "console.hpp"
#include "streams.hpp"

namespace console {

// Each step is what one read returns: its bytes (at most what the read asks for; the rest stays
// for the next read), or its error when `error` is not 0. After the last step, the end of input.
struct InputStep {
    std::string bytes;
    int error = 0;
};

class TextInput final : public ByteInput {
public:
    explicit TextInput(std::string_view text) : steps_{{std::string(text), 0}} {}
    explicit TextInput(std::vector<InputStep> steps) : steps_(std::move(steps)) {}

    Transfer read(char* into, std::size_t size) override;
    int waitUntilReadable() override {
        ++waits;
        return waitError;
    }

    int reads = 0;
    int waits = 0;
    int waitError = 0;  // what waitUntilReadable() answers

private:
    std::vector<InputStep> steps_;
    std::size_t step_ = 0;
};

class TextOutput final : public ByteOutput {
public:
    Transfer write(const char* from, std::size_t size) override;
    int waitUntilWritable() override {
        ++waits;
        return 0;
    }
    // A terminal's screen, cleared: where in the text it happened.
    int clearScreen() override {
        clearedAt.push_back(text.size());
        return 0;
    }

    std::string text;                 // every byte taken
    std::vector<std::string> writes;  // the bytes of each write that took any
    std::vector<int> errors;  // answered, in order, by the next writes, before any byte is taken
    std::size_t maxPerWrite = std::numeric_limits<std::size_t>::max();
    std::size_t room = std::numeric_limits<std::size_t>::max();  // past it, writes fail with ENOSPC
    int waits = 0;
    std::vector<std::size_t> clearedAt;  // the text's size at each clearing of the screen
};

// What a whole session wrote, what it reported, and its exit status.
struct Transcript {
    std::string output;
    std::string errors;
    int status;
    std::vector<std::size_t> clearedAt;  // where in the output the screen was cleared
};

// Runs `dialogue` in process with `input` as its whole input.
Transcript runOnText(std::string_view input, void (*dialogue)(Console&),
                     Destination destination = Destination::pipe);

}  // namespace console
