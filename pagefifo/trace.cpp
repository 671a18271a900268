#include "trace.hpp"

#include <algorithm>
#include <charconv>

namespace pagefifo {
namespace {

using console::Console;
using console::Read;

constexpr std::string_view pageIndent = "        ";  // a page stands right-aligned in 9 columns

void writeFaultRow(Console& console, std::uint32_t position, const Frames& frames) {
    const console::Room room = console.reserve();
    char* row = std::to_chars(room.begin, room.end, position).ptr;
    const std::vector<char>& slots = frames.frames().slots();
    for (std::size_t f = 0; f < frames.frames().used(); ++f) {
        row = std::copy(pageIndent.begin(), pageIndent.end(), row);
        *row++ = slots[f];
    }
    *row++ = '\n';
    console.commit(row);
}

std::string_view piece(const RefString& refString, std::size_t index) {
    const std::size_t start = index * RefString::pieceSize;
    const std::size_t size = std::min(RefString::pieceSize, refString.size - start);
    return {refString.pieces[index].get(), size};
}

}  // namespace

void traceFaults(Console& console, std::string_view pages, std::uint32_t firstPosition,
                 Frames& frames) {
    for (std::size_t p = 0; p < pages.size() && !console.failed(); ++p) {
        if (frames.reference(pages[p]).hit) continue;
        // At most 2^31 - 1 references can be announced, so a position fits 32 bits.
        writeFaultRow(console, firstPosition + static_cast<std::uint32_t>(p), frames);
    }
}

Stored readPages(Console& console, std::int32_t count, RefString& refString) {
    auto left = static_cast<std::size_t>(std::max(count, 0));
    for (std::size_t index = 0; left > 0; ++index) {
        const std::size_t size = std::min(left, RefString::pieceSize);
        refString.pieces[index] = console::allocateBytes(size);
        if (refString.pieces[index] == nullptr) return Stored::tooMany;
        const std::size_t read = console.readChars(refString.pieces[index].get(), size);
        refString.size += read;
        if (read < size) break;
        left -= size;
    }
    return Stored::all;
}

void runPagefifo(Console& console) {
    // Fixed bytes, the blank before the colon and the missing line end included.
    console.write("please enter your number of input :");
    const console::Number count = console.readNumber(console::NotNumber::leaveRest);
    if (count.status == Read::end) return;
    console.write("Enter the values for the page :\n");
    RefString refString;
    if (readPages(console, count.status == Read::value ? count.value : 0, refString) ==
        Stored::tooMany) {
        console.fail("not enough memory for the pages");
        return;
    }
    if (console.failed()) return;
    console.write("     page1    page2    page3\n");
    Frames frames = emptyFrames();
    for (std::size_t index = 0; index * RefString::pieceSize < refString.size; ++index) {
        traceFaults(console, piece(refString, index),
                    static_cast<std::uint32_t>(index * RefString::pieceSize + 1), frames);
    }
}

}  // namespace pagefifo
