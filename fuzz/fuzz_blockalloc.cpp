#include "dialogue.hpp"
#include "harness.hpp"

namespace {

// The block count the session will use: the first entry at its prompt that is a number.
bool blockCountIsSmall(std::string_view input) {
    console::TextInput in(input);
    console::TextOutput out;
    console::Console console(in, out, console::Destination::pipe);
    for (;;) {
        const console::Number n = console.readNumber(console::NotNumber::discardEntry);
        if (n.status == console::Read::end) return true;
        if (n.status == console::Read::value) return n.value <= 4096;
    }
}

}  // namespace

// A map's size costs only allocation and rows; large ones are passed over to keep each run small.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzzing::bytes(data, size);
    if (!blockCountIsSmall(input)) return -1;
    const std::string output = fuzzing::runSession(input, blockalloc::runBlockalloc);
    if (!fuzzing::startsWith(output, "Enter the number of blocks in the memory: ")) std::abort();
    return 0;
}
