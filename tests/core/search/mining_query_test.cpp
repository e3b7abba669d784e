// SPDX-License-Identifier: MIT
#include "core/search/mining_query.h"

#include <gtest/gtest.h>

namespace veyla::search {
namespace {

using Strings = std::vector<std::u16string>;

TEST(MiningQuery, SplitsAtTheThreeSeparatorsAndDropsEmptyPieces)
{
    const struct {
        std::u16string text;
        Strings keywords;
    } cases[] = {
        {u"风，雨、雪,2", {u"风", u"雨", u"雪", u"2"}},
        {u"风,,雨，，、雪", {u"风", u"雨", u"雪"}},
        // Blanks around a keyword are no part of it; inside one they are.
        {u" 风 , 雨\u3000、\tTom Sawyer ", {u"风", u"雨", u"Tom Sawyer"}},
        {u",，、", {}},
        {u" \u3000 ", {}},
        {u"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(splitKeywords(c.text), c.keywords);
}

TEST(MiningQuery, ParagraphModeTakesATrailingNumberAsTheCountNeeded)
{
    const struct {
        std::u16string text;
        Strings keywords;
        std::size_t required;
    } cases[] = {
        {u"风，雨、雪,2", {u"风", u"雨", u"雪"}, 2},
        {u"风，雨、雪", {u"风", u"雨", u"雪"}, 3},
        // A number larger than the keywords asks for all of them; 0 for one.
        {u"风,雨,7", {u"风", u"雨"}, 2},
        {u"风,雨,99999999999999999999999", {u"风", u"雨"}, 2},
        {u"风,雨,0", {u"风", u"雨"}, 1},
        // Only a last keyword of digits alone counts; a lone number is a keyword.
        {u"2,风", {u"2", u"风"}, 2},
        {u"风,2a", {u"风", u"2a"}, 2},
        {u"2008", {u"2008"}, 1},
    };
    for (const auto& c : cases) {
        auto query = makeMiningQuery(MiningMode::Paragraph, c.text);
        ASSERT_TRUE(query.ok());
        EXPECT_EQ(query->keywords, c.keywords);
        EXPECT_EQ(query->required, c.required);
    }
}

TEST(MiningQuery, OtherModesSearchTheFirstKeywordOnly)
{
    for (MiningMode mode : {MiningMode::Word, MiningMode::Acrostic, MiningMode::Sentence}) {
        auto query = makeMiningQuery(mode, u"笑，哭,2");
        ASSERT_TRUE(query.ok());
        EXPECT_EQ(query->keywords, Strings{u"笑"});
        EXPECT_EQ(query->searchText(), u"笑");
    }
}

TEST(MiningQuery, NoKeywordIsRefused)
{
    for (MiningMode mode : {MiningMode::Word, MiningMode::Acrostic, MiningMode::Sentence, MiningMode::Paragraph}) {
        for (std::u16string_view text : {u"", u",，、", u" , "}) {
            auto query = makeMiningQuery(mode, text);
            ASSERT_FALSE(query.ok());
            EXPECT_EQ(query.code(), ErrorCode::InvalidArgument);
        }
    }
}

TEST(MiningQuery, ModeNamesAndBookLimits)
{
    EXPECT_EQ(miningModeName(MiningMode::Word), u"词");
    EXPECT_EQ(miningModeName(MiningMode::Acrostic), u"藏头诗");
    EXPECT_EQ(miningModeName(MiningMode::Sentence), u"句");
    EXPECT_EQ(miningModeName(MiningMode::Paragraph), u"段");
    EXPECT_EQ(bookLimitCount(BookLimit::One), 1u);
    EXPECT_EQ(bookLimitCount(BookLimit::Four), 4u);
    EXPECT_EQ(bookLimitCount(BookLimit::Ten), 10u);
    EXPECT_EQ(bookLimitCount(BookLimit::All), 0u);
}

}  // namespace
}  // namespace veyla::search
