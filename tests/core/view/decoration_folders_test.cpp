// SPDX-License-Identifier: MIT
#include "core/view/decoration_folders.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "core/view/background_picture.h"
#include "core/util/utf16.h"
#include "support/test_support.h"
#include "view_test_support.h"

namespace veyla::view {
namespace {

namespace fs = std::filesystem;

using Folders = test::TempAppFolders;

void touch(const fs::path& path)
{
    fs::create_directories(path.parent_path());
    veyla::test::writeBytes(path, "x");
}

TEST(DecorationFolders, ANameLivesInTheStandardFolderAndAPathStandsAsItIs)
{
    Folders f;
    const fs::path standard = f.program.path() / "control/IMG" / u8"行线";
    EXPECT_EQ(standardDecorationFolder(f.folders, DecorationKind::RowLine), standard);
    EXPECT_EQ(resolveDecorationFolder(f.folders, DecorationKind::RowLine, u"默认"), standard / u8"默认");
    EXPECT_EQ(resolveDecorationFolder(f.folders, DecorationKind::RowLine, u"/srv/pics"), fs::path("/srv/pics"));
    EXPECT_EQ(resolveDecorationFolder(f.folders, DecorationKind::RowLine, u""), std::nullopt);
    EXPECT_EQ(resolveDecorationFolder(f.folders, DecorationKind::RowLine, u"无"), std::nullopt);
}

TEST(DecorationFolders, WritesTheNameOnlyForAFolderDirectlyInTheStandardFolder)
{
    Folders f;
    const fs::path standard = standardDecorationFolder(f.folders, DecorationKind::VerticalBar);
    EXPECT_EQ(decorationFolderValue(f.folders, DecorationKind::VerticalBar, standard / u8"花边"), u"花边");
    EXPECT_EQ(decorationFolderValue(f.folders, DecorationKind::VerticalBar, standard / u8"花边/"), u"花边");
    const fs::path deeper = standard / "a" / "b";
    EXPECT_EQ(decorationFolderValue(f.folders, DecorationKind::VerticalBar, deeper),
              utf16::fromUtf8(deeper.string()));
    // A full path read from the settings is written back as the same full path.
    const std::u16string value = u"/home/me/bars";
    const auto folder = resolveDecorationFolder(f.folders, DecorationKind::VerticalBar, value);
    ASSERT_TRUE(folder);
    EXPECT_EQ(decorationFolderValue(f.folders, DecorationKind::VerticalBar, *folder), value);
}

TEST(DecorationImageList, ListsPicturesSortedAndSkipsFolders)
{
    veyla::test::TempDir dir;
    for (const char* name : {"b.png", "a.jpg", "c.bmp", "d.gif", "notes.txt", "E.PNG"})
        touch(dir / name);
    fs::create_directories(dir / "sub.png");
    touch(dir / "sub.png/inner.png");
    const DecorationImageList list(dir.path());
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list.names()[0], fs::path("E.PNG"));
    EXPECT_EQ(list.names()[1], fs::path("a.jpg"));
    EXPECT_EQ(list.names()[2], fs::path("b.png"));
    EXPECT_EQ(list.names()[3], fs::path("c.bmp"));
    EXPECT_EQ(list.path(1), dir / "a.jpg");
    EXPECT_TRUE(DecorationImageList(dir / "missing").empty());
}

TEST(DecorationFolders, ChoicesAreTheSubFoldersOfTheStandardFolder)
{
    Folders f;
    const fs::path standard = standardDecorationFolder(f.folders, DecorationKind::Background);
    fs::create_directories(standard / u8"山水");
    fs::create_directories(standard / u8"默认");
    touch(standard / "loose.png");
    const auto choices = decorationFolderChoices(f.folders, DecorationKind::Background);
    ASSERT_EQ(choices.size(), 2u);
    EXPECT_TRUE(std::is_sorted(choices.begin(), choices.end()));
    EXPECT_NE(std::find(choices.begin(), choices.end(), u"山水"), choices.end());
    EXPECT_NE(std::find(choices.begin(), choices.end(), u"默认"), choices.end());
}

TEST(BackgroundPicture, StartPrefersAnExistingImgThenTheFoldersPicture)
{
    veyla::test::TempDir dir;
    touch(dir / "bg/1.png");
    touch(dir / "bg/2.png");
    touch(dir / "own.jpg");
    const DecorationImageList list(dir / "bg");
    DisplaySettings settings;
    settings.image = utf16::fromUtf8((dir / "own.jpg").string());
    EXPECT_EQ(startBackgroundPicture(settings, list), dir / "own.jpg");
    EXPECT_EQ(settings.count, 2);
    settings.image = std::u16string(1, u'0');  // not = u"0": GCC 12 warns falsely (-Wrestrict) at -O2
    settings.index0 = 1;
    EXPECT_EQ(startBackgroundPicture(settings, list), dir / "bg/2.png");
    settings.index0 = 7;
    EXPECT_EQ(startBackgroundPicture(settings, list), dir / "bg/1.png");
    EXPECT_EQ(settings.index0, 0);
    EXPECT_EQ(startBackgroundPicture(settings, DecorationImageList()), std::nullopt);
}

TEST(BackgroundPicture, StepsPicturesWithWrapping)
{
    veyla::test::TempDir dir;
    for (const char* name : {"1.png", "2.png", "3.png"})
        touch(dir / "bg" / name);
    const DecorationImageList list(dir / "bg");
    DisplaySettings settings;
    settings.count = 3;
    settings.index0 = 2;
    ColourSchemes schemes;
    auto step = stepBackground(settings, list, schemes, StepDirection::Next);
    EXPECT_EQ(step.kind, BackgroundStep::Kind::Picture);
    EXPECT_EQ(settings.index0, 0);
    EXPECT_EQ(step.picture, dir / "bg/1.png");
    EXPECT_EQ(settings.image, utf16::fromUtf8((dir / "bg/1.png").string()));
    stepBackground(settings, list, schemes, StepDirection::Previous);
    EXPECT_EQ(settings.index0, 2);
}

TEST(BackgroundPicture, WithoutPicturesStepsTheSchemesWhenThereAreTwo)
{
    DisplaySettings settings;
    ColourSchemes one = ColourSchemes::fromXml(
        u"<Page Bg=\"1\"><WholeCorlor WholeCount=\"1\"><CORLOR Name=\"a\" Bg=\"5\" TreeBg=\"6\" Text=\"7\"/>"
        u"</WholeCorlor></Page>");
    EXPECT_EQ(stepBackground(settings, {}, one, StepDirection::Next).kind, BackgroundStep::Kind::Nothing);
    EXPECT_EQ(one.colours().bg, 1);
    ColourSchemes two = ColourSchemes::fromXml(
        u"<Page Bg=\"5\" Text=\"7\"><WholeCorlor WholeCount=\"2\"><CORLOR Name=\"a\" Bg=\"5\" TreeBg=\"6\" "
        u"Text=\"7\"/><CORLOR Name=\"b\" Bg=\"8\" TreeBg=\"9\" Text=\"10\"/></WholeCorlor></Page>");
    EXPECT_EQ(stepBackground(settings, {}, two, StepDirection::Next).kind, BackgroundStep::Kind::Scheme);
    EXPECT_EQ(two.colours().bg, 8);
    stepBackground(settings, {}, two, StepDirection::Next);
    EXPECT_EQ(two.colours().bg, 5);
    stepBackground(settings, {}, two, StepDirection::Previous);
    EXPECT_EQ(two.colours().bg, 8);
}

}  // namespace
}  // namespace veyla::view
