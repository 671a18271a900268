#include "dialogue.hpp"

#include <charconv>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>

#include "blockmap.hpp"

namespace blockalloc {
namespace {

using console::Console;
using console::Read;

constexpr std::string_view menu = "1.Add file\n2.Remove file\n3.Display blocks\n4.End\n";
constexpr std::string_view wrongChoice = "wrong choice";

struct Storage {
    int n = 0;
    std::unique_ptr<char[]> blockMap;
};

// Asks for the number of blocks until a map of that size can be had. False at the end of input.
bool createStorage(Console& console, Storage& storage) {
    for (;;) {
        console.write("Enter the number of blocks in the memory: ");
        const console::Number blocks = console.readNumber();
        if (blocks.status == Read::end) return false;
        if (blocks.status == Read::notNumber) continue;
        const std::size_t size = blocks.value > 0 ? static_cast<std::size_t>(blocks.value) : 0;
        storage.blockMap.reset(new (std::nothrow) char[size]);
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

bool addFile(Console& console, Storage& storage, int& fileCount) {
    console.write("please enter your file name with only one letter:\n");
    const std::optional<char> name = console.readChar();
    if (!name) return false;
    console.write("Enter the number of blocks in the file:\n");
    const console::Number blocks = console.readNumber();
    if (blocks.status == Read::end) return false;
    placeIfRoom(console, storage, *name, blocks);
    fileCount = removeDuplicates(storage.blockMap.get(), storage.n);
    return true;
}

bool removeFile(Console& console, Storage& storage, int& fileCount) {
    fileCount = removeDuplicates(storage.blockMap.get(), storage.n);
    console.clearScreen();
    console.write("the memory\n");
    for (int i = 0; i < fileCount; ++i) {
        console.writeNumber(i + 1);
        console.write(".   ");
        console.write(chamber[static_cast<std::size_t>(i)]);
        console.write('\n');
    }
    console.write("please choose:");
    const console::Number choice = console.readNumber();
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

// A map of N blocks is N rows, so they are written straight into the console's buffer.
void writeBlockRows(Console& console, const Storage& storage) {
    for (int i = 0; i < storage.n && !console.failed(); ++i) {
        char* row = console.reserve();
        row = std::to_chars(row, row + 16, i).ptr;
        *row++ = '.';
        *row++ = '\t';
        *row++ = storage.blockMap[static_cast<std::size_t>(i)];
        *row++ = '\n';
        console.commit(row);
    }
}

void displayBlocks(Console& console, const Storage& storage, int& fileCount) {
    const char* blockMap = storage.blockMap.get();
    fileCount = removeDuplicates(blockMap, storage.n);
    writeBlockRows(console, storage);
    console.write("  \tfile\tstart\tlentgh\n");
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

void runBlockalloc(Console& console) {
    Storage storage;
    if (!createStorage(console, storage)) return;
    int fileCount = 0;
    bool done = false;
    while (!done) {
        console.write(menu);
        const console::Number choice = console.readNumber();
        if (choice.status == Read::end) return;
        bool goOn = true;
        switch (choice.status == Read::value ? choice.value : 0) {
            case 1: goOn = addFile(console, storage, fileCount); break;
            case 2: goOn = removeFile(console, storage, fileCount); break;
            case 3: displayBlocks(console, storage, fileCount); break;
            case 4: done = true; break;
            default: console.write(wrongChoice); break;
        }
        if (!goOn) return;
    }
}

}  // namespace blockalloc
