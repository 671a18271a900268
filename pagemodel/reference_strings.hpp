// Reference strings made whole, for tests: the programs read theirs in batches instead, so these
// are inline here and no program carries them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "pages.hpp"

namespace pagemodel {

// Every word of `text` as a reference, in order.
inline References referencesOf(std::string_view text) {
    References references;
    WordCutter cutter;
    const auto add = [&](std::string_view word) { references.add(word); };
    cutter.feed(text, add);
    cutter.finish(add);
    return references;
}

// `count` references drawn as drawReferences() draws them.
inline References randomReferences(std::size_t count, std::uint32_t maxPage, std::uint64_t seed) {
    References references;
    drawReferences(count, maxPage, seed, [&](std::string_view word) { references.add(word); });
    return references;
}

}  // namespace pagemodel
