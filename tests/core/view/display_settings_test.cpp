// SPDX-License-Identifier: MIT
#include "core/view/display_settings.h"

#include <gtest/gtest.h>

#include "core/util/utf16.h"
#include "support/test_support.h"
#include "view_test_support.h"

namespace veyla::view {
namespace {

namespace fs = std::filesystem;

struct Folders : test::TempAppFolders {

    void writeIni(const fs::path& root, std::u16string_view text) const
    {
        fs::create_directories(root / "control");
        veyla::test::writeBytes(root / "control/preSet.ini", "\xFF\xFE" + utf16::encodeLittleEndian(text));
    }
};

TEST(DisplaySettings, WithoutAFileEveryValueIsBuiltIn)
{
    Folders f;
    const DisplaySettings settings = readDisplaySettings(f.folders);
    EXPECT_EQ(settings, DisplaySettings{});
    EXPECT_EQ(settings.textSize, 28);
    EXPECT_EQ(settings.comment, 28);
    EXPECT_EQ(settings.single, 28);
    EXPECT_EQ(settings.annotation, 28);
    EXPECT_EQ(settings.backgroundDir, u"无");
    EXPECT_EQ(settings.lineDir, u"默认");
}

TEST(DisplaySettings, AFileWithoutTheKeysGivesTheMissingKeyDefaults)
{
    Folders f;
    f.writeIni(f.data.path(), u"[Other]\r\nx=1\r\n");
    const DisplaySettings settings = readDisplaySettings(f.folders);
    // The annotation keys differ between a missing key (22) and no file (28).
    EXPECT_EQ(settings.comment, 22);
    EXPECT_EQ(settings.single, 22);
    EXPECT_EQ(settings.annotation, 22);
    EXPECT_EQ(settings.backgroundDir, u"");
    EXPECT_EQ(settings.verticalDir, u"");
    EXPECT_EQ(settings.image, u"0");
    EXPECT_EQ(settings.index1, 1);
    EXPECT_EQ(settings.aliyunSpeaker, u"aiqian");
    EXPECT_EQ(settings.pramWidth, 3);
    EXPECT_EQ(settings.verticalWidth, 200);
    EXPECT_EQ(settings.pageWidth, 1000);
    EXPECT_EQ(settings.speakHead, u"\r\n");
}

TEST(DisplaySettings, ValuesOutOfRangeAreClampedOnReadingAndWrittenClamped)
{
    Folders f;
    f.writeIni(f.data.path(),
               u"[Size]\r\nTextSize=0\r\nCodeTextSize=-5\r\n[Distance]\r\nRow=-1486618625\r\nPram=99999999\r\n"
               u"[Voice]\r\nnRate=40\r\nnVoice=-3\r\n[Background]\r\nIndex0=-7\r\nCount=-1\r\nnPramBZ=9\r\n"
               u"[Color]\r\nnVerticalWidth=0\r\nnPramWidth=500\r\nnWholeTB0=-9\r\nnWholeLR0=2147483647\r\n"
               u"[Page]\r\nnPageWidth=0\r\n[LocalWebSet]\r\nPage=0\r\n[Parse]\r\nnParse=99999999999999\r\n");
    const DisplaySettings s = readDisplaySettings(f.folders);
    struct Case {
        const char* name;
        int value;
        int expected;
    };
    const Case cases[] = {
        {"TextSize", s.textSize, 9},          {"CodeTextSize", s.codeTextSize, 9},
        {"Row", s.rowSpacing, 0},              {"Pram", s.paragraphSpacing, 100},
        {"nRate", s.rate, 10},                 {"nVoice", s.voice, 0},
        {"Index0", s.index0, 0},               {"Count", s.count, 0},
        {"nPramBZ", s.annotationRange, 2},     {"nVerticalWidth", s.verticalWidth, 200},
        {"nPramWidth", s.pramWidth, 50},       {"nWholeTB0", s.wholeTB0, -1},
        {"nWholeLR0", s.wholeLR0, 100000},     {"nPageWidth", s.pageWidth, 100},
        {"LocalWebSet Page", s.webPageSize, 1}, {"nParse", s.parse, 100000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.value, c.expected) << c.name;

    ASSERT_TRUE(writeDisplaySettings(f.folders, s).ok());
    const auto written = platform::IniFile::load(f.folders.dataControl("preSet.ini"));
    EXPECT_EQ(written.integer(u"Size", u"TextSize", 0), 9);
    EXPECT_EQ(written.integer(u"Distance", u"Row", 1), 0);
    EXPECT_EQ(readDisplaySettings(f.folders), s);
}

TEST(DisplaySettings, ReadsTheProgramFolderCopyWhenTheDataFolderHasNone)
{
    Folders f;
    f.writeIni(f.program.path(), u"[Size]\r\nTextSize=31\r\n[Distance]\r\nRow=7\r\n");
    EXPECT_EQ(readDisplaySettings(f.folders).textSize, 31);
    EXPECT_EQ(readDisplaySettings(f.folders).rowSpacing, 7);
    f.writeIni(f.data.path(), u"[Size]\r\nTextSize=33\r\n");
    EXPECT_EQ(readDisplaySettings(f.folders).textSize, 33);
    EXPECT_EQ(readDisplaySettings(f.folders).rowSpacing, 20);
}

TEST(DisplaySettings, EmptyColorValuesKeepTheBuiltInDefault)
{
    const auto ini = platform::IniFile::fromBytes(
        utf16::toUtf8(u"[Color]\r\nnPramWidth=\r\nnHorize=9\r\nbWholeTop=\r\n[Size]\r\nTextSize=\r\n"));
    const DisplaySettings settings = displaySettingsFromIni(ini);
    EXPECT_EQ(settings.pramWidth, 3);
    EXPECT_EQ(settings.horize, 9);
    EXPECT_FALSE(settings.wholeTop);
    // Outside the Color section an empty number reads as 0, then the smallest usable size.
    EXPECT_EQ(settings.textSize, 9);
}

DisplaySettings unusualSettings()
{
    DisplaySettings s;
    s.voice = 2;
    s.rate = -4;
    s.textSize = 33;
    s.codeTextSize = 19;
    s.webPageSize = 50;
    s.comment = 1;
    s.single = 0;
    s.annotation = 7;
    s.rowSpacing = 11;
    s.paragraphSpacing = 13;
    s.fontName = u"楷体";
    s.codeFontName = u"Mono";
    s.verticalDir = u"花边";
    s.lineDir = u"/home/me/lines";
    s.parmDir = u"无";
    s.backgroundDir = u"山水";
    s.index0 = 4;
    s.index1 = 5;
    s.count = 9;
    s.annotationRange = 2;
    s.vertical = true;
    s.line = true;
    s.codeBackground = true;
    s.parse = 1;
    s.image = u"/pics/a.png";
    s.wholeLR0 = 3;
    s.wholeTB0 = -1;
    s.wholeLeft = true;
    s.wholeBottom = true;
    s.pramWidth = 20;
    s.pramLength = 40;
    s.horize = 12;
    s.verticalPosition = 60;
    s.verticalWidth = 300;
    s.select = 2;
    s.lineMode = 1;
    s.pramMode = 4;
    s.verticalMode = 1;
    s.pageWidth = 1234;
    s.openAll = false;
    s.searchAll = true;
    return s;
}

TEST(DisplaySettings, WriteThenReadGivesTheSameValues)
{
    Folders f;
    DisplaySettings written = unusualSettings();
    ASSERT_TRUE(writeDisplaySettings(f.folders, written).ok());
    DisplaySettings read = readDisplaySettings(f.folders);
    // Keys that are written but never read, and those read but never written.
    read.parseBook = written.parseBook;
    read.wholeLR1 = written.wholeLR1;
    read.wholeTB1 = written.wholeTB1;
    read.speakHead = written.speakHead;
    read.speakEnd = written.speakEnd;
    EXPECT_EQ(read, written);
}

TEST(DisplaySettings, ExitWritesEveryKeyInItsOrder)
{
    platform::IniFile ini;
    DisplaySettings settings;
    settings.fontName = u"楷体";
    storeDisplaySettings(settings, ini);
    const std::u16string expected =
        u"[Img]\r\nImg=0\r\n"
        u"[Size]\r\nTextSize=28\r\nCodeTextSize=22\r\n"
        u"[LocalWebSet]\r\nPage=120\r\n"
        u"[Distance]\r\nRow=20\r\nPram=20\r\n"
        u"[FontName]\r\nFontName=楷体\r\n"
        u"[Start]\r\nOpenAll=1\r\n"
        u"[Search]\r\nall=0\r\n"
        u"[Biaozhu]\r\nbComment=28\r\nbSingle=28\r\nnBiaozhu=28\r\n"
        u"[Voice]\r\nnVoice=0\r\nnRate=0\r\n"
        u"[Background]\r\nBackground=无\r\nparmDir=默认\r\nnPramBZ=0\r\nbVertical=0\r\nbHorizon=0\r\nbLine=0\r\n"
        u"bCodeBg=0\r\nverticalDir=默认\r\nlineDir=默认\r\nIndex0=0\r\nIndex1=1\r\nCount=0\r\n"
        u"[Parse]\r\nnParse=0\r\nnParseBook=0\r\n"
        u"[Color]\r\nnWholeTB0=0\r\nnWholeTB1=0\r\nnWholeLR0=0\r\nnWholeLR1=0\r\nbWholeLeft=0\r\nbWholeTop=0\r\n"
        u"bWholeBottom=0\r\nnLineMode=0\r\nnPramMode=0\r\nnVerticalMode=0\r\nnPramLen=0\r\nnPramWidth=3\r\n"
        u"nHorize=3\r\nnVertical=3\r\nnVerticalWidth=200\r\nnSelect=0\r\n"
        u"[Page]\r\nnPageWidth=1000\r\n";
    EXPECT_EQ(ini.toBytes(), "\xFF\xFE" + utf16::encodeLittleEndian(expected));
}

TEST(DisplaySettings, WritingKeepsOtherKeysOfTheCopyThatWasRead)
{
    Folders f;
    f.writeIni(f.program.path(), u"[Import]\r\nmode=3\r\n[Size]\r\nTextSize=40\r\n");
    ASSERT_TRUE(writeDisplaySettings(f.folders, readDisplaySettings(f.folders)).ok());
    const auto written = platform::IniFile::load(f.folders.dataControl("preSet.ini"));
    EXPECT_EQ(written.value(u"Import", u"mode"), u"3");
    EXPECT_EQ(written.value(u"Size", u"TextSize"), u"40");
    // The program folder's copy is left as it was.
    EXPECT_FALSE(platform::IniFile::load(f.folders.programControl("preSet.ini")).contains(u"Page", u"nPageWidth"));
}

TEST(DisplaySettings, EmptyFontNamesAreNotWritten)
{
    platform::IniFile ini;
    storeDisplaySettings(DisplaySettings{}, ini);
    EXPECT_FALSE(ini.contains(u"FontName", u"FontName"));
    EXPECT_FALSE(ini.contains(u"FontName", u"CodeFontName"));
}

TEST(DisplaySettings, ChoosingTheDefaultFaceIsRemembered)
{
    Folders f;
    f.writeIni(f.program.path(), u"[FontName]\r\nFontName=楷体\r\nCodeFontName=Mono\r\n");
    DisplaySettings settings = readDisplaySettings(f.folders);
    ASSERT_EQ(settings.fontName, u"楷体");
    settings.fontName.clear();  // "默认" chosen
    settings.codeFontName.clear();
    ASSERT_TRUE(writeDisplaySettings(f.folders, settings).ok());
    const auto written = platform::IniFile::load(f.folders.dataControl("preSet.ini"));
    EXPECT_EQ(written.value(u"FontName", u"FontName"), u"默认");
    EXPECT_EQ(written.value(u"FontName", u"CodeFontName"), u"默认");
    // Read again, it is the default face, not the face chosen before.
    const DisplaySettings again = readDisplaySettings(f.folders);
    EXPECT_TRUE(again.fontName.empty() || again.fontName == u"默认");
}

TEST(DisplaySettings, AudioFormatIsReadByNameAndWrittenOnceChanged)
{
    const std::vector<std::pair<std::u16string, std::u16string>> cases{
        {u"opus", u"opus"}, {u"M4B", u"m4b"}, {u"wav", u"wav"}, {u"mp3", u"wav"}, {u"", u"wav"}, {u" opus ", u"opus"}, {u"opus2", u"wav"}};
    for (const auto& [written, read] : cases) {
        Folders f;
        f.writeIni(f.data.path(), u"[Voice]\r\nAudioFormat=" + written + u"\r\n");
        EXPECT_EQ(readDisplaySettings(f.folders).audioFormat, read) << utf16::toUtf8(written);
    }
    // The built-in WAV adds no key; a format chosen once stays written.
    platform::IniFile ini;
    DisplaySettings settings;
    storeDisplaySettings(settings, ini);
    EXPECT_FALSE(ini.contains(u"Voice", u"AudioFormat"));
    settings.audioFormat = u"opus";
    storeDisplaySettings(settings, ini);
    EXPECT_EQ(ini.value(u"Voice", u"AudioFormat"), u"opus");
    settings.audioFormat = u"wav";
    storeDisplaySettings(settings, ini);
    EXPECT_EQ(ini.value(u"Voice", u"AudioFormat"), u"wav");
}

}  // namespace
}  // namespace veyla::view
