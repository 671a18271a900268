// Page frames as numbered slots, and first-in-first-out replacement over them. Written once for
// every page type: pagefifo runs it on byte pages over three frames, pagesim on interned pages
// over any number of frames.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

namespace pagemodel {

// The slot of a page that no frame holds.
inline constexpr std::size_t notLoaded = std::numeric_limits<std::size_t>::max();

// What one reference did: a hit on the page in `slot`, or a fault that loaded the page into
// `slot`, replacing `victim` when every slot was taken.
template <typename Page>
struct Step {
    bool hit;
    std::size_t slot;
    bool replaced;
    Page victim;
};

// Finds a page by looking at every slot: the cheapest way for a few frames.
template <typename Page>
class SlotSearch {
public:
    std::size_t find(const Page* slots, std::size_t used, Page page) const {
        const Page* found = std::find(slots, slots + used, page);
        return found == slots + used ? notLoaded : static_cast<std::size_t>(found - slots);
    }
    void loaded(Page /*page*/, std::size_t /*slot*/) {}
    void evicted(Page /*page*/) {}
};

// Finds a page by its number in one look, whatever the number of frames. Numbers beyond those
// known so far are pages never loaded: the index grows as they come in.
class SlotIndex {
public:
    explicit SlotIndex(std::size_t distinctPages) : slotOf_(distinctPages, notLoaded) {}
    std::size_t find(const std::uint32_t* /*slots*/, std::size_t /*used*/,
                     std::uint32_t page) const {
        return page < slotOf_.size() ? slotOf_[page] : notLoaded;
    }
    void loaded(std::uint32_t page, std::size_t slot) {
        if (page >= slotOf_.size())
            slotOf_.resize(std::max<std::size_t>(page + 1, 2 * slotOf_.size()), notLoaded);
        slotOf_[page] = slot;
    }
    void evicted(std::uint32_t page) { slotOf_[page] = notLoaded; }

private:
    std::vector<std::size_t> slotOf_;
};

// Slots 0 to count - 1. A page that comes in takes the lowest free slot; once all are taken it
// takes the slot of the page it replaces. Slots never move and never empty again, so the first
// used() of them hold pages.
template <typename Page, typename Where>
class Frames {
public:
    Frames(std::size_t count, Where where) : slots_(count), where_(std::move(where)) {}

    [[nodiscard]] std::size_t find(Page page) const {
        return where_.find(slots_.data(), used_, page);
    }
    [[nodiscard]] bool full() const { return used_ == slots_.size(); }
    [[nodiscard]] std::size_t count() const { return slots_.size(); }
    [[nodiscard]] std::size_t used() const { return used_; }
    [[nodiscard]] const std::vector<Page>& slots() const { return slots_; }

    // Puts the page in the lowest free slot, which must exist.
    Step<Page> fill(Page page) {
        const std::size_t slot = used_++;
        slots_[slot] = page;
        where_.loaded(page, slot);
        return {false, slot, false, Page{}};
    }

    Step<Page> replace(std::size_t slot, Page page) {
        const Page victim = slots_[slot];
        where_.evicted(victim);
        slots_[slot] = page;
        where_.loaded(page, slot);
        return {false, slot, true, victim};
    }

private:
    std::vector<Page> slots_;
    std::size_t used_ = 0;
    Where where_;
};

// First in, first out. Slots fill 0, 1, ..., count - 1, and each fault after that replaces the
// slot after the one replaced last: that slot always holds the page loaded earliest. So one hand
// that moves on at every fault, wrapping, names the slot of every fault.
template <typename Page, typename Where>
class Fifo {
public:
    Fifo(std::size_t frames, Where where) : frames_(frames, std::move(where)) {}

    Step<Page> reference(Page page) {
        if (const std::size_t slot = frames_.find(page); slot != notLoaded)
            return {true, slot, false, Page{}};
        const std::size_t slot = hand_;
        hand_ = hand_ + 1 == frames_.count() ? 0 : hand_ + 1;
        return frames_.full() ? frames_.replace(slot, page) : frames_.fill(page);
    }

    [[nodiscard]] const Frames<Page, Where>& frames() const { return frames_; }

private:
    Frames<Page, Where> frames_;
    std::size_t hand_ = 0;
};

}  // namespace pagemodel
