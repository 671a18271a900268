// What every harness does with the fuzzer's bytes: they are the whole standard input of one
// session, run in process; the session must return, with status 0 since its output is memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

#include "text_streams.hpp"

namespace fuzzing {

// Runs `dialogue` on `input` and returns what it wrote. Odd-sized inputs run as if on a terminal,
// so that the flushing and clearing of that mode are reached as well.
inline std::string runSession(std::string_view input, void (*dialogue)(console::Console&)) {
    const auto destination =
        input.size() % 2 == 1 ? console::Destination::terminal : console::Destination::pipe;
    console::Transcript session = console::runOnText(input, dialogue, destination);
    if (session.status != 0) std::abort();
    return std::move(session.output);
}

inline bool startsWith(const std::string& text, std::string_view prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

inline std::string_view bytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace fuzzing
