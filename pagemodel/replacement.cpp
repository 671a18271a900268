#include "replacement.hpp"

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

// Optimal: the victim is the page whose next use is farthest ahead. The next uses are found in
// one backward pass, and the slots kept in a heap by how far ahead their page is needed next.
// A page never used again is farther than any use; among those, the one loaded earliest goes.
class OptPolicy {
public:
    OptPolicy(std::size_t frames, const Problem& problem)
        : frames_(frames, SlotIndex(problem.distinctPages)),
          references_(problem.pages.size()),
          nextUse_(nextUses(problem)),
          distance_(frames, 0),
          loadedAt_(frames, 0),
          heapPlace_(frames, 0) {
        heap_.reserve(frames);
    }

    Fault reference(PageId page, std::size_t position) {
        if (const std::size_t slot = frames_.find(page); slot != notLoaded) {
            distance_[slot] = distanceAfter(position, slot);
            siftUp(heapPlace_[slot]);  // a page's next use only moves farther ahead
            return hitIn(slot);
        }
        if (!frames_.full()) {
            const Fault fault = frames_.fill(page);
            loadedAt_[fault.slot] = position;
            distance_[fault.slot] = distanceAfter(position, fault.slot);
            heapPlace_[fault.slot] = heap_.size();
            heap_.push_back(static_cast<std::uint32_t>(fault.slot));
            siftUp(heap_.size() - 1);
            return fault;
        }
        const std::uint32_t slot = heap_.front();
        const Fault fault = frames_.replace(slot, page);
        loadedAt_[slot] = position;
        distance_[slot] = distanceAfter(position, slot);
        siftDown(0);
        return fault;
    }
    [[nodiscard]] const IndexedFrames& frames() const { return frames_; }

private:
    static constexpr auto never = std::numeric_limits<std::uint32_t>::max();

    static std::vector<std::uint32_t> nextUses(const Problem& problem) {
        const std::vector<PageId>& pages = problem.pages;
        std::vector<std::uint32_t> next(pages.size());
        std::vector<std::uint32_t> seenAt(problem.distinctPages, never);
        for (std::size_t i = pages.size(); i-- > 0;) {
            next[i] = seenAt[pages[i]];
            seenAt[pages[i]] = static_cast<std::uint32_t>(i);
        }
        return next;
    }

    // How far ahead the page in `slot`, referenced at `position`, is needed next: its next
    // position, or for a page never needed again more than any position, the more the earlier
    // it was loaded.
    [[nodiscard]] std::uint64_t distanceAfter(std::size_t position, std::size_t slot) const {
        const std::uint32_t next = nextUse_[position];
        if (next != never) return next;
        return 2 * std::uint64_t{references_} - loadedAt_[slot];
    }

    // The heap holds slots, the one with the farthest next use first.
    [[nodiscard]] bool before(std::size_t a, std::size_t b) const {
        return distance_[heap_[a]] > distance_[heap_[b]];
    }
    void swapPlaces(std::size_t a, std::size_t b) {
        std::swap(heap_[a], heap_[b]);
        heapPlace_[heap_[a]] = a;
        heapPlace_[heap_[b]] = b;
    }
    void siftUp(std::size_t at) {
        while (at > 0 && before(at, (at - 1) / 2)) {
            swapPlaces(at, (at - 1) / 2);
            at = (at - 1) / 2;
        }
    }
    void siftDown(std::size_t at) {
        for (;;) {
            std::size_t first = at;
            const std::size_t left = 2 * at + 1;
            if (left < heap_.size() && before(left, first)) first = left;
            if (left + 1 < heap_.size() && before(left + 1, first)) first = left + 1;
            if (first == at) return;
            swapPlaces(at, first);
            at = first;
        }
    }

    IndexedFrames frames_;
    std::size_t references_;
    std::vector<std::uint32_t> nextUse_;  // for each position, the next with the same page
    std::vector<std::uint64_t> distance_;
    std::vector<std::size_t> loadedAt_;
    std::vector<std::uint32_t> heap_;
    std::vector<std::size_t> heapPlace_;
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
    const std::vector<PageId>& pages;
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

Totals totalsOf(Policy policy, std::size_t frames, const Problem& problem) {
    AnyPolicy any = policyFor(policy, frames, problem);
    return std::visit(
        [&](auto& chosen) {
            Totals totals;
            totals.references = problem.pages.size();
            for (std::size_t p = 0; p < problem.pages.size(); ++p)
                if (!chosen.reference(problem.pages[p], p).hit) ++totals.faults;
            return totals;
        },
        any);
}

}  // namespace pagemodel
