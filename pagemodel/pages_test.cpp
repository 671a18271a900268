#include "pages.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reference_strings.hpp"

namespace pagemodel {
namespace {

std::vector<std::string> wordsOf(const References& references) {
    std::vector<std::string> words;
    for (const PageId page : references.pages) words.emplace_back(references.names.name(page));
    return words;
}

TEST(Pages, WordsAreSeparatedByBlanksAndCommas) {
    using Words = std::vector<std::string>;
    EXPECT_EQ(wordsOf(referencesOf("7,0,1 2")), (Words{"7", "0", "1", "2"}));
    EXPECT_EQ(wordsOf(referencesOf(" ,10,,a\t\xc3\xa9\r\n-1 ")),
              (Words{"10", "a", "\xc3\xa9", "-1"}));
    EXPECT_EQ(wordsOf(referencesOf(std::string("a\0b c", 5))),
              (Words{std::string("a\0b", 3), "c"}));
    EXPECT_TRUE(referencesOf(" , \n").pages.empty());
}

TEST(Pages, EqualNamesAreOnePageNumberedInOrderFirstSeen) {
    const References references = referencesOf("b a b 10 1 10 a");
    EXPECT_EQ(references.pages, (PageIds{0, 1, 0, 2, 3, 2, 1}));
    EXPECT_EQ(references.names.size(), 4U);
}

// Many names force the table of names to grow several times; each keeps its number.
TEST(Pages, ManyNamesKeepTheirNumbers) {
    PageNames names;
    for (PageId page = 0; page < 5000; ++page)
        ASSERT_EQ(names.intern("p" + std::to_string(page)), page);
    for (PageId page = 0; page < 5000; ++page) {
        ASSERT_EQ(names.intern("p" + std::to_string(page)), page);
        ASSERT_EQ(names.name(page), "p" + std::to_string(page));
    }
}

TEST(Pages, AWordMaySpanPieces) {
    WordCutter cutter;
    std::vector<std::string> words;
    const auto add = [&](std::string_view word) { words.emplace_back(word); };
    for (const char* piece : {"ab", "c d", "", "e,", "f"}) cutter.feed(piece, add);
    cutter.finish(add);
    EXPECT_EQ(words, (std::vector<std::string>{"abc", "de", "f"}));
}

TEST(Pages, RandomReferencesFollowTheSeed) {
    const References drawn = randomReferences(1000, 10, 42);
    EXPECT_EQ(wordsOf(drawn), wordsOf(randomReferences(1000, 10, 42)));
    EXPECT_NE(wordsOf(drawn), wordsOf(randomReferences(1000, 10, 43)));
    EXPECT_EQ(drawn.names.size(), 10U);
    EXPECT_EQ(wordsOf(randomReferences(5, 1, 0)), (std::vector<std::string>(5, "0")));
}

}  // namespace
}  // namespace pagemodel
