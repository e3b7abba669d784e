// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "support/test_support.h"

namespace veyla {
namespace {

test::ProcessResult pinyin(std::vector<std::string> args)
{
    args.insert(args.begin(), "pinyin");
    return test::runProcess(VEYLA_CLI_PATH, args);
}

TEST(CliPinyin, PrintsSpellingsThenInitials)
{
    const auto r = pinyin({"长江"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "spelling: zhangjiang\nspelling: changjiang\ninitials: ZJ\ninitials: CJ\n");
    const auto words = pinyin({"Veyla", "书"});
    ASSERT_EQ(words.exitCode, 0) << words.err;
    EXPECT_EQ(words.out, "spelling: Veyla shu\ninitials: Veyla S\n");
}

TEST(CliPinyin, MissingOrTruncatedTableIsSaidAndFails)
{
    test::TempDir dir;
    const auto missing = pinyin({"--table", (dir / "none.DAT").string(), "书"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("veyla-cli: pinyin: "), std::string::npos) << missing.err;
    EXPECT_NE(missing.err.find("none.DAT"), std::string::npos) << missing.err;
    EXPECT_TRUE(missing.out.empty());

    test::writeBytes(dir / "short.DAT", "4E00 (yi1)\r\n4E01 (ding1)\r\n");
    const auto truncated = pinyin({"--table", (dir / "short.DAT").string(), "一书"});
    EXPECT_EQ(truncated.exitCode, 1);
    EXPECT_NE(truncated.err.find("U+4E66"), std::string::npos) << truncated.err;
    EXPECT_EQ(pinyin({"--table", (dir / "short.DAT").string(), "一丁"}).out,
              "spelling: yiding\ninitials: YD\n");
}

TEST(CliPinyin, NoTextIsAUsageError)
{
    const auto r = pinyin({});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("usage: veyla-cli pinyin"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace veyla
