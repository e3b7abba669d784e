// SPDX-License-Identifier: MIT
#include "core/search/hit_finder.h"

#include <gtest/gtest.h>

namespace veyla::search {
namespace {

using Strings = std::vector<std::u16string>;

std::u16string repeat(std::u16string_view piece, std::size_t count)
{
    std::u16string out;
    for (std::size_t i = 0; i < count; ++i)
        out += piece;
    return out;
}

HitFinder finder(MiningMode mode, std::u16string_view keywords)
{
    return HitFinder(makeMiningQuery(mode, keywords).value());
}

Strings hitsOf(const HitFinder& f, std::u16string_view paragraph, std::size_t group = 0)
{
    std::vector<ParagraphHit> hits;
    f.findHits(paragraph, hits);
    Strings texts;
    for (const auto& hit : hits) {
        if (hit.group == group)
            texts.push_back(hit.text);
    }
    return texts;
}

const std::u16string kPair = u"\U00020000";  // one character, two units

TEST(HitFinder, WordIsTheRunAroundEachOccurrence)
{
    const HitFinder word = finder(MiningMode::Word, u"笑");
    const struct {
        std::u16string paragraph;
        Strings hits;
    } cases[] = {
        {u"他笑了。", {u"他笑了"}},
        // Punctuation, spaces and Latin letters end a run.
        {u"甲乙，丙笑丁，戊", {u"丙笑丁"}},
        {u"甲 笑 乙", {u"笑"}},
        {u"ab笑cd", {u"笑"}},
        // A second occurrence inside the forward part belongs to the first hit.
        {u"笑一笑", {u"笑一笑"}},
        {u"笑，哭笑", {u"笑", u"哭笑"}},
        // 80 units back with the occurrence, 80 forward after it.
        {repeat(u"一", 100) + u"笑" + repeat(u"二", 100), {repeat(u"一", 79) + u"笑" + repeat(u"二", 80)}},
        {repeat(u"一", 79) + u"笑", {repeat(u"一", 79) + u"笑"}},
        // A character beyond U+FFFF stays in the run, and a window never
        // keeps half of one.
        {u"，" + kPair + u"笑" + kPair, {kPair + u"笑" + kPair}},
        {kPair + repeat(u"一", 78) + u"笑", {repeat(u"一", 78) + u"笑"}},
        {u"笑" + repeat(u"一", 79) + kPair, {u"笑" + repeat(u"一", 79)}},
        {u"没有", {}},
        {u"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(hitsOf(word, c.paragraph), c.hits) << c.paragraph.size();
}

TEST(HitFinder, WordHitAlwaysHoldsTheWholeOccurrence)
{
    EXPECT_EQ(hitsOf(finder(MiningMode::Word, u"阿Q"), u"那是阿Q正传。"), Strings{u"那是阿Q正传"});
    EXPECT_EQ(hitsOf(finder(MiningMode::Word, u"Tom"), u"Tom Sawyer"), Strings{u"Tom"});
    EXPECT_EQ(hitsOf(finder(MiningMode::Word, u"孙悟空"), u"那孙悟空道：“"), Strings{u"那孙悟空道"});
}

TEST(HitFinder, SentenceWindowsAreFiftyUnits)
{
    const HitFinder sentence = finder(MiningMode::Sentence, u"笑");
    EXPECT_EQ(hitsOf(sentence, repeat(u"一", 60) + u"笑" + repeat(u"二", 60)),
              Strings{repeat(u"一", 49) + u"笑" + repeat(u"二", 50)});
    EXPECT_EQ(hitsOf(sentence, u"——他笑了。"), Strings{u"他笑了"});
    EXPECT_EQ(hitsOf(sentence, u"_-．他\u3000笑了\t"), Strings{u"笑了"});
}

TEST(HitFinder, AcrosticRunsBeginWithTheCharacter)
{
    const HitFinder acrostic = finder(MiningMode::Acrostic, u"春处风");
    EXPECT_EQ(acrostic.groups(), (Strings{u"春", u"处", u"风"}));
    const std::u16string poem = u"春眠不觉晓，处处闻啼鸟。夜来风雨声，花落知多少。";
    // At the paragraph start and after punctuation; not inside a run.
    EXPECT_EQ(hitsOf(acrostic, poem, 0), Strings{u"春眠不觉晓"});
    EXPECT_EQ(hitsOf(acrostic, poem, 1), Strings{u"处处闻啼鸟"});
    EXPECT_EQ(hitsOf(acrostic, poem, 2), Strings{});
    EXPECT_EQ(hitsOf(acrostic, u"风 " + repeat(u"一", 100), 2), Strings{u"风"});
    EXPECT_EQ(hitsOf(acrostic, u"a风" + repeat(u"一", 100), 2), Strings{u"风" + repeat(u"一", 79)});
}

TEST(HitFinder, AcrosticTakesASurrogatePairAsOneCharacter)
{
    const HitFinder acrostic = finder(MiningMode::Acrostic, kPair + u"春" + kPair);
    EXPECT_EQ(acrostic.groups(), (Strings{kPair, u"春"}));
    EXPECT_EQ(hitsOf(acrostic, u"，" + kPair + u"一二", 0), Strings{kPair + u"一二"});
    EXPECT_EQ(hitsOf(acrostic, kPair + u"一", 0), Strings{kPair + u"一"});
    EXPECT_EQ(hitsOf(acrostic, u"一" + kPair, 0), Strings{});
    // A run that fills 80 units does not end in half a pair.
    EXPECT_EQ(hitsOf(acrostic, u"春" + repeat(u"一", 78) + kPair, 1), Strings{u"春" + repeat(u"一", 78)});
}

TEST(HitFinder, ParagraphNeedsTheRequiredNumberOfKeywords)
{
    const HitFinder anyTwo = finder(MiningMode::Paragraph, u"风，雨、雪,2");
    const HitFinder all = finder(MiningMode::Paragraph, u"风，雨、雪");
    const struct {
        std::u16string paragraph;
        bool anyTwoHit;
        bool allHit;
    } cases[] = {
        {u"风雨交加", true, false},
        {u"雪夜，北风", true, false},
        {u"风雪雨", true, true},
        {u"只有风", false, false},
        {u"晴", false, false},
        {u"", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hitsOf(anyTwo, c.paragraph), c.anyTwoHit ? Strings{c.paragraph} : Strings{}) << c.paragraph.size();
        EXPECT_EQ(hitsOf(all, c.paragraph), c.allHit ? Strings{c.paragraph} : Strings{}) << c.paragraph.size();
    }
    EXPECT_EQ(all.groups(), Strings{u"风、雨、雪"});
}

}  // namespace
}  // namespace veyla::search
