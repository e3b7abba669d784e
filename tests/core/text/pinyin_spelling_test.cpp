// SPDX-License-Identifier: MIT
#include "core/text/pinyin_spelling.h"

#include <gtest/gtest.h>

#include "core/text/pinyin_table.h"
#include "support/test_support.h"

namespace veyla::text {
namespace {

using Strings = std::vector<std::u16string>;

TEST(PinyinSpelling, CombinesReadingsFirstReadingsFirst)
{
    PinyinTable table(VEYLA_PINYIN_TABLE);
    struct Case {
        std::u16string text;
        Strings spellings;
        Strings initials;
    };
    const Case cases[] = {
        {u"西游记", {u"xiyouji", u"xiliuji"}, {u"XYJ", u"XLJ"}},
        {u"梦", {u"meng"}, {u"M"}},
        // 长 reads zhang first, then chang; the last character varies fastest.
        {u"长江", {u"zhangjiang", u"changjiang"}, {u"ZJ", u"CJ"}},
        {u"长行", {u"zhangxing", u"zhanghang", u"zhangheng", u"changxing", u"changhang", u"changheng"},
         {u"ZX", u"ZH", u"CX", u"CH"}},
        // Latin letters, digits, blanks and punctuation stand for themselves.
        {u"Veyla 第2书", {u"Veyla di2shu"}, {u"Veyla D2S"}},
        // A surrogate pair is one character and passes through whole.
        {u"\U00020000书", {u"\U00020000shu"}, {u"\U00020000S"}},
        // A character without readings adds nothing.
        {u"\u5159克", {u"ke"}, {u"K"}},
        {u"\u5159", {}, {}},
        {u"", {}, {}},
    };
    for (const auto& c : cases) {
        auto spelled = spellInPinyin(table, c.text);
        ASSERT_TRUE(spelled.ok());
        EXPECT_EQ(spelled->spellings, c.spellings);
        EXPECT_EQ(spelled->initials, c.initials);
    }
}

TEST(PinyinSpelling, ALongNameOfManyReadingsStopsAtSixteen)
{
    PinyinTable table(VEYLA_PINYIN_TABLE);
    auto spelled = spellInPinyin(table, std::u16string(20, u'行'));
    ASSERT_TRUE(spelled.ok());
    ASSERT_EQ(spelled->spellings.size(), 16u);
    EXPECT_EQ(spelled->spellings[0], [] {
        std::u16string all;
        for (int i = 0; i < 20; ++i)
            all += u"xing";
        return all;
    }());
    // The last characters vary first: 3 readings of the last, then of the one before it.
    EXPECT_EQ(spelled->spellings[1].substr(spelled->spellings[1].size() - 8), u"xinghang");
    EXPECT_EQ(spelled->spellings[3].substr(spelled->spellings[3].size() - 8), u"hangxing");
    EXPECT_EQ(spelled->initials.size(), 16u);
}

TEST(PinyinSpelling, MissingTableFailsOnlyWhenItIsNeeded)
{
    test::TempDir dir;
    PinyinTable table(dir / "none.DAT");
    auto latin = spellInPinyin(table, u"Book 1");
    ASSERT_TRUE(latin.ok());
    EXPECT_EQ(latin->spellings, Strings{u"Book 1"});
    auto chinese = spellInPinyin(table, u"Book 书");
    ASSERT_FALSE(chinese.ok());
    EXPECT_EQ(chinese.code(), ErrorCode::FileUnavailable);
}

}  // namespace
}  // namespace veyla::text
