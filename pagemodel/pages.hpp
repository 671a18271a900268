// Pages as words: runs of bytes that are neither white space nor commas. Each distinct word gets a
// small number, in the order first seen, so that replacing a page costs no string work.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// A reference string: each reference by its page's number, and the pages' names.
struct References {
    std::vector<PageId> pages;
    PageNames names;

    void add(std::string_view name) { pages.push_back(names.intern(name)); }
};

// Every word of `text` as a reference, in order.
References referencesOf(std::string_view text);

// `count` references drawn from the pages named 0 to maxPage - 1, each as likely, from `seed`.
References randomReferences(std::size_t count, std::uint32_t maxPage, std::uint64_t seed);

}  // namespace pagemodel
