#include "pagesim.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <sstream>
#include <string>
#include <vector>

#include "text_streams.hpp"

namespace pagesim {
namespace {

console::Transcript run(const std::vector<std::string>& arguments, const std::string& input = "") {
    console::TextInput in(input);
    console::TextOutput out;
    console::TextOutput errors;
    console::Streams streams{in, out, errors, console::Destination::pipe};
    const int status = runPagesim(arguments, streams);
    return {out.text, errors.text, status, out.clearedAt};
}

std::string output(const std::vector<std::string>& arguments, const std::string& input = "") {
    const console::Transcript transcript = run(arguments, input);
    EXPECT_EQ(transcript.status, 0) << transcript.errors;
    EXPECT_EQ(transcript.errors, "");
    return transcript.output;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

const std::vector<std::string> belady{"1,2,3,4,1,2,5,1,2,3,4,5"};

const std::string beladyFifoTrace =
    "FIFO, 3 frames, 12 references\n"
    "step  page  result  victim  frame1  frame2  frame3\n"
    "   1     1  fault                1\n"
    "   2     2  fault                1       2\n"
    "   3     3  fault                1       2       3\n"
    "   4     4  fault        1       4       2       3\n"
    "   5     1  fault        2       4       1       3\n"
    "   6     2  fault        3       4       1       2\n"
    "   7     5  fault        4       5       1       2\n"
    "   8     1  hit                  5       1       2\n"
    "   9     2  hit                  5       1       2\n"
    "  10     3  fault        1       5       3       2\n"
    "  11     4  fault        2       5       3       4\n"
    "  12     5  hit                  5       3       4\n"
    "FIFO: 9 faults, 3 hits, hit ratio 25.00%\n";

TEST(Pagesim, TracesEveryReferenceWithHitsVictimsAndFrames) {
    EXPECT_EQ(output(belady), beladyFifoTrace);
    // The same references from standard input, commas and blanks mixed, a word cut by no piece.
    EXPECT_EQ(output({}, "1 2,3\n4 ,1,2 5\r\n1 2 3 4 5"), beladyFifoTrace);
    EXPECT_EQ(output({"-f3", "1", "2,3", "4,1", "2", "5,1,2", "3,4,5"}), beladyFifoTrace);
}

TEST(Pagesim, ColumnsWidenForLongPagesAndFramesFollowTheirCount) {
    EXPECT_EQ(output({"--policy=lru", "--frames", "2", "alpha", "b", "alpha", "c", "b"}),
              "LRU, 2 frames, 5 references\n"
              "step   page  result  victim  frame1  frame2\n"
              "   1  alpha  fault            alpha\n"
              "   2      b  fault            alpha       b\n"
              "   3  alpha  hit              alpha       b\n"
              "   4      c  fault        b   alpha       c\n"
              "   5      b  fault    alpha       b       c\n"
              "LRU: 4 faults, 1 hit, hit ratio 20.00%\n");
    EXPECT_EQ(output({"-f", "1", "x"}),
              "FIFO, 1 frame, 1 reference\nstep  page  result  victim  frame1\n"
              "   1     x  fault                x\nFIFO: 1 fault, 0 hits, hit ratio 0.00%\n");
    EXPECT_EQ(output({}, " \n"),
              "FIFO, 3 frames, 0 references\nstep  page  result  victim  frame1  frame2  frame3\n"
              "FIFO: 0 faults, 0 hits, hit ratio -\n");
}

TEST(Pagesim, PoliciesOneAfterAnother) {
    std::vector<std::string> arguments = belady;
    arguments.emplace_back("--policy=fifo,opt");
    const std::string both = output(arguments);
    EXPECT_EQ(both.substr(0, beladyFifoTrace.size() + 1), beladyFifoTrace + "\n");
    EXPECT_NE(both.find("OPT: 7 faults, 5 hits, hit ratio 41.67%\n"), std::string::npos);
}

// The quiz is the answer's table with only the steps and pages in it: row for row the same
// beginning, and nothing of an outcome, a victim, a frame or a total.
TEST(Pagesim, AQuizGivesTheProblemAndNoAnswer) {
    for (const char* policy : {"fifo", "lru", "opt", "clock", "random"}) {
        std::vector<std::string> arguments{"--random=15", "--seed=3", "-f", "3", "-p", policy};
        const std::vector<std::string> answer = linesOf(output(arguments));
        arguments.emplace_back("--quiz");
        const std::vector<std::string> quiz = linesOf(output(arguments));
        ASSERT_EQ(quiz.size() + 1, answer.size()) << policy;
        EXPECT_EQ(quiz[0], answer[0]);
        EXPECT_EQ(quiz[1], answer[1]);
        for (std::size_t row = 2; row < quiz.size(); ++row) {
            EXPECT_EQ(quiz[row], answer[row].substr(0, quiz[row].size())) << policy;
            EXPECT_EQ(quiz[row].size(), 10U) << policy << ": " << quiz[row];
        }
    }
    EXPECT_EQ(output({"--quiz", "--csv", "-f2", "a", "b"}),
              "policy,step,page,result,victim,frame1,frame2\nfifo,1,a,,,,\nfifo,2,b,,,,\n");
}

TEST(Pagesim, CsvForScripts) {
    EXPECT_EQ(output({"--csv", "-p", "lru,clock", "-f", "2", "a", "b\"q", "a", "c"}),
              "policy,step,page,result,victim,frame1,frame2\n"
              "lru,1,a,fault,,a,\n"
              "lru,2,\"b\"\"q\",fault,,a,\"b\"\"q\"\n"
              "lru,3,a,hit,,a,\"b\"\"q\"\n"
              "lru,4,c,fault,\"b\"\"q\",a,c\n"
              "clock,1,a,fault,,a,\n"
              "clock,2,\"b\"\"q\",fault,,a,\"b\"\"q\"\n"
              "clock,3,a,hit,,a,\"b\"\"q\"\n"
              "clock,4,c,fault,a,c,\"b\"\"q\"\n");
    EXPECT_EQ(output({"--csv", "--totals", "-p", "fifo,opt", "1,2,1,3"}),
              "policy,frames,references,faults,hits\nfifo,3,4,3,1\nopt,3,4,3,1\n");
}

TEST(Pagesim, ComparisonShowsBeladysAnomaly) {
    std::vector<std::string> arguments = belady;
    arguments.insert(arguments.end(), {"--compare=3-4", "-p", "fifo,lru"});
    EXPECT_EQ(output(arguments),
              "frames  FIFO faults  FIFO hits  LRU faults  LRU hits\n"
              "     3            9          3          10         2\n"
              "     4           10          2           8         4\n"
              "FIFO faults more with 4 frames (10) than with 3 (9): Belady's anomaly\n");
    arguments.emplace_back("--csv");
    EXPECT_EQ(output(arguments),
              "policy,frames,references,faults,hits\n"
              "fifo,3,12,9,3\nfifo,4,12,10,2\nlru,3,12,10,2\nlru,4,12,8,4\n");
    // Without a range, 1 to 7 frames; a page argument after --compare is a page.
    EXPECT_EQ(linesOf(output({"--compare", "1", "2", "1"})).size(), 8U);
}

TEST(Pagesim, TotalsOfEachPolicy) {
    std::vector<std::string> arguments = belady;
    arguments.insert(arguments.end(), {"--totals", "-p", "all"});
    EXPECT_EQ(output(arguments),
              "policy  frames  references  faults  hits  hit ratio\n"
              "FIFO         3          12       9     3     25.00%\n"
              "LRU          3          12      10     2     16.67%\n"
              "OPT          3          12       7     5     41.67%\n"
              "Clock        3          12       9     3     25.00%\n"
              "Random       3          12       9     3     25.00%\n");
}

TEST(Pagesim, SeededReferencesAreTheSameProblemEachTime) {
    const std::string drawn = output({"-r", "50", "-m", "4", "-s", "9", "--csv"});
    EXPECT_EQ(drawn, output({"--random=50", "--max-page=4", "--seed=9", "--csv"}));
    EXPECT_NE(drawn, output({"--random=50", "--max-page=4", "--seed=10", "--csv"}));
    const std::vector<std::string> rows = linesOf(drawn);
    ASSERT_EQ(rows.size(), 51U);
    for (std::size_t row = 1; row < rows.size(); ++row) {
        const std::string page = rows[row].substr(rows[row].find(',', 5) + 1, 1);
        EXPECT_TRUE(page >= "0" && page <= "3") << rows[row];
    }
}

TEST(Pagesim, CommandLineErrors) {
    struct Case {
        std::vector<std::string> arguments;
        std::string line;
    };
    const Case cases[] = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"-x"}, "unknown option '-x'"},
        {{"-p", "lfu"}, "unknown policy 'lfu' (fifo, lru, opt, clock, random or all)"},
        {{"-p", "fifo,"}, "unknown policy '' (fifo, lru, opt, clock, random or all)"},
        {{"-f", "0"}, "frames must be a number from 1 to 65536, not '0'"},
        {{"-f", "65537"}, "frames must be a number from 1 to 65536, not '65537'"},
        {{"-f", "3x"}, "frames must be a number from 1 to 65536, not '3x'"},
        {{"-f", "-3"}, "frames must be a number from 1 to 65536, not '-3'"},
        {{"--frames"}, "option '--frames' needs a value"},
        {{"--compare=0-3"}, "--compare wants frames A-B with 1 <= A <= B <= 65536, not '0-3'"},
        {{"--compare=4-3"}, "--compare wants frames A-B with 1 <= A <= B <= 65536, not '4-3'"},
        {{"--compare=4"}, "--compare wants frames A-B with 1 <= A <= B <= 65536, not '4'"},
        {{"--random=x"}, "--random wants a number of references from 0 to 100000000, not 'x'"},
        {{"--random=3", "a"}, "give pages or --random, not both"},
        {{"-m", "0"}, "--max-page wants a number from 1 to 1000000000, not '0'"},
        {{"-s", "18446744073709551616"},
         "--seed wants a number from 0 to 18446744073709551615, not '18446744073709551616'"},
        {{"--quiz", "--totals"}, "--quiz cannot be combined with --compare or --totals"},
        {{"--quiz=1"}, "option '--quiz' takes no value"},
    };
    for (const Case& c : cases) {
        const console::Transcript transcript = run(c.arguments, "1 2 3");
        EXPECT_EQ(transcript.status, 2) << c.line;
        EXPECT_EQ(transcript.output, "") << c.line;
        EXPECT_EQ(transcript.errors,
                  "pagesim: " + c.line + "\nTry 'pagesim --help' for more information.\n");
    }
}

TEST(Pagesim, HelpAndVersion) {
    EXPECT_EQ(output({"--help"}).rfind("Usage: pagesim [OPTION]... [PAGE]...\n", 0), 0U);
    EXPECT_EQ(output({"-h"}), output({"--help"}));
    EXPECT_EQ(output({"-V"}).rfind("pagesim (osdemos) ", 0), 0U);
}

TEST(Pagesim, ReadAndWriteFailuresEndWithStatusOne) {
    console::TextInput in({{"1 2 ", 0}, {"", EIO}});
    console::TextOutput out;
    console::TextOutput errors;
    console::Streams streams{in, out, errors, console::Destination::pipe};
    EXPECT_EQ(runPagesim({}, streams), 1);
    EXPECT_EQ(out.text, "");
    EXPECT_EQ(errors.text,
              "pagesim: cannot read standard input: " + std::string(strerror(EIO)) + "\n");

    console::TextInput input("1 2 3");
    console::TextOutput full;
    full.room = 10;
    console::TextOutput fullErrors;
    console::Streams fullStreams{input, full, fullErrors, console::Destination::pipe};
    EXPECT_EQ(runPagesim({}, fullStreams), 1);
    EXPECT_EQ(fullErrors.text,
              "pagesim: cannot write to standard output: " + std::string(strerror(ENOSPC)) + "\n");
}

}  // namespace
}  // namespace pagesim
