// SPDX-License-Identifier: MIT
#include "core/output/vocabulary.h"

#include <gtest/gtest.h>

#include "core/util/utf16.h"
#include "support/test_support.h"

namespace veyla::output {
namespace {

std::string annotated(const Vocabulary& vocabulary, std::u16string_view text)
{
    return utf16::toUtf8(vocabulary.annotate(text));
}

Vocabulary wordList(const char* json)
{
    Vocabulary vocabulary;
    vocabulary.addWordList(parseJson(json).root);
    return vocabulary;
}

TEST(Vocabulary, TakesWordsOfMoreThanThreeBytesWithLowerCasedKeys)
{
    const auto vocabulary = wordList(R"([{"w":"cat","t":"猫"},{"w":"Book","t":"书"},{"w":"café","t":"咖啡馆"},
        {"w":"book","t":"第二个"},{"w":42,"t":"数"},{"w":{"x":1},"t":"物"},{"t":"无词"},
        {"w":"abandon","t":["放弃"]},{"w":"able"}])");
    EXPECT_EQ(vocabulary.size(), 4u);
    EXPECT_EQ(vocabulary.gloss(u"cat"), nullptr);
    ASSERT_NE(vocabulary.gloss(u"book"), nullptr);
    EXPECT_EQ(*vocabulary.gloss(u"book"), u"书");
    // "café" is four letters but five bytes.
    ASSERT_NE(vocabulary.gloss(u"café"), nullptr);
    // A gloss that is an array, or missing, counts as empty.
    EXPECT_EQ(*vocabulary.gloss(u"abandon"), u"");
    EXPECT_EQ(*vocabulary.gloss(u"able"), u"");
}

TEST(Vocabulary, InflectionRules)
{
    Vocabulary vocabulary;
    for (const auto* word : {u"study", u"stop", u"play", u"run", u"read", u"book", u"box", u"ad", u"agre", u"wish", u"call"})
        vocabulary.add(word, word);
    struct Case {
        std::u16string_view token;
        const char16_t* expected;  // the word whose gloss is found, nullptr for none
    };
    const Case cases[] = {
        {u"studied", u"study"}, {u"stopped", u"stop"}, {u"played", u"play"}, {u"running", u"run"},
        {u"reading", u"read"},  {u"books", u"book"},   {u"boxes", u"box"},   {u"added", u"ad"},
        {u"agreed", u"agre"},   {u"wishes", u"wish"},  {u"STUDIED", u"study"}, {u"«Books»", u"book"},
        // Only the first rule whose ending matches is tried.
        {u"readings", nullptr}, {u"bookings", nullptr}, {u"called", nullptr}, {u"reads", u"read"},
        {u"s", nullptr},        {u"3rd", nullptr},
    };
    for (const auto& c : cases) {
        const auto* found = vocabulary.glossOfToken(c.token);
        if (c.expected == nullptr)
            EXPECT_EQ(found, nullptr) << utf16::toUtf8(c.token);
        else
            EXPECT_TRUE(found != nullptr && *found == c.expected) << utf16::toUtf8(c.token);
    }
}

TEST(Vocabulary, AnnotatesKnownWordsAndNormalisesBlanks)
{
    Vocabulary vocabulary;
    vocabulary.add(u"study", u"学习");
    vocabulary.add(u"apple", u"苹果 \"红\" <b>");
    EXPECT_EQ(annotated(vocabulary, u"  The cat  sat\ton a mat.\r\n"), "The cat sat on a mat.");
    EXPECT_EQ(annotated(vocabulary, u"They Studied, then left"),
              "They <strong data-explanation=\"(学习)\">Studied,</strong> then left");
    // Glosses and tokens are escaped: neither becomes markup.
    EXPECT_EQ(annotated(vocabulary, u"<apple>"),
              "<strong data-explanation=\"(苹果 &quot;红&quot; &lt;b&gt;)\">&lt;apple&gt;</strong>");
    EXPECT_EQ(annotated(vocabulary, u"</p><script>alert(1)</script>"), "&lt;/p&gt;&lt;script&gt;alert(1)&lt;/script&gt;");
    EXPECT_EQ(annotated(vocabulary, u"孙悟空大闹天宫"), "孙悟空大闹天宫");
    EXPECT_EQ(annotated(vocabulary, u"　　第一回　灵根育孕"), "第一回 灵根育孕");
    EXPECT_EQ(annotated(vocabulary, u""), "");
}

TEST(Vocabulary, LoadsAllJsonAloneOrTheLevelFilesInOrder)
{
    test::TempDir dir;
    test::writeBytes(dir / "1junior.json", "\xEF\xBB\xBF[{\"w\":\"apple\",\"t\":\"初中\"}]");
    test::writeBytes(dir / "7SAT.json", R"([{"w":"apple","t":"SAT"},{"w":"zealot","t":"狂热者"}])");
    test::writeBytes(dir / "3CET4.json", R"([{"w":"broken","t":"坏"},{"w":"cut)");
    auto levels = Vocabulary::load(dir.path());
    EXPECT_EQ(levels.size(), 3u);
    EXPECT_EQ(*levels.gloss(u"apple"), u"初中");
    EXPECT_EQ(*levels.gloss(u"zealot"), u"狂热者");
    EXPECT_EQ(*levels.gloss(u"broken"), u"坏");

    test::writeBytes(dir / "all.json", R"([{"w":"whole","t":"全部"}])");
    const auto all = Vocabulary::load(dir.path());
    EXPECT_EQ(all.size(), 1u);
    EXPECT_EQ(all.gloss(u"apple"), nullptr);

    test::TempDir empty;
    EXPECT_TRUE(Vocabulary::load(empty.path()).empty());
}

TEST(Vocabulary, ShippedWordListsLoad)
{
    const auto folder = std::filesystem::path(VEYLA_SOURCE_DIR) / "resources/control/eng";
    if (!std::filesystem::exists(folder / "1junior.json"))
        GTEST_SKIP() << "no shipped word lists";
    const auto vocabulary = Vocabulary::load(folder);
    // 14,942 tagged entries; words of one to three letters and repeats across levels drop out.
    EXPECT_EQ(vocabulary.size(), 13952u);
    ASSERT_NE(vocabulary.gloss(u"abandon"), nullptr);
    // The common word "core" carries its levels on the upper-case headword.
    EXPECT_NE(vocabulary.gloss(u"core"), nullptr);
}

}  // namespace
}  // namespace veyla::output
