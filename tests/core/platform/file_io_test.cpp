// SPDX-License-Identifier: MIT
#include "core/platform/file_io.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace veyla::platform {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> temporaries(const fs::path& folder)
{
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().rfind(kTemporaryFilePrefix, 0) == 0)
            found.push_back(entry.path());
    }
    return found;
}

TEST(FileIo, AtomicWriteCreatesAndReplaces)
{
    test::TempDir dir;
    const fs::path target = dir / "chapter.xml";
    ASSERT_TRUE(writeFileAtomically(target, "first").ok());
    EXPECT_EQ(test::readBytes(target), "first");
    ASSERT_TRUE(writeFileAtomically(target, std::string("sec\0ond", 7)).ok());
    EXPECT_EQ(test::readBytes(target), std::string("sec\0ond", 7));
    EXPECT_TRUE(temporaries(dir.path()).empty());
}

TEST(FileIo, AtomicWriteKeepsPermissionsAndHonoursOwnerOnly)
{
    test::TempDir dir;
    const fs::path shared = dir / "shared.ini";
    test::writeBytes(shared, "old");
    fs::permissions(shared, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(writeFileAtomically(shared, "new").ok());
    EXPECT_EQ(fs::status(shared).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    const fs::path secret = dir / "passwords";
    ASSERT_TRUE(writeFileAtomically(secret, "x", FileAccess::OwnerOnly).ok());
    EXPECT_EQ(fs::status(secret).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
}

TEST(FileIo, FailuresAreReportedAndLeaveNothingBehind)
{
    test::TempDir dir;
    auto missingFolder = writeFileAtomically(dir / "no/such/folder/x.xml", "x");
    ASSERT_FALSE(missingFolder);
    EXPECT_EQ(missingFolder.code(), ErrorCode::WriteFailed);

    if (::geteuid() != 0) {  // root ignores folder permissions
        fs::create_directory(dir / "locked");
        test::writeBytes(dir / "locked/file.xml", "keep");
        fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_EQ(writeFileAtomically(dir / "locked/file.xml", "new").code(), ErrorCode::WriteFailed);
        fs::permissions(dir / "locked", fs::perms::owner_all);
        EXPECT_EQ(test::readBytes(dir / "locked/file.xml"), "keep");
        EXPECT_TRUE(temporaries(dir / "locked").empty());
    }

    // Writing over a folder fails and keeps the folder.
    fs::create_directory(dir / "folder.xml");
    EXPECT_FALSE(writeFileAtomically(dir / "folder.xml", "x"));
    EXPECT_TRUE(fs::is_directory(dir / "folder.xml"));
    EXPECT_TRUE(temporaries(dir.path()).empty());
}

TEST(FileIo, ReadReportsMissingFilesAndFolders)
{
    test::TempDir dir;
    EXPECT_EQ(readWholeFile(dir / "absent").code(), ErrorCode::FileUnavailable);
    EXPECT_EQ(readWholeFile(dir.path()).code(), ErrorCode::FileUnavailable);
    std::string big(300000, 'q');
    test::writeBytes(dir / "big", big);
    EXPECT_EQ(*readWholeFile(dir / "big"), big);
}

}  // namespace
}  // namespace veyla::platform
