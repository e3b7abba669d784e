// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "core/import/novel_importer.h"
#include "support/test_support.h"

namespace veyla::import {
namespace {

namespace fs = std::filesystem;

// Links are followed once: a link back up the tree, or a second link to a
// folder walked already, imports nothing again.
TEST(FolderImport, NoFolderIsWalkedTwice)
{
    test::TempDir dir;
    const fs::path in = dir / "in";
    test::writeBytes(in / "a.txt", "第一本书的正文。\n");
    test::writeBytes(in / "sub/b.txt", "第二本书的正文。\n");
    fs::create_directory_symlink(in, in / "sub/loop");
    fs::create_directory_symlink(in / "sub", in / "zz_again");
    const FolderReport report = importNovelFolder(in, dir / "out", {});
    EXPECT_EQ(report.books.size(), 2u);
    EXPECT_TRUE(report.failures.empty());
    EXPECT_EQ(report.folders, 1);
    EXPECT_FALSE(fs::exists(dir / "out/sub/loop"));
    EXPECT_FALSE(fs::exists(dir / "out/zz_again"));
}

}  // namespace
}  // namespace veyla::import
