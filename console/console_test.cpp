#include "console.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform.hpp"

namespace {

using console::Console;
using console::Read;

// Reads numbers until the end of the input and describes each result: "5", "?" for an entry that
// is not a number. The end itself is left out.
std::string readAllNumbers(const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out;
    Console con(in, out);
    std::string seen;
    for (console::Number n = con.readNumber(); n.status != Read::end; n = con.readNumber()) {
        if (!seen.empty()) seen += ' ';
        seen += n.status == Read::value ? std::to_string(n.value) : "?";
    }
    return seen;
}

struct NumberCase {
    const char* input;
    const char* numbers;
};

class ReadNumber : public testing::TestWithParam<NumberCase> {};

TEST_P(ReadNumber, ReadsEveryEntryOfTheInput) {
    EXPECT_EQ(readAllNumbers(GetParam().input), GetParam().numbers) << GetParam().input;
}

INSTANTIATE_TEST_SUITE_P(
    Entries, ReadNumber,
    testing::Values(NumberCase{"42", "42"}, NumberCase{" \t\r\n\v\f-17\n", "-17"},
                    NumberCase{"+5 007 -0", "5 7 0"}, NumberCase{"1 2\n3", "1 2 3"},
                    NumberCase{"", ""}, NumberCase{"  \r\n ", ""},
                    // the 32-bit limits, and beyond them the nearest one
                    NumberCase{"2147483647 2147483648", "2147483647 2147483647"},
                    NumberCase{"-2147483648 -2147483649", "-2147483648 -2147483648"},
                    NumberCase{"99999999999999999999999 -99999999999999999999999",
                               "2147483647 -2147483648"},
                    // entries that are not numbers are dropped up to the next blank
                    NumberCase{"abc 5", "? 5"}, NumberCase{"x5y 6", "? 6"},
                    NumberCase{"- 5", "? 5"}, NumberCase{"-", "?"}, NumberCase{"+-3 4", "? 4"},
                    NumberCase{"--3", "?"},
                    // a number ends at its last digit; what follows is the next entry
                    NumberCase{"12abc 3", "12 ? 3"}, NumberCase{"3-4", "3 -4"}));

TEST(ReadNumber, NulAndHighBytesAreNotNumbers) {
    EXPECT_EQ(readAllNumbers(std::string("\0 7", 3)), "? 7");
    EXPECT_EQ(readAllNumbers("\xff\xfe 8"), "? 8");
}

TEST(ReadNumber, LeavesWhatFollowsTheDigitsForTheNextRead) {
    std::istringstream in("12abc");
    std::ostringstream out;
    Console con(in, out);
    EXPECT_EQ(con.readNumber().value, 12);
    EXPECT_EQ(con.readChar(), 'a');
}

TEST(ReadChar, GivesEveryByteThatIsNotBlank) {
    const std::string input("  a\tb\r\nc\0\xe9 \x7f", 12);
    std::istringstream in(input);
    std::ostringstream out;
    Console con(in, out);
    std::string seen;
    for (auto c = con.readChar(); c; c = con.readChar()) seen += *c;
    EXPECT_EQ(seen, std::string("abc\0\xe9\x7f", 6));
}

TEST(ReadChars, ReadsWhatReadCharWouldUpToTheCount) {
    const std::string input("a b\tc\r\n\0\xe9 d", 11);
    for (std::size_t count : {0U, 1U, 3U, 5U, 6U, 40U}) {
        std::istringstream one(input);
        std::istringstream many(input);
        std::ostringstream out;
        Console byOne(one, out);
        Console byMany(many, out);
        std::string expected;
        for (std::size_t i = 0; i < count; ++i) {
            const auto c = byOne.readChar();
            if (!c) break;
            expected += *c;
        }
        std::string read = "x";
        EXPECT_EQ(byMany.readChars(read, count), expected.size());
        EXPECT_EQ(read, "x" + expected) << count;
        EXPECT_EQ(byMany.readChar(), byOne.readChar()) << count;
    }
}

TEST(ReadChar, EndsOnBlanksOnly) {
    std::istringstream in(" \t\r\n\v\f");
    std::ostringstream out;
    Console con(in, out);
    EXPECT_FALSE(con.readChar().has_value());
    EXPECT_FALSE(con.readChar().has_value());
}

// An input whose every read is refused by the system, as a closed descriptor is.
class RefusingInput : public std::streambuf {
protected:
    int_type underflow() override { throw std::runtime_error("read refused"); }
};

TEST(Read, ARefusedReadIsTheEndOfInput) {
    RefusingInput refusing;
    std::istream in(&refusing);
    std::ostringstream out;
    Console con(in, out);
    EXPECT_EQ(con.readNumber().status, Read::end);
    EXPECT_FALSE(con.readChar().has_value());
}

// Keeps what has reached it, and what had reached it at every flush.
class RecordingOutput : public std::streambuf {
public:
    std::string received;
    std::vector<std::string> atFlush;

protected:
    int_type overflow(int_type c) override {
        if (c != traits_type::eof()) received += traits_type::to_char_type(c);
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        received.append(s, static_cast<std::size_t>(n));
        return n;
    }
    int sync() override {
        atFlush.push_back(received);
        return 0;
    }
};

TEST(Flush, ToAPipeOutputWaitsForTheNextRead) {
    RecordingOutput recording;
    std::ostream out(&recording);
    std::istringstream in("7");
    Console con(in, out, false);
    con.write("line one\nline two\nprompt: ");
    EXPECT_EQ(recording.received, "");
    con.readNumber();
    EXPECT_EQ(recording.atFlush, std::vector<std::string>{"line one\nline two\nprompt: "});
}

TEST(Flush, ToATerminalEveryLineEndIsFlushed) {
    RecordingOutput recording;
    std::ostream out(&recording);
    std::istringstream in;
    Console con(in, out, true);
    con.write("one\n");
    con.write("two");
    con.write("\nthree\nfour");
    char* row = con.reserve();
    *row++ = '\n';
    con.commit(row);
    EXPECT_EQ(recording.atFlush,
              (std::vector<std::string>{"one\n", "one\ntwo\n", "one\ntwo\nthree\n",
                                        "one\ntwo\nthree\nfour\n"}));
}

TEST(Flush, FinishWritesALastTextWithoutLineEnd) {
    RecordingOutput recording;
    std::ostream out(&recording);
    std::istringstream in;
    std::ostringstream errors;
    Console con(in, out);
    con.write("no line end");
    EXPECT_EQ(console::finish(con, "prog", errors), 0);
    EXPECT_EQ(recording.received, "no line end");
    EXPECT_EQ(errors.str(), "");
}

TEST(Write, LargeAndSmallWritesArriveInOrder) {
    std::ostringstream out;
    std::istringstream in;
    std::string expected;
    {
        Console con(in, out);
        const std::string big(200000, 'x');
        for (int i = 0; i < 3; ++i) {
            con.write("small ");
            con.write(big);
            con.writeNumber(-1234567890123LL);
            con.write('\n');
            expected += "small " + big + "-1234567890123\n";
        }
    }
    EXPECT_EQ(out.str(), expected);
}

TEST(Write, RowsFilledInPlaceArriveInOrder) {
    std::ostringstream out;
    std::istringstream in;
    std::string expected;
    {
        Console con(in, out);
        for (int i = 0; i < 50000; ++i) {
            const std::string text = std::to_string(i) + (i % 7 == 0 ? std::string(200, '.') : "");
            char* row = con.reserve();
            for (char c : text) *row++ = c;
            *row++ = '\n';
            con.commit(row);
            if (i % 1000 == 0) con.write("between\n");
            expected += text + "\n" + (i % 1000 == 0 ? "between\n" : "");
        }
    }
    EXPECT_EQ(out.str(), expected);
}

// Refuses every byte, as a full device does.
class FullOutput : public std::streambuf {
protected:
    int_type overflow(int_type /*c*/) override { return traits_type::eof(); }
    std::streamsize xsputn(const char* /*s*/, std::streamsize /*n*/) override { return 0; }
};

TEST(Write, AFailedWriteStopsReadingAndIsReported) {
    FullOutput full;
    std::ostream out(&full);
    std::istringstream in("1 2 3");
    std::ostringstream errors;
    Console con(in, out);
    con.write("prompt");
    EXPECT_EQ(con.readNumber().status, Read::end);
    EXPECT_FALSE(con.readChar().has_value());
    EXPECT_TRUE(con.failed());
    EXPECT_EQ(console::finish(con, "prog", errors), 1);
    EXPECT_EQ(errors.str(), "prog: cannot write to standard output\n");
}

TEST(ClearScreen, OnlyATerminalIsCleared) {
    std::istringstream in;
    std::ostringstream toPipe;
    std::ostringstream toTerminal;
    {
        Console pipe(in, toPipe, false);
        pipe.clearScreen();
        Console terminal(in, toTerminal, true);
        terminal.clearScreen();
    }
    EXPECT_EQ(toPipe.str(), "");
    EXPECT_EQ(toTerminal.str(), platform::clearSequence());
}

}  // namespace
