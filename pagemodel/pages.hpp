// Pages as words: runs of bytes that are neither white space nor commas. Each distinct word gets a
// small number, in the order first seen, so that replacing a page costs no string work.
#pragma once

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "random.hpp"

namespace pagemodel {

using PageId = std::uint32_t;

class PageNames {
public:
    PageNames();
    // The number of the page with this name, new if the name is new.
    PageId intern(std::string_view name);
    [[nodiscard]] std::string_view name(PageId page) const;
    [[nodiscard]] std::size_t size() const { return ends_.size(); }

private:
    static constexpr PageId none = UINT32_MAX;
    PageId add(std::string_view name, std::uint32_t hash);
    void grow();

    std::string text_;                   // every name, one after another
    std::vector<std::size_t> ends_;      // where each name ends in text_
    std::vector<std::uint32_t> hashes_;  // each name's hash
    std::vector<PageId> table_;          // open addressing by hash; `none` where free
    std::array<PageId, 256> byByte_{};   // the names of one byte, looked up directly
};

inline bool separatesPages(char c) { return c == ',' || c == ' ' || (c >= '\t' && c <= '\r'); }

// Cuts text that arrives in pieces into words; a word may span pieces.
class WordCutter {
public:
    template <typename OnWord>
    void feed(std::string_view piece, OnWord onWord) {
        std::size_t at = 0;
        while (at < piece.size()) {
            std::size_t end = at;
            while (end < piece.size() && !separatesPages(piece[end])) ++end;
            if (end == piece.size()) {
                partial_.append(piece.substr(at));
                return;
            }
            if (!partial_.empty()) {
                partial_.append(piece.substr(at, end - at));
                onWord(std::string_view(partial_));
                partial_.clear();
            } else if (end > at) {
                onWord(piece.substr(at, end - at));
            }
            at = end + 1;
        }
    }

    // The input has ended: the last word, if one was still open.
    template <typename OnWord>
    void finish(OnWord onWord) {
        if (!partial_.empty()) onWord(std::string_view(partial_));
        partial_.clear();
    }

private:
    std::string partial_;
};

// Page numbers in one block that grows with realloc(): the C library can grow a large block by
// remapping it, without copying it or touching its memory again, which a vector cannot ask for.
// Ten million references are 40 MB, and growing a vector to that copied and touched twice as much.
class PageIds {
public:
    PageIds() = default;
    PageIds(std::initializer_list<PageId> pages) { append(pages.begin(), pages.size()); }
    PageIds(const PageIds&) = delete;
    PageIds& operator=(const PageIds&) = delete;
    PageIds(PageIds&& other) noexcept { *this = std::move(other); }
    PageIds& operator=(PageIds&& other) noexcept {
        std::swap(pages_, other.pages_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
        return *this;
    }
    ~PageIds() { std::free(pages_); }

    void add(PageId page) {
        if (size_ == capacity_) makeRoom(1);
        pages_[size_++] = page;
    }
    void append(const PageId* from, std::size_t count) {
        makeRoom(count);
        std::copy(from, from + count, pages_ + size_);
        size_ += count;
    }
    // `size` entries, the new ones not set: for a caller that sets each of them.
    void growTo(std::size_t size) {
        if (size > size_) makeRoom(size - size_);
        size_ = size;
    }

    [[nodiscard]] std::size_t size() const { return size_; }
    [[nodiscard]] bool empty() const { return size_ == 0; }
    PageId& operator[](std::size_t at) { return pages_[at]; }
    const PageId& operator[](std::size_t at) const { return pages_[at]; }
    [[nodiscard]] const PageId* begin() const { return pages_; }
    [[nodiscard]] const PageId* end() const { return pages_ + size_; }
    bool operator==(const PageIds& other) const {
        return std::equal(begin(), end(), other.begin(), other.end());
    }

private:
    void makeRoom(std::size_t more) {
        if (more <= capacity_ - size_) return;
        const std::size_t wanted = std::max({size_ + more, 2 * capacity_, std::size_t{1024}});
        if (wanted > SIZE_MAX / sizeof(PageId)) throw std::bad_alloc();
        void* grown = std::realloc(pages_, wanted * sizeof(PageId));
        if (grown == nullptr) throw std::bad_alloc();
        pages_ = static_cast<PageId*>(grown);
        capacity_ = wanted;
    }

    PageId* pages_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

// A reference string: each reference by its page's number, and the pages' names.
struct References {
    PageIds pages;
    PageNames names;

    void add(std::string_view name) { pages.add(names.intern(name)); }
};

// Draws `count` references from the pages named 0 to maxPage - 1, each as likely, from `seed`,
// and hands each page's name to onWord.
template <typename OnWord>
void drawReferences(std::size_t count, std::uint32_t maxPage, std::uint64_t seed, OnWord onWord) {
    Generator generator(seed);
    std::array<char, 16> digits{};
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t page = generator.below(maxPage);
        char* end = std::to_chars(digits.data(), digits.data() + digits.size(), page).ptr;
        onWord(std::string_view(digits.data(), static_cast<std::size_t>(end - digits.data())));
    }
}

}  // namespace pagemodel
