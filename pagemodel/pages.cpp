#include "pages.hpp"

namespace pagemodel {
namespace {

// FNV-1a: short names, as pages are, hash in a few steps.
std::uint32_t hashOf(std::string_view name) {
    std::uint32_t hash = 2166136261U;
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619U;
    }
    return hash;
}

}  // namespace

PageNames::PageNames() : table_(64, none) { byByte_.fill(none); }

std::string_view PageNames::name(PageId page) const {
    const std::size_t start = page == 0 ? 0 : ends_[page - 1];
    return std::string_view(text_).substr(start, ends_[page] - start);
}

PageId PageNames::intern(std::string_view name) {
    if (name.size() == 1) {
        PageId& known = byByte_[static_cast<unsigned char>(name[0])];
        if (known == none) known = add(name, hashOf(name));
        return known;
    }
    const std::uint32_t hash = hashOf(name);
    const std::size_t mask = table_.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        const PageId page = table_[at];
        if (page == none) break;
        if (hashes_[page] == hash && this->name(page) == name) return page;
    }
    return add(name, hash);
}

PageId PageNames::add(std::string_view name, std::uint32_t hash) {
    const auto page = static_cast<PageId>(ends_.size());
    text_.append(name);
    ends_.push_back(text_.size());
    hashes_.push_back(hash);
    if (2 * ends_.size() > table_.size()) grow();
    const std::size_t mask = table_.size() - 1;
    std::size_t at = hash & mask;
    while (table_[at] != none) at = (at + 1) & mask;
    table_[at] = page;
    return page;
}

// Doubles the table and places every name again; the new name is placed by add().
void PageNames::grow() {
    table_.assign(2 * table_.size(), none);
    const std::size_t mask = table_.size() - 1;
    for (PageId page = 0; page + 1 < ends_.size(); ++page) {
        std::size_t at = hashes_[page] & mask;
        while (table_[at] != none) at = (at + 1) & mask;
        table_[at] = page;
    }
}

}  // namespace pagemodel
