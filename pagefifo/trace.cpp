#include "trace.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pagefifo {
namespace {

using console::Console;
using console::Read;

constexpr int frameCount = 3;
constexpr std::string_view pageIndent = "        ";  // a page stands right-aligned in 9 columns

// Reads up to `count` pages; fewer if the input ends first. Storage grows with what is read, so
// an announced count costs nothing until its pages arrive.
std::string readPages(Console& console, int count) {
    std::string refString;
    if (count > 0) console.readChars(refString, static_cast<std::size_t>(count));
    return refString;
}

// Frames fill in order 0, 1, 2 and never empty again, so the first `framesInUse` hold pages and
// the rest are empty, whatever byte they hold.
void writeFaultRow(Console& console, std::uint32_t position,
                   const std::array<char, frameCount>& pageFrames, int framesInUse) {
    char* row = console.reserve();
    row = std::to_chars(row, row + 24, position).ptr;
    for (int f = 0; f < framesInUse; ++f) {
        row = std::copy(pageIndent.begin(), pageIndent.end(), row);
        *row++ = pageFrames[static_cast<std::size_t>(f)];
    }
    *row++ = '\n';
    console.commit(row);
}

}  // namespace

void traceFaults(Console& console, const std::string& refString) {
    std::array<char, frameCount> pageFrames{};
    int framesInUse = 0;
    int nextVictim = 0;
    for (std::size_t p = 0; p < refString.size() && !console.failed(); ++p) {
        if (nextVictim > frameCount - 1) nextVictim = 0;
        const char page = refString[p];
        const char* inUse = pageFrames.data();
        const char* inUseEnd = inUse + framesInUse;
        if (std::find(inUse, inUseEnd, page) != inUseEnd) continue;
        pageFrames[static_cast<std::size_t>(nextVictim)] = page;
        framesInUse = std::max(framesInUse, nextVictim + 1);
        // At most 2^31 - 1 references can be announced, so a position fits 32 bits.
        writeFaultRow(console, static_cast<std::uint32_t>(p + 1), pageFrames, framesInUse);
        ++nextVictim;
    }
}

void runPagefifo(Console& console) {
    console.write("please enter your number of input :");
    const console::Number count = console.readNumber();
    if (count.status == Read::end) return;
    console.write("Enter the values for the page :\n");
    const std::string refString = readPages(console, count.status == Read::value ? count.value : 0);
    console.write("     page1    page2    page3\n");
    traceFaults(console, refString);
}

}  // namespace pagefifo
