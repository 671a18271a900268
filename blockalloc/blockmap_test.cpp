#include "blockmap.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace blockalloc {
namespace {

int size(const std::string& map) { return static_cast<int>(map.size()); }

// The file table of a map, one "name start length" per entry.
std::string tableOf(const std::string& map) {
    const int entries = removeDuplicates(map.data(), size(map));
    std::string table;
    for (int e = 0; e < entries; ++e) {
        if (!table.empty()) table += ", ";
        table += chamber[static_cast<std::size_t>(e)];
        table += ' ' + std::to_string(begin(map.data(), size(map), e)) + ' ' +
                 std::to_string(length(map.data(), size(map), e));
    }
    return table;
}

struct TableCase {
    std::string map;
    std::string table;
};

class FileTable : public testing::TestWithParam<TableCase> {};

TEST_P(FileTable, ListsOneEntryPerRunInBlockOrder) {
    EXPECT_EQ(tableOf(GetParam().map), GetParam().table) << GetParam().map;
}

INSTANTIATE_TEST_SUITE_P(
    Maps, FileTable,
    testing::Values(TableCase{"HHHH", ""}, TableCase{"H", ""}, TableCase{"Z", "Z 0 1"},
                    TableCase{"AABBHHAAC", "A 0 4, B 2 2, A 0 4, C 8 1"},
                    TableCase{"HHAB", "A 2 1, B 3 1"}, TableCase{"ABHH", "A 0 1, B 1 1"},
                    TableCase{"AAAAAAAAAAAAAAAAAAAAAAAAB", "A 0 24, B 24 1"},
                    // the hole marker is the upper-case H only
                    TableCase{"hHh", "h 0 2, h 0 2"},
                    TableCase{std::string("\0\0H\xff", 4), std::string("\0 0 2, \xff 3 1", 12)}));

TEST(FileTable, AnEmptyMapLeavesTheTableAsItWas) {
    const std::string earlier = "ABC";
    ASSERT_EQ(removeDuplicates(earlier.data(), 3), 3);
    EXPECT_EQ(removeDuplicates(earlier.data(), 0), 0);
    EXPECT_EQ(removeDuplicates(earlier.data(), -5), 0);
    EXPECT_EQ(std::string(chamber.data(), 3), "ABC");
}

TEST(FileTable, NeverHoldsMoreThanTwentyEntries) {
    std::string map;
    for (int run = 0; run < 30; ++run) map += static_cast<char>('a' + run % 2);
    EXPECT_EQ(countRuns(map.data(), size(map)), 30);
    EXPECT_EQ(removeDuplicates(map.data(), size(map)), fileTableSize);
    EXPECT_EQ(chamber[19], 'b');
}

TEST(CountFree, CountsHoleMarkersOnly) {
    EXPECT_EQ(countFree("HAhHH", 5), 3);
    EXPECT_EQ(countFree("AAA", 3), 0);
    EXPECT_EQ(countFree("", 0), 0);
    EXPECT_EQ(countFree("HH", -1), 0);
}

struct PlaceCase {
    std::string before;
    char name;
    int blocks;
    std::string after;
};

class Place : public testing::TestWithParam<PlaceCase> {};

// The run count placing would give is checked against the map it gives.
TEST_P(Place, FillsTheLowestFreeBlocks) {
    const PlaceCase& c = GetParam();
    std::string map = c.before;
    const int predicted = runsAfterPlacing(map.data(), size(map), c.name, c.blocks);
    placeFile(map.data(), size(map), c.name, c.blocks);
    EXPECT_EQ(map, c.after);
    EXPECT_EQ(predicted, countRuns(map.data(), size(map))) << c.before << " + " << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Maps, Place,
    testing::Values(
        PlaceCase{"HHHH", 'A', 4, "AAAA"}, PlaceCase{"HHHH", 'A', 1, "AHHH"},
        PlaceCase{"AAHHCCHH", 'D', 3, "AADDCCDH"}, PlaceCase{"AAHHCCHH", 'A', 2, "AAAACCHH"},
        PlaceCase{"AHHAHHA", 'A', 4, "AAAAAAA"}, PlaceCase{"AHHAHHA", 'A', 3, "AAAAAHA"},
        PlaceCase{"BHHAHHB", 'A', 3, "BAAAAHB"},
        PlaceCase{"HBHBHBHHHHHHHHHHHHHHHHHHHHHH", 'C', 3, "CBCBCBHHHHHHHHHHHHHHHHHHHHHH"},
        PlaceCase{"HHH" + std::string(21, 'A') + "HHH", 'A', 5, std::string(26, 'A') + "H"},
        // the hole marker as a name changes no block
        PlaceCase{"AHHH", 'H', 2, "AHHH"}));

TEST(Free, FreesEveryRunOfTheName) {
    std::string map = "AABAHAa";
    freeFile(map.data(), size(map), 'A');
    EXPECT_EQ(map, "HHBHHHa");
    freeFile(map.data(), size(map), 'H');
    EXPECT_EQ(map, "HHBHHHa");
}

TEST(Entries, OutsideTheTableNameNoBlock) {
    const std::string map = "AB";
    removeDuplicates(map.data(), 2);
    EXPECT_EQ(begin(map.data(), 2, -1), -1);
    EXPECT_EQ(begin(map.data(), 2, fileTableSize), -1);
    EXPECT_EQ(length(map.data(), 2, fileTableSize), 0);
}

}  // namespace
}  // namespace blockalloc

namespace blockalloc {
namespace {

// Counting and freeing go eight blocks a step, counts add up in lanes of up to 255 steps: maps
// around those sizes, and far beyond them, with every block free or holding one name (so that
// every lane fills to the brim), or names strewn over the map, match a block-by-block count.
TEST(LargeMaps, CountAndFreeMatchABlockByBlockWalk) {
    for (const std::size_t n : {7U, 8U, 9U, 255U, 2039U, 2040U, 2041U, 2048U, 4081U, 100003U}) {
        for (const char* fill : {"H", "Q", "HQ\xff\x80", "QQQHQ\x7fQ\x01"}) {
            std::string map(n, 'H');
            const std::size_t period = std::char_traits<char>::length(fill);
            for (std::size_t i = 0; i < n; ++i) map[i] = fill[(i * 7 + i / 3) % period];
            const auto blocksOf = [&](char name) {
                return static_cast<int>(std::count(map.begin(), map.end(), name));
            };
            const int blocks = static_cast<int>(n);
            EXPECT_EQ(countFree(map.data(), blocks), blocksOf(holeMarker)) << n << ' ' << fill;
            chamber[0] = 'Q';
            EXPECT_EQ(length(map.data(), blocks, 0), blocksOf('Q')) << n << ' ' << fill;

            std::string expected = map;
            std::replace(expected.begin(), expected.end(), 'Q', holeMarker);
            freeFile(map.data(), blocks, 'Q');
            EXPECT_EQ(map, expected) << n << ' ' << fill;
        }
    }
}

}  // namespace
}  // namespace blockalloc
