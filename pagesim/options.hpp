// pagesim's command line: what to replay, with which policies and frames, and how to show it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "replacement.hpp"

namespace pagesim {

enum class Show { trace, quiz, totals, compare };

struct Options {
    std::vector<pagemodel::Policy> policies{pagemodel::Policy::fifo};
    std::size_t frames = 3;
    std::size_t fewestFrames = 1;  // --compare's range
    std::size_t mostFrames = 7;
    Show show = Show::trace;
    bool csv = false;
    std::vector<std::string> pages;  // the PAGE arguments, as given
    bool random = false;             // references drawn instead of read
    std::size_t randomCount = 0;
    std::uint32_t maxPage = 10;
    std::uint64_t seed = 0;
};

enum class Request { run, help, version, usageError };

struct CommandLine {
    Request request = Request::run;
    Options options;
    std::string error;  // for usageError: what was wrong, one line without its line end
};

// The arguments after the program's name.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

}  // namespace pagesim
