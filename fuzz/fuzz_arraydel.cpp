#include "arraydel.hpp"
#include "harness.hpp"

// Whatever is typed, the session shows the first listing and at most the second one, of five.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string output =
        fuzzing::runSession(fuzzing::bytes(data, size), arraydel::runArraydel);
    const std::string before = "Original Array: 1 2 3 4 5 \nEnter the integer to delete: ";
    if (output != before && !fuzzing::startsWith(output, before + "Updated Array: ")) std::abort();
    if (output.size() > before.size() + 40) std::abort();
    return 0;
}
