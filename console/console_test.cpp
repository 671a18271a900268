#include "console.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "text_streams.hpp"

namespace {

using console::Console;
using console::Destination;
using console::InputStep;
using console::NotNumber;
using console::Read;
using console::TextInput;
using console::TextOutput;

// Reads numbers until the end of the input and describes each result: "5", "?" for an entry that
// is not a number. The end itself is left out.
std::string readAllNumbers(const std::string& input, NotNumber rest) {
    TextInput in(input);
    TextOutput out;
    Console con(in, out, Destination::pipe);
    std::string seen;
    for (int guard = 0; guard < 100; ++guard) {
        const console::Number n = con.readNumber(rest);
        if (n.status == Read::end) break;
        if (!seen.empty()) seen += ' ';
        seen += n.status == Read::value ? std::to_string(n.value) : "?";
        // Left in place, the byte that is not a number is the next entry's: take it as a name.
        if (n.status == Read::notNumber && rest == NotNumber::leaveRest) {
            if (const auto c = con.readChar()) seen += std::string(" '") + *c + "'";
        }
    }
    return seen;
}

struct NumberCase {
    const char* input;
    const char* discarding;  // what the numbers are when an entry that is not a number is dropped
    const char* leaving;     // and when its rest is left for the next read
};

class ReadNumber : public testing::TestWithParam<NumberCase> {};

TEST_P(ReadNumber, ReadsEveryEntryOfTheInput) {
    EXPECT_EQ(readAllNumbers(GetParam().input, NotNumber::discardEntry), GetParam().discarding)
        << GetParam().input;
    EXPECT_EQ(readAllNumbers(GetParam().input, NotNumber::leaveRest), GetParam().leaving)
        << GetParam().input;
}

INSTANTIATE_TEST_SUITE_P(
    Entries, ReadNumber,
    testing::Values(
        NumberCase{"42", "42", "42"}, NumberCase{" \t\r\n\v\f-17\n", "-17", "-17"},
        NumberCase{"+5 007 -0", "5 7 0", "5 7 0"}, NumberCase{"1 2\n3", "1 2 3", "1 2 3"},
        NumberCase{"", "", ""}, NumberCase{"  \r\n ", "", ""},
        // the 32-bit limits, and beyond them the nearest one
        NumberCase{"2147483647 2147483648", "2147483647 2147483647", "2147483647 2147483647"},
        NumberCase{"-2147483648 -2147483649", "-2147483648 -2147483648", "-2147483648 -2147483648"},
        NumberCase{"99999999999999999999999 -99999999999999999999999", "2147483647 -2147483648",
                   "2147483647 -2147483648"},
        // entries that are not numbers: dropped up to the next blank, or left
        NumberCase{"abc 5", "? 5", "? 'a' ? 'b' ? 'c' 5"},
        NumberCase{"x5y 6", "? 6", "? 'x' 5 ? 'y' 6"}, NumberCase{"- 5", "? 5", "? '5'"},
        // a sign alone is an entry, even at the very end of the input
        NumberCase{"-", "?", "?"}, NumberCase{"+-3 4", "? 4", "? '-' 3 4"},
        NumberCase{"--3", "?", "? '-' 3"},
        // a number ends at its last digit; what follows is the next entry
        NumberCase{"12abc 3", "12 ? 3", "12 ? 'a' ? 'b' ? 'c' 3"},
        NumberCase{"3-4", "3 -4", "3 -4"}));

TEST(ReadNumber, NulAndHighBytesAreNotNumbers) {
    EXPECT_EQ(readAllNumbers(std::string("\0 7", 3), NotNumber::discardEntry), "? 7");
    EXPECT_EQ(readAllNumbers("\xff\xfe 8", NotNumber::discardEntry), "? 8");
}

TEST(ReadNumber, LeavesWhatFollowsTheDigitsForTheNextRead) {
    TextInput in("12abc");
    TextOutput out;
    Console con(in, out, Destination::pipe);
    EXPECT_EQ(con.readNumber(NotNumber::discardEntry).value, 12);
    EXPECT_EQ(con.readChar(), 'a');
}

// An entry such as "x" is answered without waiting for more input, which may never come.
TEST(ReadNumber, LeavingTheRestNeedsNoByteAfterTheFirst) {
    TextInput in({{"x", 0}, {"", EAGAIN}});
    TextOutput out;
    Console con(in, out, Destination::pipe);
    EXPECT_EQ(con.readNumber(NotNumber::leaveRest).status, Read::notNumber);
    EXPECT_EQ(in.reads, 1);
}

TEST(ReadChar, GivesEveryByteThatIsNotBlank) {
    const std::string input("  a\tb\r\nc\0\xe9 \x7f", 12);
    TextInput in(input);
    TextOutput out;
    Console con(in, out, Destination::pipe);
    std::string seen;
    for (auto c = con.readChar(); c; c = con.readChar()) seen += *c;
    EXPECT_EQ(seen, std::string("abc\0\xe9\x7f", 6));
}

TEST(ReadChars, ReadsWhatReadCharWouldUpToTheCount) {
    const std::string input("a b\tc\r\n\0\xe9 d", 11);
    for (std::size_t count : {0U, 1U, 3U, 5U, 6U, 40U}) {
        TextInput one(input);
        TextInput many(input);
        TextOutput out;
        Console byOne(one, out, Destination::pipe);
        Console byMany(many, out, Destination::pipe);
        std::string expected;
        for (std::size_t i = 0; i < count; ++i) {
            const auto c = byOne.readChar();
            if (!c) break;
            expected += *c;
        }
        std::string read(count, '-');
        EXPECT_EQ(byMany.readChars(read.data(), count), expected.size());
        EXPECT_EQ(read.substr(0, expected.size()), expected) << count;
        EXPECT_EQ(byMany.readChar(), byOne.readChar()) << count;
    }
}

// Input arriving in pieces, a byte at a time or across the console's own buffer, reads the same.
TEST(ReadChars, InputInPiecesReadsAsAWhole) {
    std::string pages;
    for (int i = 0; i < 200000; ++i)
        pages +=
            static_cast<char>('a' + i % 26) + std::string(static_cast<std::size_t>(i % 3), ' ');
    std::vector<InputStep> steps;
    for (std::size_t at = 0; at < pages.size(); at += 7919)
        steps.push_back({pages.substr(at, 7919)});
    TextInput in(steps);
    TextOutput out;
    Console con(in, out, Destination::pipe);
    std::string read(200000, '-');
    EXPECT_EQ(con.readChars(read.data(), read.size()), read.size());
    for (std::size_t i = 0; i < read.size(); ++i)
        ASSERT_EQ(read[i], static_cast<char>('a' + i % 26)) << i;
}

TEST(ReadChar, EndsOnBlanksOnly) {
    TextInput in(" \t\r\n\v\f");
    TextOutput out;
    Console con(in, out, Destination::pipe);
    EXPECT_FALSE(con.readChar().has_value());
    EXPECT_FALSE(con.readChar().has_value());
}

// An interrupted read is read again; a non-blocking input with nothing ready is waited for.
TEST(Read, InterruptionsAndInputNotReadyYetAreWaitedFor) {
    TextInput in({{"1", 0}, {"", EINTR}, {"2", 0}, {"", EAGAIN}, {"", EAGAIN}, {" 7", 0}});
    TextOutput out;
    TextOutput errors;
    Console con(in, out, Destination::pipe);
    const console::Number n = con.readNumber(NotNumber::discardEntry);
    EXPECT_EQ(n.status, Read::value);
    EXPECT_EQ(n.value, 12);
    EXPECT_EQ(con.readNumber(NotNumber::discardEntry).value, 7);
    EXPECT_EQ(in.waits, 2);
    EXPECT_EQ(con.readNumber(NotNumber::discardEntry).status, Read::end);
    EXPECT_EQ(console::finish(con, "prog", errors), 0);
}

struct ReadFailureCase {
    std::vector<InputStep> steps;
    int waitError;
    std::string written;  // what reaches the output before the failure ends it
    std::string reason;
};

class ReadFailure : public testing::TestWithParam<ReadFailureCase> {};

// A refused read is not the end of the input: reading stops, what was written stays, nothing more
// is, and the failure is reported with status 1.
TEST_P(ReadFailure, IsReportedAndEndsTheSession) {
    TextInput in(GetParam().steps);
    in.waitError = GetParam().waitError;
    TextOutput out;
    TextOutput errors;
    Console con(in, out, Destination::pipe);
    con.write("first: ");
    std::string seen;
    for (console::Number n = con.readNumber(NotNumber::discardEntry); n.status != Read::end;
         n = con.readNumber(NotNumber::discardEntry)) {
        seen += std::to_string(n.value) + ' ';
        con.write("next: ");
    }
    EXPECT_TRUE(con.failed());
    EXPECT_FALSE(con.readChar().has_value());
    con.write("never");
    EXPECT_EQ(console::finish(con, "prog", errors), 1);
    EXPECT_EQ(out.text, GetParam().written);
    EXPECT_EQ(errors.text, "prog: cannot read standard input: " + GetParam().reason + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, ReadFailure,
    testing::Values(ReadFailureCase{{{"", EBADF}}, 0, "first: ", std::strerror(EBADF)},
                    ReadFailureCase{{{"", EISDIR}}, 0, "first: ", std::strerror(EISDIR)},
                    // after two numbers; the second was cut by the failure, so it is not taken
                    ReadFailureCase{
                        {{"5 6", 0}, {"", EIO}}, 0, "first: next: ", std::strerror(EIO)},
                    // waiting for input that is not ready can fail as well
                    ReadFailureCase{{{"", EAGAIN}}, ENOMEM, "first: ", std::strerror(ENOMEM)}));

TEST(Flush, ToAPipeOutputWaitsForTheNextRead) {
    TextInput in("7");
    TextOutput out;
    Console con(in, out, Destination::pipe);
    con.write("line one\nline two\nprompt: ");
    EXPECT_EQ(out.text, "");
    con.readNumber(NotNumber::discardEntry);
    EXPECT_EQ(out.writes, std::vector<std::string>{"line one\nline two\nprompt: "});
}

TEST(Flush, ToATerminalEveryLineEndIsFlushed) {
    TextInput in("");
    TextOutput out;
    Console con(in, out, Destination::terminal);
    con.write("one\n");
    con.write("two");
    con.write("\nthree\nfour");
    const console::Room room = con.reserve();
    char* row = room.begin;
    *row++ = '\n';
    con.commit(row);
    EXPECT_EQ(out.writes, (std::vector<std::string>{"one\n", "two\n", "three\n", "four\n"}));
}

TEST(Flush, FinishWritesALastTextWithoutLineEnd) {
    TextInput in("");
    TextOutput out;
    TextOutput errors;
    Console con(in, out, Destination::pipe);
    con.write("no line end");
    EXPECT_EQ(console::finish(con, "prog", errors), 0);
    EXPECT_EQ(out.text, "no line end");
    EXPECT_EQ(errors.text, "");
}

TEST(Write, LargeAndSmallWritesArriveInOrder) {
    TextInput in("");
    TextOutput out;
    std::string expected;
    {
        Console con(in, out, Destination::pipe);
        const std::string big(200000, 'x');
        for (int i = 0; i < 3; ++i) {
            con.write("small ");
            con.write(big);
            con.writeNumber(-1234567890123LL);
            con.write('\n');
            expected += "small " + big + "-1234567890123\n";
        }
    }
    EXPECT_EQ(out.text, expected);
}

// Writes of every size around the buffer's 64 KiB, rows filled in place among them, on a pipe and
// on a terminal: every byte arrives once and in order, and the buffer never overflows (the asan
// build checks that).
TEST(Write, EverySizeAroundTheBufferArrivesInOrder) {
    constexpr std::size_t buffer = std::size_t{1} << 16;
    for (const Destination destination : {Destination::pipe, Destination::terminal}) {
        for (const std::size_t size : {buffer - Console::maxRow - 1, buffer - Console::maxRow,
                                       buffer - 1, buffer, buffer + 1}) {
            TextInput in("");
            TextOutput out;
            std::string expected;
            {
                Console con(in, out, destination);
                for (int i = 0; i < 5; ++i) {
                    const std::string text(size - static_cast<std::size_t>(i),
                                           static_cast<char>('a' + i));
                    con.write(text);
                    const console::Room room = con.reserve();
                    ASSERT_EQ(static_cast<std::size_t>(room.end - room.begin), Console::maxRow);
                    const std::string row =
                        std::string(Console::maxRow - 1, static_cast<char>('0' + i)) + "\n";
                    char* end = std::copy(row.begin(), row.end(), room.begin);
                    con.commit(end);
                    expected += text + row;
                }
            }
            EXPECT_EQ(out.text, expected) << size;
        }
    }
}

TEST(Write, ShortWritesInterruptionsAndAFullNonBlockingOutputLoseNothing) {
    TextInput in("");
    TextOutput out;
    TextOutput errors;
    out.maxPerWrite = 3;
    out.errors = {EINTR, EAGAIN, EINTR};
    Console con(in, out, Destination::pipe);
    con.write("hello, world\n");
    EXPECT_EQ(console::finish(con, "prog", errors), 0);
    EXPECT_EQ(out.text, "hello, world\n");
    EXPECT_EQ(out.waits, 1);
}

TEST(Write, AFailedWriteStopsReadingAndIsReported) {
    TextInput in("1 2 3");
    TextOutput out;
    TextOutput errors;
    out.room = 4;
    Console con(in, out, Destination::pipe);
    con.write("prompt");
    EXPECT_EQ(con.readNumber(NotNumber::discardEntry).status, Read::end);
    EXPECT_FALSE(con.readChar().has_value());
    EXPECT_TRUE(con.failed());
    EXPECT_EQ(in.reads, 0);
    EXPECT_EQ(console::finish(con, "prog", errors), 1);
    EXPECT_EQ(out.text, "prom");
    EXPECT_EQ(errors.text, "prog: cannot write to standard output: " +
                               std::string(std::strerror(ENOSPC)) + "\n");
}

TEST(Fail, AProgramsOwnFailureIsReportedOnce) {
    TextInput in("1");
    TextOutput out;
    TextOutput errors;
    Console con(in, out, Destination::pipe);
    con.write("before ");
    con.fail("not enough memory for the pages");
    con.write("after");
    EXPECT_EQ(con.readNumber(NotNumber::discardEntry).status, Read::end);
    EXPECT_EQ(console::finish(con, "prog", errors), 1);
    EXPECT_EQ(out.text, "before ");
    EXPECT_EQ(errors.text, "prog: not enough memory for the pages\n");
}

// The first failure is the one reported: a program that ran out of memory, and whose pending
// output then cannot be written either, reports the memory.
TEST(Fail, TheFirstFailureIsTheOneReported) {
    TextInput in("");
    TextOutput out;
    TextOutput errors;
    out.errors = {EFBIG};
    Console con(in, out, Destination::pipe);
    con.write("header\n");
    con.fail("not enough memory for the pages");
    EXPECT_EQ(console::finish(con, "prog", errors), 1);
    EXPECT_EQ(errors.text, "prog: not enough memory for the pages\n");
}

// The end of the input is the end: the input is not asked again, even if it would give more (a
// terminal where Ctrl-D was typed would wait for more lines).
TEST(Read, OneEndOfInputEndsTheInput) {
    TextInput in({{"4", 0}, {"", 0}, {"5 x", 0}});
    TextOutput out;
    Console con(in, out, Destination::terminal);
    EXPECT_EQ(con.readNumber(NotNumber::discardEntry).value, 4);
    EXPECT_EQ(con.readNumber(NotNumber::discardEntry).status, Read::end);
    const int reads = in.reads;
    EXPECT_EQ(con.readNumber(NotNumber::discardEntry).status, Read::end);
    EXPECT_FALSE(con.readChar().has_value());
    EXPECT_EQ(con.readAvailable(), "");
    EXPECT_EQ(in.reads, reads);
}

// A terminal is cleared after what was written before has reached it; a pipe never is.
TEST(ClearScreen, OnlyATerminalIsCleared) {
    TextInput in("");
    TextOutput toPipe;
    TextOutput toTerminal;
    {
        Console pipe(in, toPipe, Destination::pipe);
        pipe.write("before");
        pipe.clearScreen();
        Console terminal(in, toTerminal, Destination::terminal);
        terminal.write("before");
        terminal.clearScreen();
        terminal.write("after");
    }
    EXPECT_EQ(toPipe.text, "before");
    EXPECT_TRUE(toPipe.clearedAt.empty());
    EXPECT_EQ(toTerminal.text, "beforeafter");
    EXPECT_EQ(toTerminal.clearedAt, std::vector<std::size_t>{6});
}

}  // namespace
