// SPDX-License-Identifier: MIT
#include "core/platform/atomic_file_writer.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace veyla::platform {
namespace {

namespace fs = std::filesystem;

std::size_t entries(const fs::path& folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(AtomicFileWriter, FileAppearsWholeOnlyAtCommit)
{
    test::TempDir dir;
    const fs::path path = dir / "out.bin";
    auto writer = AtomicFileWriter::create(path);
    ASSERT_TRUE(writer.ok());
    ASSERT_TRUE(writer->append("HEADxxxx").ok());
    ASSERT_TRUE(writer->append("body").ok());
    EXPECT_FALSE(fs::exists(path)) << "nothing at the path before commit";
    ASSERT_TRUE(writer->writeAt(4, "1234").ok());
    ASSERT_TRUE(writer->commit().ok());
    EXPECT_EQ(test::readBytes(path), "HEAD1234body");
    EXPECT_EQ(entries(dir.path()), 1u) << "no temporary file is left";
    EXPECT_EQ(writer->append("more").code(), ErrorCode::WriteFailed);
}

TEST(AtomicFileWriter, AbandonedWriterLeavesTheOldFile)
{
    test::TempDir dir;
    const fs::path path = dir / "keep.txt";
    test::writeBytes(path, "old");
    {
        auto writer = AtomicFileWriter::create(path);
        ASSERT_TRUE(writer.ok());
        ASSERT_TRUE(writer->append("new and unfinished").ok());
        AtomicFileWriter moved = std::move(*writer);
        ASSERT_TRUE(moved.append(" still").ok());
    }
    EXPECT_EQ(test::readBytes(path), "old");
    EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(AtomicFileWriter, MissingFolderIsAWriteFailure)
{
    test::TempDir dir;
    EXPECT_EQ(AtomicFileWriter::create(dir / "no" / "such" / "file").code(), ErrorCode::WriteFailed);
}

}  // namespace
}  // namespace veyla::platform
