// SPDX-License-Identifier: MIT
#include "core/output/json_reader.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

namespace veyla::output {
namespace {

using Kind = JsonValue::Kind;

TEST(JsonReader, ReadsAWordList)
{
    const auto doc = parseJson(R"([{"w": "abandon", "t": "vt. 放弃", "x": [1, {"y": null}]},
                                   {"t":"能","w":"able"}])");
    EXPECT_TRUE(doc.complete);
    ASSERT_EQ(doc.root.kind(), Kind::Array);
    ASSERT_EQ(doc.root.items().size(), 2u);
    const JsonValue& first = doc.root.items()[0];
    EXPECT_EQ(first.keys(), (std::vector<std::string>{"t", "w", "x"}));
    EXPECT_EQ(first.member("w")->text(), "abandon");
    EXPECT_EQ(first.member("t")->text(), "vt. 放弃");
    EXPECT_EQ(first.find("x[1].y")->kind(), Kind::Literal);
    EXPECT_EQ(first.find("x[1].y")->text(), "null");
    EXPECT_EQ(doc.root.find("[1].w")->text(), "able");
    EXPECT_EQ(doc.root.items()[1].member("nothing"), nullptr);
}

TEST(JsonReader, StartsAtTheFirstBracketAndIgnoresWhatFollowsTheValue)
{
    const auto doc = parseJson("\xEF\xBB\xBF var words = [\"a\"] trailing {");
    EXPECT_TRUE(doc.complete);
    ASSERT_EQ(doc.root.items().size(), 1u);
    EXPECT_EQ(doc.root.items()[0].text(), "a");

    const auto none = parseJson("no brackets \"here\"");
    EXPECT_EQ(none.root.kind(), Kind::None);
    EXPECT_FALSE(none.complete);
}

TEST(JsonReader, KeysAreOrderedAndARepeatedKeyKeepsItsFirstValue)
{
    const auto doc = parseJson(R"({"b": "1", "a": "2", "b": "3", "c": {}})");
    EXPECT_EQ(doc.root.keys(), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(doc.root.member("b")->text(), "1");
    EXPECT_EQ(doc.root.member("c")->kind(), Kind::Object);
}

TEST(JsonReader, DecodesEscapes)
{
    struct Case {
        const char* json;
        std::string expected;
    };
    const Case cases[] = {
        {R"(["a\nb\tc\rd\fe"])", "a\nb\tc\rd\fe"},
        {R"(["\u4e2d\u00e9A"])", "中éA"},
        {R"(["x\uFFFFy"])", "xy"},
        {R"(["\/\"\\"])", "/\"\\"},
        // A backslash before any other character gives that character.
        {R"(["\q\b"])", "qb"},
        // Surrogates are not paired: each half becomes three bytes of its own.
        {R"(["\ud83d\ude00"])", "\xED\xA0\xBD\xED\xB8\x80"},
        // Bytes that are not UTF-8 pass through.
        {"[\"\xFF\xC3\"]", "\xFF\xC3"},
    };
    for (const auto& c : cases) {
        const auto doc = parseJson(c.json);
        ASSERT_EQ(doc.root.items().size(), 1u) << c.json;
        EXPECT_EQ(doc.root.items()[0].text(), c.expected) << c.json;
    }
}

TEST(JsonReader, KeepsLiteralsAndNumbersAsText)
{
    const auto doc = parseJson("[true,false,null, 1.5e10, -2 ,+3,123456789012345678901234567890e99999]");
    ASSERT_EQ(doc.root.items().size(), 7u);
    const char* expected[] = {"true", "false", "null", "1.5e10", "-2 ", "+3", "123456789012345678901234567890e99999"};
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(doc.root.items()[i].kind(), Kind::Literal);
        EXPECT_EQ(doc.root.items()[i].text(), expected[i]);
    }
}

TEST(JsonReader, StopsAtAnErrorKeepingWhatWasRead)
{
    struct Case {
        const char* what;
        std::string json;
        std::size_t items;
    };
    const Case cases[] = {
        {"garbage between entries", R"([{"w":"one"},{"w":"two"} x {"w":"three"}])", 2},
        {"unterminated string ends at the end", R"(["abc)", 1},
        {"trailing comma", R"(["a",])", 1},
        {"missing colon", R"([{"w" "one"}])", 1},
        {"key that is not a string", R"([{w:"one"}])", 1},
        {"bad hex escape drops the string", R"(["a","\u12G4"])", 1},
        {"truncated literal", R"([1, nul])", 1},
        {"a NUL byte ends the text", std::string("[\"a\",\0\"b\"]", 11), 1},
    };
    for (const auto& c : cases) {
        const auto doc = parseJson(c.json);
        EXPECT_FALSE(doc.complete) << c.what;
        EXPECT_EQ(doc.root.items().size(), c.items) << c.what;
    }
    const auto partial = parseJson(R"([{"w":"one","t":"一"},{"w":"two","t":)");
    ASSERT_EQ(partial.root.items().size(), 2u);
    EXPECT_EQ(partial.root.items()[1].member("w")->text(), "two");
    EXPECT_EQ(partial.root.items()[1].member("t"), nullptr);
}

TEST(JsonReader, DeepNestingAndHugeCountsStopWithoutACrash)
{
    const auto deep = parseJson(std::string(100000, '['));
    EXPECT_FALSE(deep.complete);
    std::string nested = std::string(512, '[') + std::string(512, ']');
    EXPECT_TRUE(parseJson(nested).complete);
    nested = std::string(513, '[') + std::string(513, ']');
    EXPECT_FALSE(parseJson(nested).complete);

    JsonLimits small;
    small.maxValues = 5;
    const auto many = parseJson("[1,2,3,4,5,6]", small);
    EXPECT_FALSE(many.complete);
    EXPECT_EQ(many.root.items().size(), 4u);
}

TEST(JsonReader, FindsValuesByPath)
{
    const auto doc = parseJson(R"({"a":{"b":[{"c":"x"},{"c":"y"}]}})");
    EXPECT_EQ(doc.root.find("a.b[1].c")->text(), "y");
    EXPECT_EQ(doc.root.find("a.b[0].c")->text(), "x");
    EXPECT_EQ(doc.root.find("a.b[2].c"), nullptr);
    EXPECT_EQ(doc.root.find("a.b[x]"), nullptr);
    EXPECT_EQ(doc.root.find("a.z"), nullptr);
    EXPECT_EQ(doc.root.find("a.b.c"), nullptr);
    // Paths are cut at 127 characters.
    const std::string longPath = "a." + std::string(125, 'q') + "b";
    EXPECT_EQ(parseJson(R"({"a":{")" + std::string(125, 'q') + R"(":"v"}})").root.find(longPath)->text(), "v");
}

TEST(JsonReader, SurvivesTheJsonTestSuite)
{
    VEYLA_REQUIRE_CORPUS();
    const auto folder = test::corpusDir() / "jsontestsuite";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".json")
            continue;
        ++files;
        const std::string bytes = test::readBytes(entry.path());
        const auto doc = parseJson(bytes);
        const std::string name = entry.path().filename().string();
        const auto first = bytes.find_first_not_of(" \t\r\n");
        // Every valid document that is an array or an object is read whole.
        if (name.starts_with("y_") && first != std::string::npos && (bytes[first] == '[' || bytes[first] == '{')) {
            EXPECT_TRUE(doc.complete) << name;
        }
    }
    EXPECT_GT(files, 300);
}

}  // namespace
}  // namespace veyla::output
