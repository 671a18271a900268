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
// References are handed on in batches of this many, each page by its number.
constexpr std::size_t batchSize = std::size_t{1} << 16;

using pagemodel::PageId;

// Every reference, from the PAGE arguments, the generator or standard input to its end, into
// `into`: its pages' names numbered in into.names and the numbers added to into.pages. Each
// batch of them is handed to onBatch(first, count) as it is complete; unless `keep`, it is then
// dropped.
template <typename OnBatch>
void readReferences(console::Console& console, const Options& options, pagemodel::References& into,
                    bool keep, OnBatch onBatch) {
    std::size_t batchStart = 0;
    std::size_t count = 0;
    const auto handOn = [&] {
        const std::size_t size = into.pages.size() - batchStart;
        count += size;
        if (count > mostReferences) console.fail("too many references");
        if (size > 0 && !console.failed()) onBatch(into.pages.begin() + batchStart, size);
        if (keep)
            batchStart = into.pages.size();
        else
            into.pages.growTo(0);
    };
    const auto add = [&](std::string_view word) {
        into.pages.add(into.names.intern(word));
        if (into.pages.size() - batchStart == batchSize) handOn();
    };
    pagemodel::WordCutter cutter;
    if (options.random) {
        pagemodel::drawReferences(options.randomCount, options.maxPage, options.seed, add);
    } else if (!options.pages.empty()) {
        for (const std::string& argument : options.pages) {
            cutter.feed(argument, add);
            cutter.finish(add);
        }
    } else {
        for (std::string_view piece = console.readAvailable(); !piece.empty();
             piece = console.readAvailable())
            cutter.feed(piece, add);
        cutter.finish(add);
    }
    handOn();
}

pagemodel::References allReferences(console::Console& console, const Options& options) {
    pagemodel::References references;
    readReferences(console, options, references, true, [](const PageId*, std::size_t) {});
    return references;
}

// The policies that do not look ahead count the references as they arrive, so that these need
// not be stored; only OPT's are kept.
std::vector<Outcome> totalsOfEachPolicy(console::Console& console, const Options& options) {
    std::vector<pagemodel::Tally> tallies;
    bool keep = false;
    for (const pagemodel::Policy policy : options.policies) {
        if (pagemodel::looksAhead(policy))
            keep = true;
        else
            tallies.emplace_back(policy, options.frames, options.seed);
    }
    pagemodel::References kept;
    readReferences(console, options, kept, keep, [&](const PageId* pages, std::size_t count) {
        for (pagemodel::Tally& tally : tallies) tally.add(pages, count);
    });
    // OPT reads the references as their next uses, made in place.
    if (keep) pagemodel::makeNextUses(kept.pages, kept.names.size());
    std::vector<Outcome> outcomes;
    std::size_t tallied = 0;
    for (const pagemodel::Policy policy : options.policies) {
        const pagemodel::Totals totals = pagemodel::looksAhead(policy)
                                             ? pagemodel::optTotalsOf(options.frames, kept.pages)
                                             : tallies[tallied++].totals();
        outcomes.push_back({policy, options.frames, totals});
    }
    return outcomes;
}

// By policy, then by frames.
std::vector<Outcome> comparison(const Options& options, const pagemodel::References& references) {
    std::vector<Outcome> outcomes;
    const pagemodel::Problem problem{references.pages, references.names.size(), options.seed};
    pagemodel::PageIds nextUses;
    for (const pagemodel::Policy policy : options.policies) {
        if (pagemodel::looksAhead(policy) && nextUses.empty()) {
            nextUses.append(references.pages.begin(), references.pages.size());
            pagemodel::makeNextUses(nextUses, references.names.size());
        }
        for (std::size_t frames = options.fewestFrames; frames <= options.mostFrames; ++frames) {
            const pagemodel::Totals totals = pagemodel::looksAhead(policy)
                                                 ? pagemodel::optTotalsOf(frames, nextUses)
                                                 : pagemodel::totalsOf(policy, frames, problem);
            outcomes.push_back({policy, frames, totals});
        }
    }
    return outcomes;
}

void simulate(console::Console& console, const Options& options) {
    if (options.show == Show::totals) {
        const std::vector<Outcome> outcomes = totalsOfEachPolicy(console, options);
        if (!console.failed()) showTotals(console, options, outcomes);
        return;
    }
    const pagemodel::References references = allReferences(console, options);
    if (console.failed()) return;
    if (options.show == Show::compare)
        showComparison(console, options, comparison(options, references));
    else
        showTrace(console, options, references);
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
