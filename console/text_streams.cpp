#include "text_streams.hpp"

#include <algorithm>
#include <cerrno>

namespace console {

Transfer TextInput::read(char* into, std::size_t size) {
    ++reads;
    if (step_ == steps_.size()) return {0, 0};
    InputStep& step = steps_[step_];
    if (step.error != 0) {
        ++step_;
        return {0, step.error};
    }
    const std::size_t count = std::min(size, step.bytes.size());
    std::copy_n(step.bytes.data(), count, into);
    step.bytes.erase(0, count);
    if (step.bytes.empty()) ++step_;
    return {count, 0};
}

Transfer TextOutput::write(const char* from, std::size_t size) {
    if (!errors.empty()) {
        const int error = errors.front();
        errors.erase(errors.begin());
        return {0, error};
    }
    if (room == 0) return {0, ENOSPC};
    const std::size_t count = std::min({size, maxPerWrite, room});
    room -= count;
    text.append(from, count);
    writes.emplace_back(from, count);
    return {count, 0};
}

Transcript runOnText(std::string_view input, void (*dialogue)(Console&), Destination destination) {
    TextInput in(input);
    TextOutput out;
    TextOutput errors;
    int status = 0;
    {
        Console console(in, out, destination);
        dialogue(console);
        status = finish(console, "session", errors);
    }
    return {out.text, errors.text, status, out.clearedAt};
}

}  // namespace console
