// Random sessions of adds and removes over small maps, checking after every step what a user of
// the map relies on.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "blockmap.hpp"

namespace blockalloc {
namespace {

constexpr char names[] = {'A', 'B', 'C', 'D', 'E', 'F', 'G',  'I',   'J',
                          'K', 'h', 'H', 'x', 'y', 'z', '\0', '\xff'};

int size(const std::string& map) { return static_cast<int>(map.size()); }

// The table lists the runs in block order, each with its lowest block and its whole size.
void expectTableDescribes(const std::string& map) {
    const int entries = removeDuplicates(map.data(), size(map));
    ASSERT_LE(entries, fileTableSize);
    int entry = 0;
    for (std::size_t b = 0; b < map.size(); ++b) {
        const bool runStarts = map[b] != holeMarker && (b == 0 || map[b - 1] != map[b]);
        if (!runStarts) continue;
        ASSERT_LT(entry, entries) << map;
        ASSERT_EQ(chamber[static_cast<std::size_t>(entry)], map[b]) << map << " entry " << entry;
        EXPECT_EQ(static_cast<std::size_t>(begin(map.data(), size(map), entry)), map.find(map[b]));
        EXPECT_EQ(length(map.data(), size(map), entry), std::count(map.begin(), map.end(), map[b]));
        ++entry;
    }
    EXPECT_EQ(entry, entries) << map;
}

void expectBlocksAddUp(const std::string& map) {
    int owned = 0;
    for (char name : names) {
        if (name != holeMarker) owned += static_cast<int>(std::count(map.begin(), map.end(), name));
    }
    EXPECT_EQ(countFree(map.data(), size(map)) + owned, size(map)) << map;
}

// An add changes free blocks only: exactly the `blocks` lowest of them, to `name`.
void expectLowestFreeFilled(const std::string& before, const std::string& after, char name,
                            int blocks) {
    int filled = 0;
    for (std::size_t b = 0; b < before.size(); ++b) {
        if (before[b] != holeMarker) {
            ASSERT_EQ(after[b], before[b]) << "block " << b << " of a file changed: " << after;
        } else if (filled < blocks) {
            ASSERT_EQ(after[b], name) << "free block " << b << " was passed over: " << after;
            ++filled;
        } else {
            ASSERT_EQ(after[b], holeMarker) << "block " << b << " beyond the file: " << after;
        }
    }
    EXPECT_EQ(filled, blocks);
}

void expectOnlyNameFreed(const std::string& before, const std::string& after, char name) {
    for (std::size_t b = 0; b < before.size(); ++b)
        ASSERT_EQ(after[b], before[b] == name ? holeMarker : before[b]) << "block " << b;
}

TEST(MapProperties, HoldOverRandomSessions) {
    std::mt19937 random(20261211);
    int fullTables = 0;  // adds refused for the table: the sessions must reach them to mean much
    for (int session = 0; session < 60; ++session) {
        const int n = std::uniform_int_distribution<int>(1, 100)(random);
        std::string map(static_cast<std::size_t>(n), holeMarker);
        for (int step = 0; step < 400; ++step) {
            const std::string before = map;
            if (random() % 5 != 0) {
                const char name = names[random() % sizeof names];
                // mostly small files, so that maps break up into many runs
                const int most = random() % 4 == 0 ? n : std::min(n, 3);
                const int blocks = std::uniform_int_distribution<int>(1, most)(random);
                const bool room = countFree(map.data(), n) >= blocks;
                std::string placed = map;
                placeFile(placed.data(), n, name, blocks);
                const int runs = runsAfterPlacing(map.data(), n, name, blocks);
                if (room) {
                    ASSERT_EQ(runs, countRuns(placed.data(), n)) << before << " + " << name;
                    if (name != holeMarker) expectLowestFreeFilled(before, placed, name, blocks);
                    if (runs <= fileTableSize) map = placed;
                    fullTables += runs > fileTableSize ? 1 : 0;
                }
            } else {
                const int entries = removeDuplicates(map.data(), n);
                if (entries > 0) {
                    const char name = chamber[random() % static_cast<unsigned>(entries)];
                    freeFile(map.data(), n, name);
                    expectOnlyNameFreed(before, map, name);
                }
            }
            EXPECT_LE(countRuns(map.data(), n), fileTableSize) << map;
            expectBlocksAddUp(map);
            expectTableDescribes(map);
            if (testing::Test::HasFatalFailure()) return;
        }
    }
    EXPECT_GT(fullTables, 100);
}

}  // namespace
}  // namespace blockalloc
