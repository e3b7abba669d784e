// SPDX-License-Identifier: MIT
#include "core/platform/app_folders.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace veyla::platform {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

class AppFoldersTest : public ::testing::Test {
protected:
    // A fake installation: <root>/bin/veyla, optionally with control/ beside it.
    fs::path makeExecutable(bool controlBeside, bool portable)
    {
        const fs::path bin = m_root / "bin";
        fs::create_directories(bin);
        if (controlBeside)
            fs::create_directories(bin / "control");
        if (portable)
            test::writeBytes(bin / "portable", "");
        return bin / "veyla";
    }

    FolderInputs inputs(const fs::path& executable) const
    {
        FolderInputs in;
        in.executable = executable;
        in.home = (m_root / "home").string();
        return in;
    }

    TempDir m_temp;
    fs::path m_root = m_temp.path();
};

TEST_F(AppFoldersTest, BuildTreeIsProgramFolderWithPerUserData)
{
    const auto folders = resolveAppFolders(inputs(makeExecutable(true, false)));
    EXPECT_EQ(folders.programFolder, m_root / "bin");
    EXPECT_EQ(folders.dataFolder, m_root / "home" / ".local" / "share" / "veyla");
}

TEST_F(AppFoldersTest, PortableMarkerKeepsDataNextToTheProgram)
{
    const auto folders = resolveAppFolders(inputs(makeExecutable(true, true)));
    EXPECT_EQ(folders.dataFolder, m_root / "bin");
    EXPECT_EQ(folders.libraryFolder(), m_root / "bin" / u8"藏书库");
}

TEST_F(AppFoldersTest, InstalledLayoutUsesShareFolder)
{
    fs::create_directories(m_root / "share" / "veyla" / "control");
    auto in = inputs(makeExecutable(false, false));
    in.xdgDataHome = (m_root / "xdg").string();
    const auto folders = resolveAppFolders(in);
    EXPECT_EQ(folders.programFolder, m_root / "share" / "veyla");
    EXPECT_EQ(folders.dataFolder, m_root / "xdg" / "veyla");
}

TEST_F(AppFoldersTest, OverrideWinsOverEverything)
{
    auto in = inputs(makeExecutable(true, true));
    in.dataOverride = m_root / "elsewhere";
    in.xdgDataHome = (m_root / "xdg").string();
    EXPECT_EQ(resolveAppFolders(in).dataFolder, m_root / "elsewhere");
}

TEST_F(AppFoldersTest, ControlFilePrefersTheDataFolder)
{
    AppFolders folders{m_root / "program", m_root / "data"};
    test::writeBytes(folders.programControl("preSet.ini"), "p");
    EXPECT_EQ(folders.controlFile("preSet.ini"), folders.programControl("preSet.ini"));
    test::writeBytes(folders.dataControl("preSet.ini"), "d");
    EXPECT_EQ(folders.controlFile("preSet.ini"), folders.dataControl("preSet.ini"));
}

TEST_F(AppFoldersTest, MakeFoldersTreatsXmlAndWavPathsAsFiles)
{
    struct Case {
        fs::path relative;
        fs::path folderMade;
        bool leafIsFolder;
    };
    const Case cases[] = {
        {"a/b/0001_x.xml", "a/b", false},
        {"audio/book/0001.wav", "audio/book", false},
        {"c/d/plain", "c/d/plain", true},
        {"e/f.txt", "e/f.txt", true},  // only .xml and .wav name files
    };
    for (const auto& c : cases) {
        const fs::path path = m_root / c.relative;
        makeFoldersForPath(path);
        EXPECT_TRUE(fs::is_directory(m_root / c.folderMade)) << c.relative;
        EXPECT_EQ(fs::is_directory(path), c.leafIsFolder) << c.relative;
    }
    // Existing folders are left alone and failures are silent.
    makeFoldersForPath(m_root / "a/b/0002_y.xml");
    test::writeBytes(m_root / "blocker", "");
    makeFoldersForPath(m_root / "blocker/inner/z.xml");
    EXPECT_FALSE(fs::exists(m_root / "blocker/inner"));
}

}  // namespace
}  // namespace veyla::platform
