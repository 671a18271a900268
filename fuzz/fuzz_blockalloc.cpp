#include "dialogue.hpp"
#include "harness.hpp"

namespace {

// A map's size costs only allocation and rows: the real dialogue runs with maps of up to 4096
// blocks, and answers a larger count as one the memory cannot hold.
void runSmallBlockalloc(console::Console& console) { blockalloc::runBlockalloc(console, 4096); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string output = fuzzing::runSession(fuzzing::bytes(data, size), runSmallBlockalloc);
    if (!fuzzing::startsWith(output, "Enter the number of blocks in the memory: ")) std::abort();
    return 0;
}
