#include "trace.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "reference_strings.hpp"
#include "replacement.hpp"
#include "text_streams.hpp"

namespace pagefifo {
namespace {

const std::string countPrompt = "please enter your number of input :";
const std::string pagesPrompt = "Enter the values for the page :\n";
const std::string header = "     page1    page2    page3\n";

std::string session(const std::string& input) {
    return console::runOnText(input, runPagefifo).output;
}

// A fault row: the position, then each page held, right-aligned in 9 columns.
std::string row(int position, const std::string& frames) {
    std::string text = std::to_string(position);
    for (char page : frames) text += std::string(8, ' ') + page;
    return text + "\n";
}

std::string faultRows(const std::string& pages) {
    console::TextInput in("");
    console::TextOutput out;
    {
        console::Console con(in, out, console::Destination::pipe);
        Frames frames = emptyFrames();
        traceFaults(con, pages, 1, frames);
    }
    return out.text;
}

std::size_t lineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(Trace, WritesARowPerFaultWithTheFramesInFrameOrder) {
    EXPECT_EQ(faultRows("abcadbe"),
              row(1, "a") + row(2, "ab") + row(3, "abc") + row(5, "dbc") + row(7, "dec"));
}

TEST(Trace, ReplacesTheFrameFilledLongestAgo) {
    const std::string rows = faultRows("701203042303");
    EXPECT_EQ(lineCount(rows), 10U);
    EXPECT_NE(rows.find(row(4, "201")), std::string::npos);
    EXPECT_NE(rows.find(row(8, "430")), std::string::npos);
    EXPECT_EQ(rows.substr(rows.rfind("11")), row(11, "023"));
    EXPECT_EQ(rows.find("\n5 "), std::string::npos);
    EXPECT_EQ(rows.find("\n12 "), std::string::npos);
}

TEST(Trace, TextbookStringsGiveTheirFaultCounts) {
    EXPECT_EQ(lineCount(faultRows("7012030423030321201701")), 15U);
    EXPECT_EQ(lineCount(faultRows("123412512345")), 9U);
}

TEST(Trace, RepeatedPagesAreHits) {
    EXPECT_EQ(faultRows("zzz"), row(1, "z"));
    EXPECT_EQ(faultRows("aAa"), row(1, "a") + row(2, "aA"));
    EXPECT_EQ(faultRows(""), "");
}

TEST(Trace, AnEmptyFrameMatchesNoPageWhateverItsByte) {
    const std::string nul(1, '\0');
    EXPECT_EQ(faultRows(nul + nul + "x" + nul), row(1, nul) + row(3, nul + "x"));
    EXPECT_EQ(faultRows("\xff\xff"), row(1, "\xff"));
}

TEST(Trace, RowNumbersAreNotPadded) {
    const std::string rows = faultRows("abcdefghijkl");
    EXPECT_EQ(rows.substr(rows.find("\n9 ") + 1, 3), "9  ");
    const std::string last = row(12, "jkl");
    EXPECT_EQ(rows.substr(rows.size() - last.size()), last);
}

TEST(Pagefifo, ReadsPagesTypedAnyWay) {
    const std::string expected = countPrompt + pagesPrompt + header + row(1, "a") + row(2, "ab");
    EXPECT_EQ(session("2\na\nb\n"), expected);
    EXPECT_EQ(session("2 ab"), expected);
    EXPECT_EQ(session("  2\r\n a  b \r\n"), expected);
    EXPECT_EQ(session("2ab"), expected);
}

TEST(Pagefifo, TracesEveryAnnouncedReferencePastThirty) {
    // abcd over and over: with three frames every reference is a fault, each replacing the frame
    // after the one replaced before.
    std::string pages;
    std::string rows;
    for (int p = 0; p < 45; ++p) pages += static_cast<char>('a' + p % 4);
    rows = row(1, "a") + row(2, "ab") + row(3, "abc");
    std::string frames = "abc";
    for (int p = 3; p < 45; ++p) {
        frames[static_cast<std::size_t>(p % 3)] = pages[static_cast<std::size_t>(p)];
        rows += row(p + 1, frames);
    }
    EXPECT_NE(rows.find("\n30        d        a        b\n31        c        a        b\n"),
              std::string::npos);
    EXPECT_EQ(session("45 " + pages), countPrompt + pagesPrompt + header + rows);
}

// pagesim's FIFO with three frames is pagefifo: the same frames after every fault, on random
// strings over a few pages.
TEST(Trace, RowsAreThoseOfTheSharedFifoWithThreeFrames) {
    for (std::uint64_t seed = 0; seed < 100; ++seed) {
        const pagemodel::References references = pagemodel::randomReferences(40, 5, seed);
        std::string pages;
        for (const pagemodel::PageId page : references.pages) pages += references.names.name(page);
        pagemodel::Simulation fifo(pagemodel::Policy::fifo, 3,
                                   {references.pages, references.names.size(), seed});
        std::string rows;
        for (int position = 1; !fifo.done(); ++position) {
            if (fifo.next().hit) continue;
            std::string frames;
            for (std::size_t slot = 0; slot < fifo.used(); ++slot)
                frames += references.names.name(fifo.slots()[slot]);
            rows += row(position, frames);
        }
        EXPECT_EQ(faultRows(pages), rows) << pages;
    }
}

TEST(Pagefifo, CountsThatReadNoPages) {
    const std::string none = countPrompt + pagesPrompt + header;
    for (const char* input : {"0 abc", "-5 abc", "x abc", "- abc", "-99999999999 abc"})
        EXPECT_EQ(session(input), none) << input;
}

TEST(Pagefifo, EndOfInputTracesWhatWasRead) {
    EXPECT_EQ(session(""), countPrompt);
    EXPECT_EQ(session("   \n"), countPrompt);
    EXPECT_EQ(session("5"), countPrompt + pagesPrompt + header);
    EXPECT_EQ(session("5 ab"), countPrompt + pagesPrompt + header + row(1, "a") + row(2, "ab"));
    EXPECT_EQ(session("2147483647 abc"),
              countPrompt + pagesPrompt + header + row(1, "a") + row(2, "ab") + row(3, "abc"));
    EXPECT_EQ(session("99999999999 abc"),
              countPrompt + pagesPrompt + header + row(1, "a") + row(2, "ab") + row(3, "abc"));
}

// The pages are stored in pieces; a trace goes on across them with the same frames.
TEST(Pagefifo, TracesAcrossTheStoragePieces) {
    const std::size_t piece = RefString::pieceSize;
    const std::string pages = std::string(piece - 1, 'a') + "bcab" + std::string(piece, 'd') + "e";
    const std::string rows =
        row(1, "a") + row(static_cast<int>(piece), "ab") + row(static_cast<int>(piece + 1), "abc") +
        row(static_cast<int>(piece + 4), "dbc") + row(static_cast<int>(2 * piece + 4), "dec");
    EXPECT_EQ(faultRows(pages), rows);
    EXPECT_EQ(session(std::to_string(pages.size()) + "\n" + pages),
              countPrompt + pagesPrompt + header + rows);
}

TEST(Pagefifo, ACountThatIsNotANumberIsAnsweredWithoutWaiting) {
    // Nothing after the first byte that cannot continue the count is needed, or taken.
    console::TextInput in({{"x", 0}, {"", EAGAIN}});
    console::TextOutput out;
    console::TextOutput errors;
    console::Console con(in, out, console::Destination::pipe);
    runPagefifo(con);
    EXPECT_EQ(console::finish(con, "pagefifo", errors), 0);
    EXPECT_EQ(out.text, countPrompt + pagesPrompt + header);
    EXPECT_EQ(in.waits, 0);
}

TEST(Pagefifo, LeavesPagesBeyondTheCountUnread) {
    EXPECT_EQ(session("1 ab"), countPrompt + pagesPrompt + header + row(1, "a"));
}

}  // namespace
}  // namespace pagefifo
