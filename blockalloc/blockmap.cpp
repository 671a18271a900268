#include "blockmap.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace blockalloc {

std::array<char, fileTableSize> chamber{};

namespace {

std::size_t blocksIn(int n) { return n > 0 ? static_cast<std::size_t>(n) : 0; }

// Sixteen blocks as one vector of GCC and Clang: the compiler gives each vector operation the
// processor's own instructions at any optimisation level (-O2 as -O3), or plain code where there
// are none. A comparison gives 0xff in each byte that matched, 0 in the others.
using Blocks16 = unsigned char __attribute__((vector_size(16)));

Blocks16 sixteenOf(char name) { return Blocks16{} + static_cast<unsigned char>(name); }

Blocks16 load16(const char* blocks) {
    Blocks16 vector;
    std::memcpy(&vector, blocks, sizeof vector);
    return vector;
}

Blocks16 matches(Blocks16 blocks, Blocks16 pattern) {
    return reinterpret_cast<Blocks16>(blocks == pattern);
}

std::uint64_t loadWord(const char* blocks) {
    std::uint64_t word = 0;
    std::memcpy(&word, blocks, sizeof word);
    return word;
}

// The end of the run that starts at `first`: the first block after it holding something else.
const char* runEnd(const char* first, const char* last) {
    const char name = *first;
    const char* block = first + 1;
    // Eight blocks to a compare while the run goes on; long runs are the common case.
    const std::uint64_t pattern = 0x0101010101010101ULL * static_cast<unsigned char>(name);
    while (last - block >= 8 && loadWord(block) == pattern) block += 8;
    while (block != last && *block == name) ++block;
    return block;
}

const char* findHole(const char* first, const char* last) {
    const void* hole = std::memchr(first, holeMarker, static_cast<std::size_t>(last - first));
    return hole != nullptr ? static_cast<const char*>(hole) : last;
}

// The blocks holding `name`. Matches add up in byte-wide lanes over pieces of at most 255 vectors,
// so that no lane can overflow, and each piece's lanes are summed at its end.
int countBlocks(const char* blockMap, int n, char name) {
    constexpr std::size_t vectorsInPiece = 255;
    const Blocks16 pattern = sixteenOf(name);
    std::size_t vectors = blocksIn(n) / sizeof(Blocks16);
    const char* block = blockMap;
    std::size_t total = 0;
    while (vectors > 0) {
        const std::size_t size = std::min(vectors, vectorsInPiece);
        Blocks16 lanes{};
        for (std::size_t k = 0; k < size; ++k)
            lanes -= matches(load16(block + k * sizeof(Blocks16)), pattern);  // 0xff is -1
        for (std::size_t lane = 0; lane < sizeof(Blocks16); ++lane) total += lanes[lane];
        block += size * sizeof(Blocks16);
        vectors -= size;
    }
    for (const char* last = blockMap + blocksIn(n); block != last; ++block)
        total += *block == name ? 1 : 0;
    return static_cast<int>(total);
}

bool validEntry(int entry) { return entry >= 0 && entry < fileTableSize; }

}  // namespace

int removeDuplicates(const char* blockMap, int n) {
    const char* last = blockMap + blocksIn(n);
    int entries = 0;
    for (const char* run = blockMap; run != last && entries < fileTableSize;
         run = runEnd(run, last)) {
        if (*run != holeMarker) chamber[static_cast<std::size_t>(entries++)] = *run;
    }
    return entries;
}

int begin(const char* blockMap, int n, int entry) {
    if (!validEntry(entry)) return -1;
    const void* first =
        std::memchr(blockMap, chamber[static_cast<std::size_t>(entry)], blocksIn(n));
    return first != nullptr ? static_cast<int>(static_cast<const char*>(first) - blockMap) : -1;
}

int length(const char* blockMap, int n, int entry) {
    if (!validEntry(entry)) return 0;
    return countBlocks(blockMap, n, chamber[static_cast<std::size_t>(entry)]);
}

int countFree(const char* blockMap, int n) { return countBlocks(blockMap, n, holeMarker); }

int countRuns(const char* blockMap, int n) {
    const char* last = blockMap + blocksIn(n);
    int runs = 0;
    for (const char* run = blockMap; run != last; run = runEnd(run, last)) {
        if (*run != holeMarker) ++runs;
    }
    return runs;
}

// Placing fills whole holes from the lowest up, and the lower part of the last one. A filled hole
// adds a run of its own unless it joins the run of the same name before or after it, and merges
// the two when it joins both. A partly filled hole has free blocks above it, so it can only join
// the run before it.
int runsAfterPlacing(const char* blockMap, int n, char name, int blocks) {
    int runs = countRuns(blockMap, n);
    if (name == holeMarker) return runs;
    const char* last = blockMap + blocksIn(n);
    std::size_t left = blocks > 0 ? static_cast<std::size_t>(blocks) : 0;
    for (const char* hole = findHole(blockMap, last); left > 0 && hole != last;) {
        const char* holeEnd = runEnd(hole, last);
        const bool joinsBefore = hole != blockMap && hole[-1] == name;
        const auto size = static_cast<std::size_t>(holeEnd - hole);
        if (size > left) return runs + (joinsBefore ? 0 : 1);
        const bool joinsAfter = holeEnd != last && *holeEnd == name;
        runs += 1 - static_cast<int>(joinsBefore) - static_cast<int>(joinsAfter);
        left -= size;
        hole = findHole(holeEnd, last);
    }
    return runs;
}

void placeFile(char* blockMap, int n, char name, int blocks) {
    const char* last = blockMap + blocksIn(n);
    std::size_t left = blocks > 0 ? static_cast<std::size_t>(blocks) : 0;
    for (const char* hole = findHole(blockMap, last); left > 0 && hole != last;) {
        const auto fill = std::min(left, static_cast<std::size_t>(runEnd(hole, last) - hole));
        std::memset(blockMap + (hole - blockMap), name, fill);
        left -= fill;
        hole = findHole(hole + fill, last);
    }
}

// Every block is written, freed or not: whole vectors without a condition free sixteen a step.
void freeFile(char* blockMap, int n, char name) {
    if (name == holeMarker) return;
    const Blocks16 pattern = sixteenOf(name);
    const Blocks16 holes = sixteenOf(holeMarker);
    char* const last = blockMap + blocksIn(n);
    char* block = blockMap;
    for (; static_cast<std::size_t>(last - block) >= sizeof(Blocks16); block += sizeof(Blocks16)) {
        const Blocks16 blocks = load16(block);
        const Blocks16 freed = matches(blocks, pattern);
        const Blocks16 result = (blocks & ~freed) | (holes & freed);
        std::memcpy(block, &result, sizeof result);
    }
    for (; block != last; ++block) *block = *block == name ? holeMarker : *block;
}

}  // namespace blockalloc
