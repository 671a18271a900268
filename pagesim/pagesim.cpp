#include "pagesim.hpp"

#include <limits>
#include <new>
#include <string_view>

#include "options.hpp"
#include "pages.hpp"
#include "report.hpp"

namespace pagesim {
namespace {

constexpr std::string_view helpText =
    "Usage: pagesim [OPTION]... [PAGE]...\n"
    "Replay a reference string against page frames with one or more replacement policies,\n"
    "and show every reference (hit or fault, the victim, the frames after it) and the totals.\n"
    "\n"
    "The references are the PAGE arguments, or with none, standard input to its end; a page\n"
    "is a word, and white space and commas separate them (pagesim 7,0,1 2).\n"
    "\n"
    "  -p, --policy=LIST     fifo (the default), lru, opt, clock, random, a comma list, or all\n"
    "  -f, --frames=K        K frames, from 1 to 65536 (default 3)\n"
    "      --compare[=A-B]   faults and hits of each policy for every frame count from A to B\n"
    "                        (default 1-7), instead of a trace\n"
    "      --totals          only the totals of each policy\n"
    "      --quiz            the problem and an empty trace to fill in; the same command\n"
    "                        without --quiz gives the answer\n"
    "      --csv             output as CSV, with a header line\n"
    "  -r, --random=N        N references drawn from the pages 0 to M-1, instead of PAGEs\n"
    "  -m, --max-page=M      pages drawn from 0 to M-1 (default 10)\n"
    "  -s, --seed=S          the seed of the drawn references and of the random policy\n"
    "                        (default 0): the same seed gives the same problem everywhere\n"
    "  -h, --help            show this help and exit\n"
    "  -V, --version         show the version and exit\n"
    "\n"
    "Exit status: 0 if all went well, 1 if input or output failed, 2 for a wrong command line.\n";

// References are numbered in 32 bits.
constexpr std::size_t mostReferences = std::numeric_limits<std::uint32_t>::max() - 1;

void readReferences(console::Console& console, pagemodel::References& references) {
    pagemodel::WordCutter cutter;
    const auto add = [&](std::string_view word) { references.add(word); };
    for (std::string_view piece = console.readAvailable(); !piece.empty();
         piece = console.readAvailable()) {
        cutter.feed(piece, add);
        if (references.pages.size() > mostReferences) {
            console.fail("too many references");
            return;
        }
    }
    cutter.finish(add);
}

pagemodel::References referencesFor(console::Console& console, const Options& options) {
    if (options.random)
        return pagemodel::randomReferences(options.randomCount, options.maxPage, options.seed);
    pagemodel::References references;
    if (options.pages.empty()) {
        readReferences(console, references);
        return references;
    }
    pagemodel::WordCutter cutter;
    const auto add = [&](std::string_view word) { references.add(word); };
    for (const std::string& argument : options.pages) {
        cutter.feed(argument, add);
        cutter.finish(add);
    }
    return references;
}

void simulate(console::Console& console, const Options& options) {
    const pagemodel::References references = referencesFor(console, options);
    if (console.failed()) return;
    switch (options.show) {
        case Show::trace:
        case Show::quiz: showTrace(console, options, references); break;
        case Show::totals: showTotals(console, options, references); break;
        case Show::compare: showComparison(console, options, references); break;
    }
}

int usageError(const std::string& error, console::ByteOutput& errors) {
    const std::string text = "pagesim: " + error + "\nTry 'pagesim --help' for more information.\n";
    console::writeAll(errors, text.data(), text.size());
    return 2;
}

}  // namespace

int runPagesim(const std::vector<std::string>& arguments, console::Streams& streams) {
    const CommandLine line = parseCommandLine(arguments);
    if (line.request == Request::usageError) return usageError(line.error, streams.errors);
    console::Console console(streams.in, streams.out, streams.destination);
    switch (line.request) {
        case Request::help: console.write(helpText); break;
        case Request::version: console.write("pagesim (osdemos) " OSDEMOS_VERSION "\n"); break;
        default: try { simulate(console, line.options);
            } catch (const std::bad_alloc&) {
                console.fail("not enough memory for the references");
            }
    }
    return console::finish(console, "pagesim", streams.errors);
}

}  // namespace pagesim
