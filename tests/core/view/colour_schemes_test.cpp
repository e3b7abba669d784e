// SPDX-License-Identifier: MIT
#include "core/view/colour_schemes.h"

#include <gtest/gtest.h>

#include "core/util/utf16.h"
#include "support/test_support.h"
#include "view_test_support.h"

#ifndef VEYLA_SOURCE_DIR
#error "VEYLA_SOURCE_DIR must name the source tree"
#endif

namespace veyla::view {
namespace {

namespace fs = std::filesystem;

using Folders = test::TempAppFolders;

ColourSchemes withSchemes()
{
    return ColourSchemes::fromXml(
        u"<Page Bg=\"100\" TreeBg=\"90\" Text=\"5\">\r\n<WholeCorlor WholeCount=\"2\">\r\n"
        u"<CORLOR Name=\"夜\" Bg=\"1\" TreeBg=\"2\" Text=\"3\" />\r\n"
        u"<CORLOR Name=\"昼\" Bg=\"4\" TreeBg=\"5\" Text=\"6\" />\r\n</WholeCorlor>\r\n</Page>\r\n");
}

TEST(ColourSchemes, MissingAttributesReadZeroButTextBrightAndName)
{
    const ColourSchemes schemes = ColourSchemes::fromXml(
        u"<Page Bg=\"-5\" Digit=\"42\"><WholeCorlor WholeCount=\"1\"><CORLOR Bg=\"7\"/></WholeCorlor></Page>");
    EXPECT_EQ(schemes.colours().bg, -5);
    EXPECT_EQ(schemes.colours().digit, 42);
    EXPECT_EQ(schemes.colours().text, 0);
    EXPECT_EQ(schemes.colours().codePubMode, 0);
    EXPECT_EQ(schemes.colours().textBright, 16711680);
    ASSERT_EQ(schemes.schemes().size(), 1u);
    EXPECT_EQ(schemes.schemes()[0].name, u"未命名");
    EXPECT_EQ(schemes.schemes()[0].bg, 7);
}

TEST(ColourSchemes, SchemesAreReadOnlyWithAPositiveCountButThenAllOfThem)
{
    const auto read = [](std::u16string_view count) {
        return ColourSchemes::fromXml(u"<Page><WholeCorlor WholeCount=\"" + std::u16string(count) +
                                      u"\"><CORLOR Name=\"a\"/><CORLOR Name=\"b\"/><CORLOR Name=\"c\"/>"
                                      u"</WholeCorlor></Page>")
            .schemes()
            .size();
    };
    EXPECT_EQ(read(u"0"), 0u);
    EXPECT_EQ(read(u""), 0u);
    EXPECT_EQ(read(u"1"), 3u);
}

TEST(ColourSchemes, WriteThenReadKeepsEveryValue)
{
    Folders f;
    ColourSchemes schemes = withSchemes();
    auto& colours = schemes.colours();
    int value = 1;
    for (Colour* c : {&colours.bg, &colours.treeBg, &colours.text, &colours.textBright, &colours.left,
                      &colours.codeBg, &colours.codeText, &colours.comment, &colours.parenthesis, &colours.brace,
                      &colours.inParenthesis, &colours.inBrace, &colours.control, &colours.type,
                      &colours.function, &colours.ownFunction, &colours.variable, &colours.boolean,
                      &colours.string, &colours.digit, &colours.codeHtmlMode, &colours.codePubMode})
        *c = value++ * 1000;
    colours.text = -77;
    ASSERT_TRUE(schemes.write(f.folders).ok());
    EXPECT_FALSE(fs::exists(f.folders.programControl("Color.xml")));
    const ColourSchemes read = ColourSchemes::read(f.folders);
    EXPECT_EQ(read.colours(), schemes.colours());
    EXPECT_EQ(read.schemes(), schemes.schemes());
}

TEST(ColourSchemes, FileLayout)
{
    ColourSchemes schemes;
    schemes.colours().bg = 14216436;
    schemes.colours().textBright = 16711680;
    EXPECT_TRUE(utf16::contains(schemes.toXml(), u"<Page Bg=\"14216436\" TreeBg=\"0\" Text=\"0\" TextBright=\"16711680\""));
    EXPECT_TRUE(utf16::contains(schemes.toXml(), u"Digit=\"0\" CodeHtmlMode=\"0\" CodePubMode=\"0\" />"));
    EXPECT_FALSE(utf16::contains(schemes.toXml(), u"WholeCorlor"));
    const std::u16string withList = withSchemes().toXml();
    EXPECT_TRUE(utf16::contains(withList, u"<WholeCorlor WholeCount=\"2\">\r\n<CORLOR Name=\"夜\" Bg=\"1\" TreeBg=\"2\" Text=\"3\" />"));
}

TEST(ColourSchemes, ReadsTheDataFolderFirstThenTheProgramFolder)
{
    Folders f;
    // No file at all: the built-in colours, never black on black.
    EXPECT_EQ(ColourSchemes::read(f.folders).colours(), ColourSchemes::builtIn().colours());
    EXPECT_EQ(ColourSchemes::builtIn().colours().bg, rgb(244, 236, 216));
    EXPECT_EQ(ColourSchemes::builtIn().colours().text, rgb(91, 70, 54));
    fs::create_directories(f.program.path() / "control");
    veyla::test::writeBytes(f.folders.programControl("Color.xml"),
                            utf16::encodeLittleEndian(u"\uFEFF<Page Bg=\"11\"/>"));
    EXPECT_EQ(ColourSchemes::read(f.folders).colours().bg, 11);
    fs::create_directories(f.data.path() / "control");
    veyla::test::writeBytes(f.folders.dataControl("Color.xml"), utf16::encodeLittleEndian(u"<Page Bg=\"22\"/>"));
    EXPECT_EQ(ColourSchemes::read(f.folders).colours().bg, 22);
}

TEST(ColourSchemes, AFileWithoutColoursIsKeptAsideAndTheNextIsRead)
{
    const std::string notXml = "this is not a colour file";
    const std::string empty;
    const std::string wrongRoot = utf16::encodeLittleEndian(u"<Colours Bg=\"5\"/>");
    for (const auto& bytes : {notXml, empty, wrongRoot}) {
        Folders f;
        fs::create_directories(f.program.path() / "control");
        fs::create_directories(f.data.path() / "control");
        veyla::test::writeBytes(f.folders.programControl("Color.xml"), utf16::encodeLittleEndian(u"<Page Bg=\"11\"/>"));
        veyla::test::writeBytes(f.folders.dataControl("Color.xml"), bytes);
        EXPECT_EQ(ColourSchemes::read(f.folders).colours().bg, 11);
        EXPECT_FALSE(fs::exists(f.folders.dataControl("Color.xml")));
        EXPECT_EQ(veyla::test::readBytes(f.folders.dataControl("Color.xml.unreadable")), bytes);

        // A second one never replaces the first kept aside.
        veyla::test::writeBytes(f.folders.dataControl("Color.xml"), "again");
        EXPECT_EQ(ColourSchemes::read(f.folders).colours().bg, 11);
        EXPECT_EQ(veyla::test::readBytes(f.folders.dataControl("Color.xml.unreadable")), bytes);
        EXPECT_EQ(veyla::test::readBytes(f.folders.dataControl("Color.xml.unreadable.2")), "again");
    }
}

TEST(ColourSchemes, BuiltInSchemesHaveTheirValues)
{
    struct Case {
        int id;
        Colour bg, treeBg, text;
    };
    const Case cases[] = {
        {34023, rgb(255, 255, 255), rgb(250, 248, 248), rgb(89, 89, 89)},
        {34024, rgb(244, 236, 216), rgb(242, 232, 206), rgb(91, 70, 54)},
        {34025, rgb(206, 234, 186), rgb(216, 244, 196), rgb(51, 51, 51)},
        {34026, rgb(69, 72, 74), rgb(64, 68, 71), rgb(157, 159, 163)},
        {34027, rgb(51, 51, 51), rgb(46, 46, 46), rgb(181, 172, 162)},
    };
    for (const auto& c : cases) {
        ColourSchemes schemes;
        ASSERT_TRUE(schemes.applyBuiltIn(c.id));
        EXPECT_EQ(schemes.colours().bg, c.bg) << c.id;
        EXPECT_EQ(schemes.colours().treeBg, c.treeBg) << c.id;
        EXPECT_EQ(schemes.colours().text, c.text) << c.id;
    }
    EXPECT_EQ(rgb(244, 236, 216), 14216436);
    EXPECT_FALSE(ColourSchemes().applyBuiltIn(34028));
}

TEST(ColourSchemes, RandomColoursTakeChannelsBelow255AndTreeBgFromBg)
{
    RandomEngine engine(12345);
    RandomEngine replay(12345);
    ColourSchemes schemes;
    schemes.randomise(engine);
    const auto next = [&] { return static_cast<int>(replay() % 255); };
    const int textRed = next(), textGreen = next(), textBlue = next();
    const int bgRed = next(), bgGreen = next(), bgBlue = next();
    const Colour text = rgb(textRed, textGreen, textBlue);
    const Colour bg = rgb(bgRed, bgGreen, bgBlue);
    EXPECT_EQ(schemes.colours().text, text);
    EXPECT_EQ(schemes.colours().bg, bg);
    EXPECT_EQ(schemes.colours().treeBg, bg - 1118481);
}

TEST(ColourSchemes, ApplyByNameChangesNothingForAnUnknownName)
{
    ColourSchemes schemes = withSchemes();
    EXPECT_FALSE(schemes.applyNamed(u"无此方案"));
    EXPECT_EQ(schemes.colours().bg, 100);
    EXPECT_TRUE(schemes.applyNamed(u"昼"));
    EXPECT_EQ(schemes.colours().bg, 4);
    EXPECT_EQ(schemes.colours().treeBg, 5);
    EXPECT_EQ(schemes.colours().text, 6);
}

TEST(ColourSchemes, SavingAppendsOrReplacesBgAndTextByName)
{
    ColourSchemes schemes = withSchemes();
    EXPECT_EQ(schemes.saveCurrent(u"", DuplicateName::Replace), SchemeSaved::EmptyName);
    EXPECT_EQ(schemes.saveCurrent(u"夜", DuplicateName::Refuse), SchemeSaved::DuplicateRefused);
    EXPECT_EQ(schemes.schemes()[0], (ColourScheme{u"夜", 1, 2, 3}));
    EXPECT_EQ(schemes.saveCurrent(u"夜", DuplicateName::Replace), SchemeSaved::Replaced);
    EXPECT_EQ(schemes.schemes()[0], (ColourScheme{u"夜", 100, 2, 5}));
    EXPECT_EQ(schemes.saveCurrent(u"新", DuplicateName::Refuse), SchemeSaved::Appended);
    ASSERT_EQ(schemes.schemes().size(), 3u);
    EXPECT_EQ(schemes.schemes()[2], (ColourScheme{u"新", 100, 90, 5}));
}

TEST(ColourSchemes, ShippedFileIsReadableAndWrittenTheSameWay)
{
    const fs::path shipped = fs::path(VEYLA_SOURCE_DIR) / "resources/control/Color.xml";
    ASSERT_TRUE(fs::exists(shipped));
    const std::string bytes = veyla::test::readBytes(shipped);
    const ColourSchemes schemes = ColourSchemes::fromXml(utf16::decodeLittleEndian(bytes));
    EXPECT_EQ(schemes.colours().bg, rgb(244, 236, 216));
    EXPECT_GE(schemes.schemes().size(), 5u);
    EXPECT_EQ(utf16::encodeLittleEndian(schemes.toXml()), bytes);
}

}  // namespace
}  // namespace veyla::view
