// The storage area of blockalloc: a map of blocks, each free (the hole marker) or holding the
// one-character name of the file that owns it, and the file table derived from it.
#pragma once

#include <array>

namespace blockalloc {

constexpr char holeMarker = 'H';
constexpr int fileTableSize = 20;

// The file table: entry i names the i-th file run in block order. Only the entries counted by the
// last removeDuplicates() are meaningful.
extern std::array<char, fileTableSize> chamber;

// Rebuilds chamber with one entry per file run (a maximal stretch of blocks holding the same name)
// and returns the number of entries. Stops at a full table: never writes past its 20 entries.
int removeDuplicates(const char* blockMap, int n);

// The lowest block holding the name of the given entry, or -1 if there is none.
int begin(const char* blockMap, int n, int entry);

// The number of blocks, over the whole map, holding the name of the given entry.
int length(const char* blockMap, int n, int entry);

int countFree(const char* blockMap, int n);

// The number of file runs in the map.
int countRuns(const char* blockMap, int n);

// The number of file runs the map would hold after placeFile(blockMap, n, name, blocks).
int runsAfterPlacing(const char* blockMap, int n, char name, int blocks);

// Gives `name` the `blocks` lowest-numbered free blocks, contiguous or not, or all free blocks if
// there are fewer.
void placeFile(char* blockMap, int n, char name, int blocks);

// Frees every block holding `name`, in every run of it.
void freeFile(char* blockMap, int n, char name);

}  // namespace blockalloc
