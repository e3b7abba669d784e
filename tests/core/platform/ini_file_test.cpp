// SPDX-License-Identifier: MIT
#include "core/platform/ini_file.h"

#include <gtest/gtest.h>

#include "core/util/code_page.h"
#include "core/util/utf16.h"
#include "support/test_support.h"

namespace veyla::platform {
namespace {

namespace fs = std::filesystem;

constexpr std::u16string_view kSample =
    u"; settings written by hand\r\n"
    u"[Start]\r\n"
    u"OpenAll = 0\r\n"
    u"\r\n"
    u"[View]\r\n"
    u"FontName=方正楷体S-超大字符集\r\n"
    u"Quoted=\"  spaced  \"\r\n"
    u"Single='x'\r\n"
    u"Color=-16777216\r\n"
    u"Empty=\r\n";

std::string utf16WithBom(std::u16string_view text)
{
    return "\xFF\xFE" + utf16::encodeLittleEndian(text);
}

TEST(IniFile, ReadsWithProfileSemantics)
{
    const IniFile ini = IniFile::fromBytes(utf16::toUtf8(kSample));
    struct Case {
        std::u16string_view section;
        std::u16string_view key;
        std::u16string_view expected;
    };
    const Case cases[] = {
        {u"Start", u"OpenAll", u"0"},                    // blanks around = are ignored
        {u"start", u"OPENALL", u"0"},                    // names match without case
        {u"View", u"FontName", u"方正楷体S-超大字符集"},
        {u"View", u"Quoted", u"  spaced  "},              // quotes are removed, content kept
        {u"View", u"Single", u"x"},
        {u"View", u"Empty", u""},                         // present but empty: no default
        {u"View", u"Missing", u"default"},
        {u"Nowhere", u"OpenAll", u"default"},
        {u"View", u"OpenAll", u"default"},                // keys belong to their section
    };
    for (const auto& c : cases)
        EXPECT_EQ(ini.value(c.section, c.key, u"default"), c.expected) << utf16::toUtf8(c.key);
    EXPECT_EQ(ini.integer(u"View", u"Color", 7), -16777216);
    EXPECT_EQ(ini.integer(u"View", u"Missing", 7), 7);
    EXPECT_EQ(ini.integer(u"View", u"Empty", 7), 0);
}

TEST(IniFile, ValuesComeThroughA256UnitBuffer)
{
    IniFile ini;
    ini.setValue(u"S", u"long", std::u16string(300, u'字'));
    EXPECT_EQ(ini.value(u"S", u"long").size(), 255u);
    EXPECT_EQ(ini.value(u"S", u"missing", std::u16string(300, u'x')).size(), 255u);
}

TEST(IniFile, ReadsEveryEncodingTheWindowsProgramWrote)
{
    const std::string utf8 = utf16::toUtf8(kSample);
    const std::string encodings[] = {
        utf16WithBom(kSample),
        utf8,
        "\xEF\xBB\xBF" + utf8,
        encodeCodePage(kSample),  // GBK
    };
    for (const auto& bytes : encodings) {
        const IniFile ini = IniFile::fromBytes(bytes);
        EXPECT_EQ(ini.value(u"View", u"FontName"), u"方正楷体S-超大字符集");
        EXPECT_EQ(ini.integer(u"Start", u"OpenAll", 1), 0);
    }
}

TEST(IniFile, WritingKeepsEverythingElse)
{
    IniFile ini = IniFile::fromBytes(utf16WithBom(kSample));
    ini.setValue(u"view", u"FontName", u"宋体");   // existing key, other case
    ini.setInteger(u"Start", u"Added", 5);           // new key in an existing section
    ini.setValue(u"Mru File", u"FileNum", u"0");    // new section at the end

    const std::u16string expected =
        u"; settings written by hand\r\n"
        u"[Start]\r\n"
        u"OpenAll = 0\r\n"
        u"Added=5\r\n"
        u"\r\n"
        u"[View]\r\n"
        u"FontName=宋体\r\n"
        u"Quoted=\"  spaced  \"\r\n"
        u"Single='x'\r\n"
        u"Color=-16777216\r\n"
        u"Empty=\r\n"
        u"[Mru File]\r\n"
        u"FileNum=0\r\n";
    EXPECT_EQ(ini.toBytes(), utf16WithBom(expected));
}

TEST(IniFile, ProfileHelpersRoundTripThroughAFile)
{
    test::TempDir dir;
    const fs::path file = dir / "control" / "preSet.ini";
    EXPECT_EQ(readProfileString(file, u"Start", u"OpenAll", u"1"), u"1");  // missing file: default
    ASSERT_TRUE(writeProfileString(file, u"Start", u"OpenAll", u"0").ok());
    ASSERT_TRUE(writeProfileString(file, u"Search", u"all", u"1").ok());
    EXPECT_EQ(readProfileInteger(file, u"Start", u"OpenAll", 1), 0);
    EXPECT_EQ(readProfileInteger(file, u"Search", u"all", 0), 1);
    EXPECT_EQ(test::readBytes(file), utf16WithBom(u"[Start]\r\nOpenAll=0\r\n[Search]\r\nall=1\r\n"));
}

}  // namespace
}  // namespace veyla::platform
