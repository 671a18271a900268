#include <algorithm>

#include "harness.hpp"
#include "trace.hpp"

// Every fault row ends a line, and there can be no more of them than pages typed.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzzing::bytes(data, size);
    const std::string output = fuzzing::runSession(input, pagefifo::runPagefifo);
    if (!fuzzing::startsWith(output, "please enter your number of input :")) std::abort();
    const auto lines = static_cast<std::size_t>(std::count(output.begin(), output.end(), '\n'));
    if (lines > size + 2) std::abort();
    return 0;
}
