#include "replacement.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "random.hpp"
#include "reference_strings.hpp"

namespace pagemodel {
namespace {

const std::string belady = "1 2 3 4 1 2 5 1 2 3 4 5";
const std::string textbook = "7 0 1 2 0 3 0 4 2 3 0 3 2 1 2 0 1 7 0 1";

std::size_t faultsOf(Policy policy, std::size_t frames, const std::string& text,
                     std::uint64_t seed = 0) {
    const References references = referencesOf(text);
    return totalsOf(policy, frames, {references.pages, references.names.size(), seed}).faults;
}

TEST(Replacement, TextbookFaultCounts) {
    struct Case {
        Policy policy;
        std::size_t frames;
        const std::string& pages;
        std::size_t faults;
    };
    const Case cases[] = {
        {Policy::fifo, 3, belady, 9},    {Policy::fifo, 4, belady, 10},
        {Policy::opt, 3, belady, 7},     {Policy::lru, 3, belady, 10},
        {Policy::fifo, 3, textbook, 15}, {Policy::lru, 3, textbook, 12},
        {Policy::opt, 3, textbook, 9},   {Policy::opt, 4, belady, 6},
        {Policy::lru, 4, belady, 8},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(faultsOf(c.policy, c.frames, c.pages), c.faults)
            << titleOf(c.policy) << " with " << c.frames << " frames on " << c.pages;
    }
}

// A step written as the test reads it: '+' for a hit, or the victim ('.' for none), then the
// slots after the step, '_' for a free one.
std::vector<std::string> stepsOf(Policy policy, std::size_t frames, const std::string& text,
                                 std::uint64_t seed = 0) {
    const References references = referencesOf(text);
    Simulation simulation(policy, frames, {references.pages, references.names.size(), seed});
    std::vector<std::string> steps;
    while (!simulation.done()) {
        const Step<PageId> step = simulation.next();
        std::string shown = step.hit        ? "+"
                            : step.replaced ? std::string(references.names.name(step.victim))
                                            : ".";
        shown += ' ';
        for (std::size_t s = 0; s < frames; ++s)
            shown += s < simulation.used()
                         ? std::string(references.names.name(simulation.slots()[s]))
                         : "_";
        steps.push_back(shown);
    }
    return steps;
}

using Steps = std::vector<std::string>;

TEST(Replacement, SlotBySlot) {
    struct Case {
        const char* name;
        Policy policy;
        std::size_t frames;
        const char* pages;
        Steps steps;
    };
    const Case cases[] = {
        {"FIFO replaces the page loaded earliest, whatever its hits",
         Policy::fifo,
         3,
         "a b c a d a e",
         {". a__", ". ab_", ". abc", "+ abc", "a dbc", "b dac", "c dae"}},
        {"LRU replaces the page used least recently",
         Policy::lru,
         3,
         "a b c a d b e",
         {". a__", ". ab_", ". abc", "+ abc", "b adc", "c adb", "a edb"}},
        // After e, neither b nor c is used again: of the two, b was loaded earlier.
        {"OPT: among pages never used again, the one loaded earliest goes",
         Policy::opt,
         3,
         "a b c d a",
         {". a__", ". ab_", ". abc", "b adc", "+ adc"}},
        // At c, b is needed after a; at the last b, neither a nor c is needed again.
        {"OPT replaces the page whose next use is farthest",
         Policy::opt,
         2,
         "a b c a b",
         {". a_", ". ab", "b ac", "+ ac", "a bc"}},
        // Every bit is set when the frames are full: the hand clears all three, comes round
        // to slot 1 and replaces a; the hand is then at slot 2.
        {"Clock sweeps the whole round when every bit is set",
         Policy::clock,
         3,
         "a b c d e",
         {". a__", ". ab_", ". abc", "a dbc", "b dec"}},
        // b's hit sets its bit again after the sweep cleared it: c goes instead.
        {"Clock gives a hit page a second chance",
         Policy::clock,
         3,
         "a b c d b e",
         {". a__", ". ab_", ". abc", "a dbc", "+ dbc", "c dbe"}},
        {"One frame: every new page replaces the last",
         Policy::lru,
         1,
         "a a b a",
         {". a", "+ a", "a b", "b a"}},
    };
    for (const Case& c : cases) EXPECT_EQ(stepsOf(c.policy, c.frames, c.pages), c.steps) << c.name;
}

TEST(Replacement, RandomVictimsFollowTheSeed) {
    const std::string pages = "1 2 3 4 5 6 7 8 9 1 2 3 4 5 6 7 8 9";
    EXPECT_EQ(stepsOf(Policy::random, 3, pages, 7), stepsOf(Policy::random, 3, pages, 7));
    EXPECT_NE(stepsOf(Policy::random, 3, pages, 7), stepsOf(Policy::random, 3, pages, 8));
    // The generator's first numbers, which a seed must give on every platform.
    Generator generator(0);
    EXPECT_EQ(generator.next(), 0xe220a8397b1dcdafU);
    EXPECT_EQ(generator.next(), 0x6e789e6aa1b965f4U);
}

// Properties over random reference strings, against a plain model that scans the slots.
TEST(Replacement, PropertiesOnRandomStrings) {
    for (std::uint64_t seed = 0; seed < 200; ++seed) {
        Generator draw(seed);
        const auto count = static_cast<std::size_t>(draw.below(60));
        const auto pagesDrawnFrom = static_cast<std::uint32_t>(1 + draw.below(16));
        const References references = randomReferences(count, pagesDrawnFrom, seed);
        const Problem problem{references.pages, references.names.size(), seed};
        for (std::size_t frames = 1; frames <= 12; ++frames) {  // OPT counts differently beyond 8
            const std::size_t opt = totalsOf(Policy::opt, frames, problem).faults;
            for (const auto& known : policies) {
                EXPECT_LE(opt, totalsOf(known.policy, frames, problem).faults)
                    << "OPT against " << known.title << ", seed " << seed;
            }
            for (const Policy stack : {Policy::lru, Policy::opt}) {
                EXPECT_LE(totalsOf(stack, frames + 1, problem).faults,
                          totalsOf(stack, frames, problem).faults)
                    << titleOf(stack) << " with more frames, seed " << seed;
            }
            for (const auto& known : policies) {
                Simulation simulation(known.policy, frames, problem);
                std::size_t faults = 0;
                for (std::size_t p = 0; p < count; ++p) {
                    const bool full = simulation.used() == frames;
                    const Step<PageId> step = simulation.next();
                    const std::vector<PageId>& slots = simulation.slots();
                    const auto end = slots.begin() + static_cast<long>(simulation.used());
                    // The page referenced is in its slot afterwards, hit or fault, and only once.
                    ASSERT_EQ(slots[step.slot], references.pages[p]);
                    ASSERT_EQ(std::count(slots.begin(), end, references.pages[p]), 1);
                    ASSERT_EQ(step.replaced, !step.hit && full);
                    if (!step.hit) ++faults;
                }
                // OPT's totals come from its next uses alone, without the steps.
                EXPECT_EQ(totalsOf(known.policy, frames, problem).faults, faults)
                    << known.title << ", seed " << seed;
            }
        }
    }
}

TEST(Replacement, PolicyNames) {
    for (const auto& known : policies) EXPECT_EQ(policyNamed(known.name), known.policy);
    EXPECT_EQ(policyNamed("FIFO"), std::nullopt);
    EXPECT_EQ(policyNamed(""), std::nullopt);
}

}  // namespace
}  // namespace pagemodel
