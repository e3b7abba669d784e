// SPDX-License-Identifier: MIT
#include "core/view/annotation_categories.h"

#include <gtest/gtest.h>

#include "core/library/chapter_file.h"
#include "core/util/utf16.h"
#include "support/test_support.h"
#include "view_test_support.h"

namespace veyla::view {
namespace {

namespace fs = std::filesystem;

using Folders = test::TempAppFolders;

TEST(AnnotationCategories, DefaultNames)
{
    const AnnotationCategories categories;
    EXPECT_EQ(categories.name(0), u"风景");
    EXPECT_EQ(categories.name(3), u"对白");
    EXPECT_EQ(categories.name(8), u"借鉴");
    EXPECT_EQ(categories.name(9), u"类10");
    EXPECT_EQ(categories.name(10), u"类11");
    EXPECT_EQ(categories.name(19), u"类20");
}

TEST(AnnotationCategories, ReadEditWrite)
{
    Folders f;
    EXPECT_EQ(AnnotationCategories::read(f.folders).names(), AnnotationCategories().names());
    AnnotationCategories categories;
    categories.setName(1, u"打斗");
    categories.setName(19, u"杂记");
    categories.setName(0, u"");
    ASSERT_TRUE(categories.write(f.folders).ok());
    const AnnotationCategories read = AnnotationCategories::read(f.folders);
    EXPECT_EQ(read.names(), categories.names());
    EXPECT_EQ(read.name(1), u"打斗");
    EXPECT_EQ(read.name(0), u"风景");
    const std::u16string xml = utf16::decodeLittleEndian(veyla::test::readBytes(f.folders.dataControl("Biaozhu.xml")));
    EXPECT_TRUE(utf16::contains(xml, u"<Biaozhu B1=\"风景\" B2=\"打斗\" B3=\"心理\""));
}

TEST(AnnotationCategories, EmptyAttributesKeepTheirDefaults)
{
    const auto categories = AnnotationCategories::fromXml(u"<Biaozhu B1=\"\" B2=\"人物\"/>");
    EXPECT_EQ(categories.name(0), u"风景");
    EXPECT_EQ(categories.name(1), u"人物");
    EXPECT_EQ(categories.name(2), u"心理");
}

TEST(Excerpt, CreatesTheNotesChapterThenAppendsToIt)
{
    Folders f;
    ASSERT_TRUE(fileExcerpt(f.folders, u"精彩", u"第一段摘录").ok());
    const fs::path path = f.folders.libraryFolder() / u8"00笔记" / u8"精彩.xml";
    ASSERT_TRUE(fs::exists(path));
    ASSERT_TRUE(fileExcerpt(f.folders, u"精彩", u"第二段\r\n第三段\r\n").ok());
    auto chapter = library::readChapter(path, {});
    ASSERT_TRUE(chapter.ok());
    ASSERT_EQ(chapter->paragraphs.size(), 3u);
    EXPECT_EQ(chapter->paragraphs[0].text(), u"第一段摘录\r");
    EXPECT_EQ(chapter->paragraphs[2].text(), u"第三段\r");
}

TEST(Excerpt, RefusesNamesThatLeaveTheNotesFolderAndEmptyText)
{
    Folders f;
    for (std::u16string_view name : {u"", u"..", u"a/b", u"a\\b"})
        EXPECT_EQ(fileExcerpt(f.folders, name, u"x").code(), ErrorCode::InvalidArgument) << utf16::toUtf8(name);
    EXPECT_EQ(fileExcerpt(f.folders, u"精彩", u"").code(), ErrorCode::InvalidArgument);
    EXPECT_FALSE(fs::exists(f.folders.libraryFolder()));
}

}  // namespace
}  // namespace veyla::view
