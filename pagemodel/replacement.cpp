#include "replacement.hpp"

#include <algorithm>
#include <functional>
#include <limits>
#include <utility>
#include <variant>

#include "random.hpp"

namespace pagemodel {
namespace {

using IndexedFrames = Frames<PageId, SlotIndex>;
using Fault = Step<PageId>;

constexpr auto noSlot = std::numeric_limits<std::uint32_t>::max();

Fault hitIn(std::size_t slot) { return {true, slot, false, PageId{}}; }

class FifoPolicy {
public:
    FifoPolicy(std::size_t frames, const Problem& problem)
        : fifo_(frames, SlotIndex(problem.distinctPages)) {}
    Fault reference(PageId page, std::size_t /*position*/) { return fifo_.reference(page); }
    [[nodiscard]] const IndexedFrames& frames() const { return fifo_.frames(); }

private:
    Fifo<PageId, SlotIndex> fifo_;
};

// Least recently used: the slots in a list from the least to the most recently used one; a
// reference moves its slot to the end, and a fault replaces the page at the front.
class LruPolicy {
public:
    LruPolicy(std::size_t frames, const Problem& problem)
        : frames_(frames, SlotIndex(problem.distinctPages)),
          older_(frames, noSlot),
          newer_(frames, noSlot) {}

    Fault reference(PageId page, std::size_t /*position*/) {
        if (const std::size_t slot = frames_.find(page); slot != notLoaded) {
            makeNewest(static_cast<std::uint32_t>(slot));
            return hitIn(slot);
        }
        if (!frames_.full()) {
            const Fault fault = frames_.fill(page);
            append(static_cast<std::uint32_t>(fault.slot));
            return fault;
        }
        const std::uint32_t slot = oldest_;
        makeNewest(slot);
        return frames_.replace(slot, page);
    }
    [[nodiscard]] const IndexedFrames& frames() const { return frames_; }

private:
    void append(std::uint32_t slot) {
        older_[slot] = newest_;
        newer_[slot] = noSlot;
        if (newest_ != noSlot) newer_[newest_] = slot;
        newest_ = slot;
        if (oldest_ == noSlot) oldest_ = slot;
    }

    void makeNewest(std::uint32_t slot) {
        if (slot == newest_) return;
        const std::uint32_t before = older_[slot];
        const std::uint32_t after = newer_[slot];  // not noSlot: slot is not the newest
        if (before != noSlot)
            newer_[before] = after;
        else
            oldest_ = after;
        older_[after] = before;
        append(slot);
    }

    IndexedFrames frames_;
    std::vector<std::uint32_t> older_;
    std::vector<std::uint32_t> newer_;
    std::uint32_t oldest_ = noSlot;
    std::uint32_t newest_ = noSlot;
};

// Slots ordered by their keys (kept by the caller and passed in), the slot whose key comes first
// by `First` on top; a slot's key may change, and update() puts it back in order.
template <typename First>
class SlotHeap {
public:
    explicit SlotHeap(std::size_t slots) : place_(slots, 0) { heap_.reserve(slots); }

    [[nodiscard]] std::uint32_t top() const { return heap_.front(); }
    void insert(std::size_t slot, const std::vector<std::uint64_t>& keys) {
        place_[slot] = heap_.size();
        heap_.push_back(static_cast<std::uint32_t>(slot));
        siftUp(heap_.size() - 1, keys);
    }
    void update(std::size_t slot, const std::vector<std::uint64_t>& keys) {
        siftUp(place_[slot], keys);
        siftDown(place_[slot], keys);
    }
    // The slot's key has grown: it can only move one way, half the work of update().
    void grew(std::size_t slot, const std::vector<std::uint64_t>& keys) {
        if (First()(std::uint64_t{1}, std::uint64_t{0}))
            siftUp(place_[slot], keys);
        else
            siftDown(place_[slot], keys);
    }

private:
    [[nodiscard]] bool before(std::size_t a, std::size_t b,
                              const std::vector<std::uint64_t>& keys) const {
        return First()(keys[heap_[a]], keys[heap_[b]]);
    }
    void swapPlaces(std::size_t a, std::size_t b) {
        std::swap(heap_[a], heap_[b]);
        place_[heap_[a]] = a;
        place_[heap_[b]] = b;
    }
    void siftUp(std::size_t at, const std::vector<std::uint64_t>& keys) {
        while (at > 0 && before(at, (at - 1) / 2, keys)) {
            swapPlaces(at, (at - 1) / 2);
            at = (at - 1) / 2;
        }
    }
    void siftDown(std::size_t at, const std::vector<std::uint64_t>& keys) {
        for (;;) {
            std::size_t first = at;
            const std::size_t left = 2 * at + 1;
            if (left < heap_.size() && before(left, first, keys)) first = left;
            if (left + 1 < heap_.size() && before(left + 1, first, keys)) first = left + 1;
            if (first == at) return;
            swapPlaces(at, first);
            at = first;
        }
    }

    std::vector<std::uint32_t> heap_;
    std::vector<std::size_t> place_;
};

// How far ahead OPT sees the page loaded into a slot at `loadedAt` and referenced at a position
// whose next use is `next`: that next position, or for a page never needed again more than any
// position, the more the earlier it was loaded. No two slots are ever as far.
std::uint64_t distanceOf(std::uint32_t next, std::size_t loadedAt, std::size_t references) {
    if (next != noNextUse) return next;
    return 2 * std::uint64_t{references} - loadedAt;
}

// Optimal: the victim is the page whose next use is farthest ahead. The next uses are found in
// one backward pass, and the slots kept in a heap by how far ahead their page is needed next.
// A page never used again is farther than any use; among those, the one loaded earliest goes.
class OptPolicy {
public:
    OptPolicy(std::size_t frames, const Problem& problem)
        : frames_(frames, SlotIndex(problem.distinctPages)),
          references_(problem.pages.size()),
          distance_(frames, 0),
          loadedAt_(frames, 0),
          farthest_(frames) {
        nextUse_.append(problem.pages.begin(), problem.pages.size());
        makeNextUses(nextUse_, problem.distinctPages);
    }

    Fault reference(PageId page, std::size_t position) {
        if (const std::size_t slot = frames_.find(page); slot != notLoaded) {
            distance_[slot] = distanceOf(nextUse_[position], loadedAt_[slot], references_);
            farthest_.grew(slot, distance_);  // a page's next use only moves farther ahead
            return hitIn(slot);
        }
        const Fault fault =
            frames_.full() ? frames_.replace(farthest_.top(), page) : frames_.fill(page);
        loadedAt_[fault.slot] = position;
        distance_[fault.slot] = distanceOf(nextUse_[position], position, references_);
        if (fault.replaced)
            farthest_.update(fault.slot, distance_);
        else
            farthest_.insert(fault.slot, distance_);
        return fault;
    }
    [[nodiscard]] const IndexedFrames& frames() const { return frames_; }

private:
    IndexedFrames frames_;
    std::size_t references_;
    PageIds nextUse_;  // for each position, the next with the same page
    std::vector<std::uint64_t> distance_;
    std::vector<std::size_t> loadedAt_;
    SlotHeap<std::greater<>> farthest_;
};

// Clock, or second chance: a use bit per slot, set when its page is loaded and at each hit. At a
// fault with every slot taken the hand clears set bits as it passes them, and the first slot
// whose bit is clear is replaced; the hand then moves on one. Free slots are filled without
// moving the hand.
class ClockPolicy {
public:
    ClockPolicy(std::size_t frames, const Problem& problem)
        : frames_(frames, SlotIndex(problem.distinctPages)), used_(frames, 0) {}

    Fault reference(PageId page, std::size_t /*position*/) {
        if (const std::size_t slot = frames_.find(page); slot != notLoaded) {
            used_[slot] = 1;
            return hitIn(slot);
        }
        if (!frames_.full()) {
            const Fault fault = frames_.fill(page);
            used_[fault.slot] = 1;
            return fault;
        }
        while (used_[hand_] != 0) {
            used_[hand_] = 0;
            moveHand();
        }
        const Fault fault = frames_.replace(hand_, page);
        used_[hand_] = 1;
        moveHand();
        return fault;
    }
    [[nodiscard]] const IndexedFrames& frames() const { return frames_; }

private:
    void moveHand() { hand_ = hand_ + 1 == frames_.count() ? 0 : hand_ + 1; }

    IndexedFrames frames_;
    std::vector<std::uint8_t> used_;  // a byte a slot: faster than packed bits
    std::size_t hand_ = 0;
};

class RandomPolicy {
public:
    RandomPolicy(std::size_t frames, const Problem& problem)
        : frames_(frames, SlotIndex(problem.distinctPages)), generator_(~problem.seed) {}

    Fault reference(PageId page, std::size_t /*position*/) {
        if (const std::size_t slot = frames_.find(page); slot != notLoaded) return hitIn(slot);
        if (!frames_.full()) return frames_.fill(page);
        return frames_.replace(static_cast<std::size_t>(generator_.below(frames_.count())), page);
    }
    [[nodiscard]] const IndexedFrames& frames() const { return frames_; }

private:
    IndexedFrames frames_;
    Generator generator_;
};

using AnyPolicy = std::variant<FifoPolicy, LruPolicy, OptPolicy, ClockPolicy, RandomPolicy>;

AnyPolicy policyFor(Policy policy, std::size_t frames, const Problem& problem) {
    switch (policy) {
        case Policy::fifo: return FifoPolicy(frames, problem);
        case Policy::lru: return LruPolicy(frames, problem);
        case Policy::opt: return OptPolicy(frames, problem);
        case Policy::clock: return ClockPolicy(frames, problem);
        case Policy::random: break;
    }
    return RandomPolicy(frames, problem);
}

}  // namespace

std::optional<Policy> policyNamed(std::string_view name) {
    for (const PolicyNames& known : policies)
        if (known.name == name) return known.policy;
    return std::nullopt;
}

std::string_view nameOf(Policy policy) { return policies[static_cast<std::size_t>(policy)].name; }

std::string_view titleOf(Policy policy) { return policies[static_cast<std::size_t>(policy)].title; }

struct Simulation::Replay {
    AnyPolicy policy;
    const PageIds& pages;
    std::size_t position = 0;
};

Simulation::Simulation(Policy policy, std::size_t frames, const Problem& problem)
    : replay_(std::make_unique<Replay>(Replay{policyFor(policy, frames, problem), problem.pages})) {
}
Simulation::Simulation(Simulation&&) noexcept = default;
Simulation& Simulation::operator=(Simulation&&) noexcept = default;
Simulation::~Simulation() = default;

bool Simulation::done() const { return replay_->position == replay_->pages.size(); }

Step<PageId> Simulation::next() {
    const std::size_t position = replay_->position++;
    return std::visit(
        [&](auto& policy) { return policy.reference(replay_->pages[position], position); },
        replay_->policy);
}

const std::vector<PageId>& Simulation::slots() const {
    return std::visit(
        [](const auto& policy) -> const std::vector<PageId>& { return policy.frames().slots(); },
        replay_->policy);
}

std::size_t Simulation::used() const {
    return std::visit([](const auto& policy) { return policy.frames().used(); }, replay_->policy);
}

namespace {

// Replays `count` pages as the references from `first` on, and adds them to the totals.
void replay(AnyPolicy& any, const PageId* pages, std::size_t count, std::size_t first,
            Totals& totals) {
    std::visit(
        [&](auto& chosen) {
            std::size_t faults = 0;
            for (std::size_t p = 0; p < count; ++p)
                if (!chosen.reference(pages[p], first + p).hit) ++faults;
            totals.references += count;
            totals.faults += faults;
        },
        any);
}

}  // namespace

void makeNextUses(PageIds& pages, std::size_t distinctPages) {
    std::vector<std::uint32_t> seenAt(distinctPages, noNextUse);
    for (std::size_t i = pages.size(); i-- > 0;) {
        const PageId page = pages[i];
        pages[i] = seenAt[page];
        seenAt[page] = static_cast<std::uint32_t>(i);
    }
}

namespace {

// For a few frames a look at every slot costs less than keeping two heaps in order.
constexpr std::size_t fewFrames = 8;

Totals optTotalsOverFewFrames(std::size_t frames, const PageIds& nextUses) {
    const std::size_t references = nextUses.size();
    std::array<std::uint64_t, fewFrames> distance{};
    std::array<std::size_t, fewFrames> loadedAt{};
    std::size_t used = 0;
    Totals totals;
    totals.references = references;
    for (std::size_t p = 0; p < references; ++p) {
        std::size_t slot = 0;
        while (slot < used && distance[slot] != p) ++slot;
        if (slot == used) {
            ++totals.faults;
            if (used < frames) {
                ++used;
            } else {
                slot = static_cast<std::size_t>(
                    std::max_element(distance.begin(), distance.begin() + static_cast<long>(used)) -
                    distance.begin());
            }
            loadedAt[slot] = p;
        }
        distance[slot] = distanceOf(nextUses[p], loadedAt[slot], references);
    }
    return totals;
}

}  // namespace

// The page referenced at a position is in a slot exactly when that slot's page is next needed
// there, and then that is the nearest next use of all the slots: so no page is looked up.
Totals optTotalsOf(std::size_t frames, const PageIds& nextUses) {
    if (frames <= fewFrames) return optTotalsOverFewFrames(frames, nextUses);
    const std::size_t references = nextUses.size();
    std::vector<std::uint64_t> distance(frames, 0);
    std::vector<std::size_t> loadedAt(frames, 0);
    SlotHeap<std::greater<>> farthest(frames);
    SlotHeap<std::less<>> nearest(frames);
    std::size_t used = 0;
    Totals totals;
    totals.references = references;
    for (std::size_t p = 0; p < references; ++p) {
        if (used > 0 && distance[nearest.top()] == p) {
            const std::size_t slot = nearest.top();
            distance[slot] = distanceOf(nextUses[p], loadedAt[slot], references);
            farthest.grew(slot, distance);
            nearest.grew(slot, distance);
            continue;
        }
        ++totals.faults;
        const bool full = used == frames;
        const std::size_t slot = full ? farthest.top() : used++;
        loadedAt[slot] = p;
        distance[slot] = distanceOf(nextUses[p], p, references);
        if (full) {
            farthest.update(slot, distance);
            nearest.update(slot, distance);
        } else {
            farthest.insert(slot, distance);
            nearest.insert(slot, distance);
        }
    }
    return totals;
}

Totals totalsOf(Policy policy, std::size_t frames, const Problem& problem) {
    if (looksAhead(policy)) {
        PageIds nextUses;
        nextUses.append(problem.pages.begin(), problem.pages.size());
        makeNextUses(nextUses, problem.distinctPages);
        return optTotalsOf(frames, nextUses);
    }
    AnyPolicy any = policyFor(policy, frames, problem);
    Totals totals;
    replay(any, problem.pages.begin(), problem.pages.size(), 0, totals);
    return totals;
}

struct Tally::Counting {
    AnyPolicy policy;
    Totals totals;
};

namespace {

// What a policy that does not look ahead is given of the reference string: nothing but the seed.
const PageIds noPages;

}  // namespace

Tally::Tally(Policy policy, std::size_t frames, std::uint64_t seed)
    : counting_(std::make_unique<Counting>(
          Counting{policyFor(policy, frames, Problem{noPages, 0, seed}), Totals{}})) {}
Tally::Tally(Tally&& other) noexcept = default;
Tally& Tally::operator=(Tally&& other) noexcept = default;
Tally::~Tally() = default;

void Tally::add(const PageId* pages, std::size_t count) {
    replay(counting_->policy, pages, count, counting_->totals.references, counting_->totals);
}

Totals Tally::totals() const { return counting_->totals; }

}  // namespace pagemodel
