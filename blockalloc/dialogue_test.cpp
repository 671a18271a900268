#include "dialogue.hpp"

#include <gtest/gtest.h>

#include <string>

#include "blockmap.hpp"
#include "text_streams.hpp"

namespace blockalloc {
namespace {

const std::string startPrompt = "Enter the number of blocks in the memory: ";
const std::string menu = "1.Add file\n2.Remove file\n3.Display blocks\n4.End\n";
const std::string askName = "please enter your file name with only one letter:\n";
const std::string askBlocks = "Enter the number of blocks in the file:\n";
const std::string header = "  \tfile\tstart\tlentgh\n";
const std::string tooLarge = "file size is too large or small\n";
const std::string noSpace = "there isn't enough space in memory\n";
const std::string tableFull = "there isn't enough space in the file table\n";
const std::string wrongChoice = "wrong choice";
const std::string choose = "please choose:";

std::string session(const std::string& input,
                    console::Destination destination = console::Destination::pipe) {
    void (*const blockalloc)(console::Console&) = runBlockalloc;
    return console::runOnText(input, blockalloc, destination).output;
}

// What an Add file writes before its outcome.
std::string add() { return menu + askName + askBlocks; }

// The block rows of Display for a map written as one character per block.
std::string blockRows(const std::string& map) {
    std::string rows;
    for (std::size_t i = 0; i < map.size(); ++i) rows += std::to_string(i) + ".\t" + map[i] + "\n";
    return rows;
}

std::string removalList(const std::string& names) {
    std::string list = "the memory\n";
    for (std::size_t i = 0; i < names.size(); ++i)
        list += std::to_string(i + 1) + ".   " + names[i] + "\n";
    return list + choose;
}

TEST(Blockalloc, AddsAndDisplaysFiles) {
    EXPECT_EQ(session("6\n1\nA\n2\n1\nB\n3\n3\n4\n"), startPrompt + add() + add() + menu +
                                                          blockRows("AABBBH") + header +
                                                          "0.\tA\t0\t2\n1.\tB\t2\t3\n" + menu);
}

// A map larger than the memory allowed is refused as one the memory cannot hold, and the count is
// asked for again.
TEST(Blockalloc, AMapBeyondTheLimitIsAskedForAgain) {
    const auto withThreeBlocks = [](console::Console& console) { runBlockalloc(console, 3); };
    EXPECT_EQ(console::runOnText("4 3 3 4", withThreeBlocks).output,
              startPrompt + "there isn't enough memory for that many blocks\n" + startPrompt +
                  menu + blockRows("HHH") + header + menu);
}

TEST(Blockalloc, DisplayOfAnEmptyMapHasNoTableRows) {
    EXPECT_EQ(session("3 3 4"), startPrompt + menu + blockRows("HHH") + header + menu);
}

TEST(Blockalloc, ASplitFileIsListedOncePerRun) {
    // A A H H C C H H, then D with 3 blocks
    const std::string output = session("8 1 A 2 1 X 2 1 C 2 2 2 1 D 3 3 4");
    EXPECT_NE(output.find(blockRows("AADDCCDH") + header +
                          "0.\tA\t0\t2\n1.\tD\t2\t3\n2.\tC\t4\t2\n3.\tD\t2\t3\n"),
              std::string::npos);
}

TEST(Blockalloc, RemovingEitherEntryOfASplitFileFreesAllItsBlocks) {
    for (const char* choice : {"2", "4"}) {
        const std::string output =
            session(std::string("8 1 A 2 1 X 2 1 C 2 2 2 1 D 3 2 ") + choice + " 3 4");
        EXPECT_NE(output.find(removalList("ADCD") + menu + blockRows("AAHHCCHH")),
                  std::string::npos)
            << "choice " << choice;
    }
}

TEST(Blockalloc, RemovedFileLeavesTheTable) {
    EXPECT_EQ(session("4 1 A 2 1 B 1 2 1 3 4"), startPrompt + add() + add() + menu +
                                                    removalList("AB") + menu + blockRows("HHBH") +
                                                    header + "0.\tB\t2\t1\n" + menu);
}

struct RefusalCase {
    const char* input;  // the session up to one Add file, whose outcome is checked
    std::string outcome;
};

class AddRefusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(AddRefusal, LeavesTheMapAsItWas) {
    const std::string output = session(GetParam().input);
    const std::string tail = askBlocks + GetParam().outcome + menu;
    ASSERT_GE(output.size(), tail.size()) << output;
    EXPECT_EQ(output.substr(output.size() - tail.size()), tail) << GetParam().input;
}

INSTANTIATE_TEST_SUITE_P(
    Checks, AddRefusal,
    testing::Values(RefusalCase{"5 1 A 5 4", ""},  // exactly N blocks fit
                    RefusalCase{"5 1 A 6 4", tooLarge}, RefusalCase{"5 1 A 0 4", tooLarge},
                    RefusalCase{"5 1 A -3 4", tooLarge},
                    RefusalCase{"5 1 A 99999999999 4", tooLarge},
                    RefusalCase{"5 1 A x 4", tooLarge}, RefusalCase{"0 1 A 1 4", tooLarge},
                    RefusalCase{"-7 1 A 1 4", tooLarge},
                    RefusalCase{"5 1 A 3 1 B 3 4", noSpace},  // 3 > 2 free, but not > N
                    RefusalCase{"5 1 A 3 1 B 2 4", ""}));

TEST(Blockalloc, RefusedAddChangesNothing) {
    EXPECT_EQ(session("3 1 A 2 1 B 2 3 4"), startPrompt + add() + add() + noSpace + menu +
                                                blockRows("AAH") + header + "0.\tA\t0\t2\n" + menu);
}

TEST(Blockalloc, TheHoleMarkerAsANameChangesNoBlock) {
    EXPECT_EQ(session("3 1 H 2 3 4"),
              startPrompt + add() + menu + blockRows("HHH") + header + menu);
}

TEST(Blockalloc, WithNoBlocksEveryCommandStillAnswers) {
    EXPECT_EQ(session("0 1 A 1 3 2 1 4"), startPrompt + add() + tooLarge + menu + header + menu +
                                              removalList("") + wrongChoice + menu);
}

TEST(Blockalloc, WrongMenuNumbersAreAnsweredOnTheMenuLine) {
    EXPECT_EQ(session("2 9 0 -1 x 4294967297 4"), startPrompt + menu + wrongChoice + menu +
                                                      wrongChoice + menu + wrongChoice + menu +
                                                      wrongChoice + menu + wrongChoice + menu);
}

TEST(Blockalloc, ABlockCountThatIsNotANumberIsAskedForAgain) {
    EXPECT_EQ(session("many -x 2 3 4"),
              startPrompt + startPrompt + startPrompt + menu + blockRows("HH") + header + menu);
}

TEST(Blockalloc, ARemovalChoiceOutsideTheListFreesNothing) {
    // A B C, then B is removed; the table is now A C but its third place still holds C.
    const std::string nothingFreed = removalList("AC") + wrongChoice + menu + blockRows("AHC");
    for (const char* choice : {"3", "0", "-1", "21", "99999999999", "C"}) {
        const std::string output =
            session(std::string("3 1 A 1 1 B 1 1 C 1 2 2 2 ") + choice + " 3 4");
        EXPECT_NE(output.find(nothingFreed), std::string::npos) << "choice " << choice;
    }
}

TEST(Blockalloc, AnAddThatWouldOverfillTheFileTableIsRefused) {
    std::string input = "30";
    std::string table;
    for (char name = 'a'; name < 'a' + fileTableSize; ++name) {
        input += std::string(" 1 ") + name + " 1";
        table +=
            std::to_string(name - 'a') + ".\t" + name + "\t" + std::to_string(name - 'a') + "\t1\n";
    }
    // u would be a 21st run; t joins the last run, H changes no block: both are accepted.
    const std::string output = session(input + " 1 u 1 1 t 1 1 H 1 3 4");
    std::string expectedTail = add() + tableFull + add() + add() + menu;
    expectedTail += blockRows("abcdefghijklmnopqrsttHHHHHHHHH") + header;
    table.replace(table.rfind("1\n"), 2, "2\n");
    expectedTail += table + menu;
    ASSERT_GE(output.size(), expectedTail.size());
    EXPECT_EQ(output.substr(output.size() - expectedTail.size()), expectedTail);
}

TEST(Blockalloc, EndOfInputEndsTheSessionAtEveryPrompt) {
    const struct {
        const char* input;
        std::string output;
    } cases[] = {
        {"", startPrompt},
        {"x ", startPrompt + startPrompt},
        {"4", startPrompt + menu},
        {"4 1", startPrompt + menu + askName},
        {"4 1 A", startPrompt + add()},
        {"4 1 A 1 2", startPrompt + add() + menu + removalList("A")},
        {"4 1 A 1 3",
         startPrompt + add() + menu + blockRows("AHHH") + header + "0.\tA\t0\t1\n" + menu},
    };
    for (const auto& c : cases) EXPECT_EQ(session(c.input), c.output) << c.input;
}

TEST(Blockalloc, RemoveClearsATerminalBeforeTheList) {
    const std::string before = startPrompt + add() + menu;
    const console::Transcript onTerminal =
        console::runOnText("4 1 A 1 2 1 4", runBlockalloc, console::Destination::terminal);
    EXPECT_EQ(onTerminal.output, before + removalList("A") + menu);
    EXPECT_EQ(onTerminal.clearedAt, std::vector<std::size_t>{before.size()});
    const console::Transcript onPipe = console::runOnText("4 1 A 1 2 1 4", runBlockalloc);
    EXPECT_EQ(onPipe.output, before + removalList("A") + menu);
    EXPECT_TRUE(onPipe.clearedAt.empty());
}

}  // namespace
}  // namespace blockalloc

namespace blockalloc {
namespace {

// Block rows are written in groups of ten into the console's buffer: a map whose rows cross
// every group size and the buffer many times over, on a pipe and on a terminal.
TEST(Blockalloc, DisplaysEveryRowOfALargeMap) {
    std::string map(23456, 'H');
    map.replace(0, 9999, 9999, 'A');
    for (const auto destination : {console::Destination::pipe, console::Destination::terminal}) {
        EXPECT_EQ(session("23456 1 A 9999 3 4", destination),
                  startPrompt + add() + menu + blockRows(map) + header + "0.\tA\t0\t9999\n" + menu);
    }
}

}  // namespace
}  // namespace blockalloc
