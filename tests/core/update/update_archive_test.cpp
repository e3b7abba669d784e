// SPDX-License-Identifier: MIT
#include "core/update/update_archive.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/epub/test_zip.h"
#include "core/update/update_test_files.h"
#include "core/util/code_page.h"
#include "support/test_support.h"

namespace veyla::update {
namespace {

namespace fs = std::filesystem;
using test::buildZip;
using test::buildZipEntries;
using test::TestZipEntry;

// A program folder as an install leaves it: a program, settings, page scripts.
void fillProgramFolder(const fs::path& folder)
{
    test::writeBytes(folder / "小说阅读", "old program");
    test::writeBytes(folder / "control" / "preSet.ini", "[Update]\nSite=\n");
    test::writeBytes(folder / "HTML" / "js" / "myVueCode.js", "old script");
}

TEST(ExtractArchive, UnpacksNewFilesAndReplacesOldOnes)
{
    test::TempDir dir;
    fillProgramFolder(dir.path());
    const std::string gbkName = encodeCodePage(u"控件/说明.txt");
    // 淺 is 9C 5C in GBK: its trail byte is a backslash, not a separator.
    const std::string trailBackslash = encodeCodePage(u"控件/淺说.txt");
    test::writeBytes(dir / "update.zip",
                     buildZipEntries({{"小说阅读", "new program"},
                                      {"HTML/js/myVueCode.js", "new script"},
                                      {"control/IMG/", ""},
                                      {gbkName, "GBK name"},
                                      {trailBackslash, "trail byte 5C"}}));
    auto written = extractArchive(dir / "update.zip", dir.path());
    ASSERT_TRUE(written.ok()) << written.error().detail;
    EXPECT_EQ(written->size(), 4u);
    EXPECT_EQ(test::readBytes(dir / "小说阅读"), "new program");
    EXPECT_EQ(test::readBytes(dir / "HTML/js/myVueCode.js"), "new script");
    EXPECT_EQ(test::readBytes(dir / "控件" / "说明.txt"), "GBK name");
    EXPECT_EQ(test::readBytes(dir / "控件" / "淺说.txt"), "trail byte 5C");
    EXPECT_TRUE(fs::is_directory(dir / "control" / "IMG"));
    EXPECT_EQ(test::readBytes(dir / "control/preSet.ini"), "[Update]\nSite=\n");
    // No staging folder is left behind.
    for (const auto& item : fs::directory_iterator(dir.path()))
        EXPECT_FALSE(item.path().filename().string().starts_with(".veyla")) << item.path();
}

// Each archive holds one hostile entry among good ones and is refused whole,
// leaving the program folder exactly as it was.
TEST(ExtractArchive, HostileArchivesAreRefusedWhole)
{
    TestZipEntry encrypted{"secret.txt", "data"};
    encrypted.flags = 1;
    TestZipEntry badCrc{"crc.txt", "data"};
    badCrc.declaredCrc = 0x12345678;
    // 8 MiB of zeros deflate to about 8 KiB: far over the ratio cap.
    TestZipEntry bomb{"bomb.bin", std::string(8u << 20, '\0')};
    TestZipEntry liar{"liar.bin", "short"};
    liar.declaredSize = 1000;
    struct Case {
        const char* what;
        std::string zip;
    };
    const std::vector<Case> cases = {
        {"parent component", buildZip({{"good.txt", "g"}, {"../x", "escape"}})},
        {"backslash parents", buildZip({{"good.txt", "g"}, {"a\\..\\..\\x", "escape"}})},
        {"absolute name", buildZip({{"good.txt", "g"}, {"/tmp/veyla-absolute-x", "escape"}})},
        {"drive letter", buildZip({{"good.txt", "g"}, {"C:\\x", "escape"}})},
        {"symlink then a file through it",
         buildZipEntries({{"good.txt", "g"}, test::symlinkEntry("link", "/tmp"), {"link/x", "through the link"}})},
        {"encrypted entry", buildZipEntries({{"good.txt", "g"}, encrypted})},
        {"CRC error", buildZipEntries({{"good.txt", "g"}, badCrc})},
        {"size that lies", buildZipEntries({{"good.txt", "g"}, liar})},
        {"zip bomb", buildZipEntries({{"good.txt", "g"}, bomb})},
        {"overlapping entries", test::overlappingZip()},
        {"same name twice", buildZip({{"good.txt", "g"}, {"good.txt", "again"}})},
        {"not a zip", std::string("PK\x03\x04 but nothing else")},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        const fs::path program = dir / "program";
        fillProgramFolder(program);
        test::writeBytes(dir / "update.zip", c.zip);
        const auto before = test::folderSnapshot(program);
        auto written = extractArchive(dir / "update.zip", program);
        EXPECT_FALSE(written.ok()) << c.what;
        EXPECT_EQ(test::folderSnapshot(program), before) << c.what;
        EXPECT_FALSE(fs::exists("/tmp/veyla-absolute-x")) << c.what;
        EXPECT_FALSE(fs::exists(dir / "x")) << c.what;
    }
}

TEST(ExtractArchive, FailureWhilePlacingPutsEverythingBack)
{
    test::TempDir dir;
    fillProgramFolder(dir.path());
    // "HTML/js/myVueCode.js" is replaced first; then "plugins" cannot be
    // written because a folder of that name is in the way.
    fs::create_directories(dir / "plugins" / "keep");
    test::writeBytes(dir / "update.zip",
                     buildZip({{"HTML/js/myVueCode.js", "new script"}, {"fresh/new.txt", "new"}, {"plugins", "file"}}));
    const auto before = test::folderSnapshot(dir.path());
    auto written = extractArchive(dir / "update.zip", dir.path());
    ASSERT_FALSE(written.ok());
    EXPECT_EQ(written.code(), ErrorCode::WriteFailed);
    auto after = test::folderSnapshot(dir.path());
    EXPECT_EQ(after, before);
}

TEST(ExtractArchive, ReadOnlyProgramFolderIsRefusedWithAMessage)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root ignores folder permissions";
    test::TempDir dir;
    const fs::path program = dir / "program";
    fillProgramFolder(program);
    test::writeBytes(dir / "update.zip", buildZip({{"小说阅读", "new"}}));
    fs::permissions(program, fs::perms::owner_read | fs::perms::owner_exec);
    const auto before = test::folderSnapshot(program);
    auto written = extractArchive(dir / "update.zip", program);
    ASSERT_FALSE(written.ok());
    EXPECT_EQ(written.code(), ErrorCode::WriteFailed);
    EXPECT_NE(written.error().detail.find(program.string()), std::string::npos);
    EXPECT_EQ(test::folderSnapshot(program), before);
}

}  // namespace
}  // namespace veyla::update
