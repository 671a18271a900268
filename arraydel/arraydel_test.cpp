#include "arraydel.hpp"

#include <gtest/gtest.h>

#include <array>
#include <numeric>
#include <string>

#include "text_streams.hpp"

namespace arraydel {
namespace {

const std::string original = "Original Array: 1 2 3 4 5 \nEnter the integer to delete: ";

std::string session(const std::string& input) {
    return console::runOnText(input, runArraydel).output;
}

struct PositionCase {
    const char* input;
    const char* updated;
};

class Position : public testing::TestWithParam<PositionCase> {};

TEST_P(Position, GivesTheSecondListing) {
    EXPECT_EQ(session(GetParam().input), original + "Updated Array: " + GetParam().updated + "\n")
        << GetParam().input;
}

INSTANTIATE_TEST_SUITE_P(
    Entries, Position,
    testing::Values(PositionCase{"2", "1 2 4 5 -1 "}, PositionCase{"0", "2 3 4 5 -1 "},
                    PositionCase{"1", "1 3 4 5 -1 "}, PositionCase{"3", "1 2 3 5 -1 "},
                    PositionCase{"4", "1 2 3 4 -1 "}, PositionCase{"9", "1 2 3 4 -1 "},
                    PositionCase{"+3\n", "1 2 3 5 -1 "}, PositionCase{"  \n 1x", "1 3 4 5 -1 "},
                    PositionCase{"99999999999", "1 2 3 4 -1 "},
                    // negative positions delete the first element
                    PositionCase{"-1", "2 3 4 5 -1 "}, PositionCase{"-2147483648", "2 3 4 5 -1 "},
                    PositionCase{"-99999999999", "2 3 4 5 -1 "},
                    // not a number reads as 0
                    PositionCase{"x", "2 3 4 5 -1 "}, PositionCase{"-", "2 3 4 5 -1 "}));

TEST(Arraydel, EndOfInputEndsAfterThePrompt) {
    EXPECT_EQ(session(""), original);
    EXPECT_EQ(session(" \n\t"), original);
}

TEST(DeleteIntegerFromArray, ShiftsEveryPositionOfAFullArray) {
    constexpr int room = 100;
    for (int position = -1; position <= room; ++position) {
        std::array<int, room + 1> slots{};
        std::iota(slots.begin(), slots.end(), 0);
        slots[room] = 12345;  // just past the elements: must stay as it is
        EXPECT_EQ(deleteIntegerFromArray(slots.data(), room, position), room - 1);
        const int deleted = std::max(position, 0);
        for (int i = 0; i < room - 1; ++i)
            ASSERT_EQ(slots[static_cast<std::size_t>(i)], i < deleted ? i : i + 1)
                << "position " << position << " slot " << i;
        EXPECT_EQ(slots[room - 1], -1);
        EXPECT_EQ(slots[room], 12345);
    }
}

TEST(DeleteIntegerFromArray, OneElementOnlyMarksIt) {
    for (int position : {0, 1, -1, 2147483647}) {
        std::array<int, 2> slots{7, 8};
        EXPECT_EQ(deleteIntegerFromArray(slots.data(), 1, position), 0);
        EXPECT_EQ(slots, (std::array<int, 2>{-1, 8}));
    }
}

TEST(DeleteIntegerFromArray, NoElementsTouchesNothing) {
    std::array<int, 1> slot{7};
    EXPECT_EQ(deleteIntegerFromArray(slot.data() + 1, 0, 0), -1);
    EXPECT_EQ(slot[0], 7);
}

}  // namespace
}  // namespace arraydel
