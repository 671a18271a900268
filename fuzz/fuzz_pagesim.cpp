#include <string>
#include <vector>

#include "harness.hpp"
#include "pagesim.hpp"

namespace {

// The fuzzer's first line is the command line, cut at blanks; the rest is standard input.
std::vector<std::string> argumentsOf(std::string_view line) {
    std::vector<std::string> arguments;
    std::string argument;
    for (const char c : line) {
        if (c != ' ') {
            argument += c;
            continue;
        }
        if (!argument.empty()) arguments.push_back(argument);
        argument.clear();
    }
    if (!argument.empty()) arguments.push_back(argument);
    return arguments;
}

// Numbers of four digits and more ask for work in proportion (frames, drawn references), which
// would only slow the search down.
bool asksForMuch(std::string_view line) {
    std::size_t digits = 0;
    for (const char c : line) {
        digits = c >= '0' && c <= '9' ? digits + 1 : 0;
        if (digits >= 4) return true;
    }
    return false;
}

}  // namespace

// Whatever the command line and input: a usage error writes only its two lines on standard
// error with status 2; anything else ends with status 0 (the output is memory) and writes
// nothing on standard error.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzzing::bytes(data, size);
    const std::size_t lineEnd = std::min(bytes.find('\n'), bytes.size());
    const std::string_view line = bytes.substr(0, lineEnd);
    if (asksForMuch(line)) return -1;
    console::TextInput in(bytes.substr(std::min(lineEnd + 1, bytes.size())));
    console::TextOutput out;
    console::TextOutput errors;
    console::Streams streams{
        in, out, errors,
        size % 2 == 1 ? console::Destination::terminal : console::Destination::pipe};
    const int status = pagesim::runPagesim(argumentsOf(line), streams);
    if (status == 2) {
        if (!out.text.empty() || !fuzzing::startsWith(errors.text, "pagesim: ")) std::abort();
        return 0;
    }
    if (status != 0 || !errors.text.empty()) std::abort();
    return 0;
}
