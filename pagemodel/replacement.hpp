// The replacement policies over k frames, one reference at a time: FIFO, LRU, OPT, Clock and
// Random, each step telling hit or fault, the victim and the slots after it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "frames.hpp"
#include "pages.hpp"

namespace pagemodel {

enum class Policy { fifo, lru, opt, clock, random };

struct PolicyNames {
    Policy policy;
    std::string_view name;   // as typed on a command line and written in CSV
    std::string_view title;  // as shown to a person
};

inline constexpr std::array<PolicyNames, 5> policies{{
    {Policy::fifo, "fifo", "FIFO"},
    {Policy::lru, "lru", "LRU"},
    {Policy::opt, "opt", "OPT"},
    {Policy::clock, "clock", "Clock"},
    {Policy::random, "random", "Random"},
}};

std::optional<Policy> policyNamed(std::string_view name);
std::string_view nameOf(Policy policy);
std::string_view titleOf(Policy policy);

inline constexpr std::size_t minFrames = 1;
inline constexpr std::size_t maxFrames = 65536;

// What a run of a policy needs besides its frame count. Random draws its victims from a
// generator started at the bitwise complement of the seed, so that they do not follow the draws
// of a random reference string made from the same seed.
struct Problem {
    const PageIds& pages;
    std::size_t distinctPages;
    std::uint64_t seed = 0;
};

// One policy replaying a reference string, a reference at a time.
class Simulation {
public:
    Simulation(Policy policy, std::size_t frames, const Problem& problem);
    Simulation(Simulation&& other) noexcept;
    Simulation& operator=(Simulation&& other) noexcept;
    ~Simulation();

    [[nodiscard]] bool done() const;
    // Replays the next reference; only while not done().
    Step<PageId> next();
    // The slots after the last step: the first used() of them hold pages.
    [[nodiscard]] const std::vector<PageId>& slots() const;
    [[nodiscard]] std::size_t used() const;

    struct Replay;

private:
    std::unique_ptr<Replay> replay_;
};

struct Totals {
    std::size_t references = 0;
    std::size_t faults = 0;
    [[nodiscard]] std::size_t hits() const { return references - faults; }
};

// The totals of a whole replay, without keeping the steps.
Totals totalsOf(Policy policy, std::size_t frames, const Problem& problem);

// Whether a policy looks ahead (OPT): it needs the whole reference string before its first step.
inline bool looksAhead(Policy policy) { return policy == Policy::opt; }

// What follows a page's last reference: it is not used again.
inline constexpr PageId noNextUse = UINT32_MAX;

// Turns the pages of a reference string into their next uses, in place: for each position, the
// next position that references the same page, or noNextUse.
void makeNextUses(PageIds& pages, std::size_t distinctPages);

// OPT's totals from the next uses of a reference string alone.
Totals optTotalsOf(std::size_t frames, const PageIds& nextUses);

// The totals of a policy that does not look ahead, counted as the references arrive, a batch at
// a time, so that they need not be stored.
class Tally {
public:
    Tally(Policy policy, std::size_t frames, std::uint64_t seed);
    Tally(Tally&& other) noexcept;
    Tally& operator=(Tally&& other) noexcept;
    ~Tally();

    void add(const PageId* pages, std::size_t count);
    [[nodiscard]] Totals totals() const;

    struct Counting;

private:
    std::unique_ptr<Counting> counting_;
};

}  // namespace pagemodel
