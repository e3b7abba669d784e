// SPDX-License-Identifier: MIT
#include "core/library/library_folder.h"

#include <gtest/gtest.h>

#include "core/library/library_edit.h"
#include "core/util/utf16.h"
#include "support/test_support.h"

namespace veyla::library {
namespace {

namespace fs = std::filesystem;

std::vector<std::u16string> texts(const std::vector<LibraryItem>& items)
{
    std::vector<std::u16string> out;
    for (const auto& item : items)
        out.push_back(item.text);
    return out;
}

LibraryItem item(ItemKind kind, int order, bool hasChildren = false)
{
    LibraryItem i;
    i.kind = kind;
    i.order = order;
    i.hasChildren = hasChildren;
    return i;
}

TEST(LibraryFolder, OrderPrefixNeedsFourToEightDigitsAndAnUnderscore)
{
    struct Case {
        std::u16string_view name;
        std::optional<int> order;
        std::u16string_view chapterText;
    };
    const Case cases[] = {
        {u"0007_第七章风雪.xml", 7, u"第七章风雪"},
        {u"0000_序.xml", 0, u"序"},
        {u"1234_x", 1234, u"x"},
        {u"12_abc.xml", std::nullopt, u"12_abc"},    // digits not followed by "_" at position 4
        {u"00007_x.xml", 7, u"x"},                   // five digits: a book of more than 9999 chapters
        {u"10000_x.xml", 10000, u"x"},
        {u"000000001_x.xml", std::nullopt, u"000000001_x"},  // nine digits
        {u"0001x_y.xml", std::nullopt, u"0001x_y"},
        {u"00a1_x.xml", std::nullopt, u"00a1_x"},
        {u"西游记.xml", std::nullopt, u"西游记"},
        {u"0001_", 1, u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(orderPrefix(c.name), c.order) << utf16::toUtf8(c.name);
        EXPECT_EQ(itemText(c.name, ItemKind::Chapter), c.chapterText) << utf16::toUtf8(c.name);
    }
    EXPECT_EQ(itemText(u"0003_卷.xml名", ItemKind::Folder), u"卷.xml名");  // folders keep ".xml"
}

TEST(LibraryFolder, FileNamesPutThePrefixBack)
{
    EXPECT_EQ(itemFileName(ItemKind::Chapter, 8, u"新文章"), u"0008_新文章.xml");
    EXPECT_EQ(itemFileName(ItemKind::Folder, 3, u"新目录"), u"0003_新目录");
    EXPECT_EQ(itemFileName(ItemKind::Chapter, 0, u"序"), u"序.xml");
    EXPECT_EQ(itemPath("/lib", {{ItemKind::Folder, u"小说", 0}, {ItemKind::Folder, u"西游记", 2},
                                 {ItemKind::Chapter, u"第一回", 1}}),
              fs::path("/lib") / u8"小说" / u8"0002_西游记" / u8"0001_第一回.xml");
}

TEST(LibraryFolder, ListsFoldersFirstWithCategoryInFront)
{
    test::TempDir lib;
    for (const char* folder : {"b_books", "a_books", "类别", "0002_卷二", "0001_卷一", ".Trash"})
        fs::create_directories(lib / folder);
    test::writeBytes(lib / "a_books/0001_x.xml", "x");
    for (const char* file : {"0002_第二章.xml", "0001_第一章.xml", "notes.txt", ".veyla-write-abc", "Z.XML"})
        test::writeBytes(lib / file, "x");

    const auto items = listFolder(lib.path());
    EXPECT_EQ(texts(items), (std::vector<std::u16string>{u"类别", u"卷一", u"卷二", u"a_books", u"b_books",
                                                          u"第一章", u"第二章"}));
    ASSERT_EQ(items.size(), 7u);
    EXPECT_EQ(items[0].kind, ItemKind::Folder);
    EXPECT_EQ(items[5].kind, ItemKind::Chapter);
    EXPECT_EQ(items[1].order, 1);
    EXPECT_TRUE(items[3].hasChildren);   // a_books holds a chapter
    EXPECT_FALSE(items[4].hasChildren);  // b_books is empty
}

TEST(LibraryFolder, NewChapterNumbering)
{
    using V = std::vector<LibraryItem>;
    struct Case {
        V items;
        int expected;
    };
    const Case cases[] = {
        {{}, 1},
        // The last chapter carries 0007: the new one is 0008.
        {{item(ItemKind::Chapter, 3), item(ItemKind::Chapter, 7)}, 8},
        // The last child has no prefix: count the children without sub-items, plus 1.
        {{item(ItemKind::Folder, 1, true), item(ItemKind::Folder, 2, false), item(ItemKind::Chapter, 5),
          item(ItemKind::Chapter, 0)},
         4},
    };
    for (const auto& c : cases)
        EXPECT_EQ(nextChapterNumber(c.items), c.expected);
}

TEST(LibraryFolder, NewFoldersCountOnlyTheLeadingFolders)
{
    const std::vector<LibraryItem> items = {item(ItemKind::Folder, 1), item(ItemKind::Folder, 9),
                                            item(ItemKind::Chapter, 1), item(ItemKind::Chapter, 2)};
    EXPECT_EQ(leadingFolderCount(items), 2u);  // new folder 0003_新目录 goes at position 2
    EXPECT_EQ(leadingFolderCount({item(ItemKind::Chapter, 1)}), 0u);
}

TEST(LibraryEdit, RenameRefusesAnExistingName)
{
    test::TempDir lib;
    test::writeBytes(lib / "0001_a.xml", "a");
    test::writeBytes(lib / "0002_b.xml", "b");
    fs::create_directories(lib / "0001_卷");

    auto refused = renameItem(lib / "0001_a.xml", u"0002_b.xml");
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.code(), ErrorCode::AlreadyExists);
    EXPECT_EQ(test::readBytes(lib / "0002_b.xml"), "b");
    EXPECT_EQ(renameItem(lib / "0001_卷", u"0002_b.xml").code(), ErrorCode::AlreadyExists);

    auto renamed = renameItem(lib / "0001_a.xml", u"0001_新名字.xml");
    ASSERT_TRUE(renamed.ok());
    EXPECT_EQ(*renamed, lib / u8"0001_新名字.xml");
    EXPECT_EQ(test::readBytes(*renamed), "a");
    EXPECT_FALSE(fs::exists(lib / "0001_a.xml"));
    EXPECT_EQ(renameItem(lib / "0002_b.xml", u"x/y.xml").code(), ErrorCode::InvalidArgument);
    EXPECT_EQ(renameItem(lib / "missing.xml", u"z.xml").code(), ErrorCode::WriteFailed);
}

TEST(LibraryEdit, CreatesEmptyChaptersAndFoldersOnlyWhereNothingIs)
{
    test::TempDir lib;
    // Never a folder made on the way: the folder of a new item exists.
    EXPECT_EQ(createEmptyChapter(lib / "book/0001_新文章.xml").code(), ErrorCode::FileUnavailable);
    EXPECT_EQ(createFolder(lib / "book/0001_新目录").code(), ErrorCode::FileUnavailable);
    EXPECT_FALSE(fs::exists(lib / "book"));
    fs::create_directory(lib / "book");
    ASSERT_TRUE(createEmptyChapter(lib / "book/0001_新文章.xml").ok());
    EXPECT_EQ(utf16::decodeLittleEndian(test::readBytes(lib / "book/0001_新文章.xml")),
              u"<Page Count_Input=\"0\">\r\n<Body Type=\"R0\" />\r\n</Page>\r\n");
    EXPECT_EQ(createEmptyChapter(lib / "book/0001_新文章.xml").code(), ErrorCode::AlreadyExists);
    ASSERT_TRUE(createFolder(lib / "book/0001_新目录").ok());
    EXPECT_EQ(createFolder(lib / "book/0001_新目录").code(), ErrorCode::AlreadyExists);
}

TEST(LibraryEdit, ItemNamesThatCouldLeaveTheFolderAreRefused)
{
    const std::u16string longest = u"0001_" + std::u16string(250, u'a');  // 255 bytes
    const std::u16string chinese100(100, u'章');                        // 300 bytes
    struct Case {
        std::u16string name;
        bool valid;
    };
    const Case cases[] = {
        {u"", false}, {u".", false}, {u"..", false}, {u"a/b", false}, {u"a/../../x", false}, {u"/x", false},
        {std::u16string(u"a\0b", 3), false}, {chinese100, false}, {longest + u"a", false},
        {longest, true}, {u"...", true}, {u".a", true}, {u"第一章 风雪", true}, {u"a\\b", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(checkItemName(c.name).ok(), c.valid) << utf16::toUtf8(c.name);

    test::TempDir lib;
    for (const auto& c : cases) {
        // Names with "/" are paths at this level; the window checks the typed name first.
        if (c.valid || c.name.find(u'/') != std::u16string::npos)
            continue;
        EXPECT_EQ(createEmptyChapter(lib / library::pathFromText(c.name)).code(), ErrorCode::InvalidArgument);
        EXPECT_EQ(createFolder(lib / library::pathFromText(c.name)).code(), ErrorCode::InvalidArgument);
    }
    EXPECT_TRUE(fs::is_empty(lib.path()));
}

TEST(LibraryEdit, DeleteMovesBooksToTheTrashWithRestoreInfo)
{
    test::TempDir root;
    const fs::path book = root / "data/藏书库/小说/西游记";
    test::writeBytes(book / "0001_第一回.xml", "1");
    test::writeBytes(book / "0002_第二回.xml", "2");
    const platform::TrashLocations trash{root / "home-trash", root / "data/.Trash"};

    auto trashed = deleteItem(book, trash);
    ASSERT_TRUE(trashed.ok()) << trashed.error().detail;
    EXPECT_FALSE(fs::exists(book));
    EXPECT_EQ(test::readBytes(*trashed / "0002_第二回.xml"), "2");
    const std::string info = test::readBytes(root / "home-trash/info" / (trashed->filename().string() + ".trashinfo"));
    EXPECT_NE(info.find("[Trash Info]\nPath=/"), std::string::npos);
    EXPECT_NE(info.find("%E8%A5%BF%E6%B8%B8%E8%AE%B0"), std::string::npos);  // 西游记, percent-encoded

    // A second item of the same name gets a new name in the trash.
    test::writeBytes(book / "0001_第一回.xml", "again");
    auto second = deleteItem(book, trash);
    ASSERT_TRUE(second.ok());
    EXPECT_NE(*second, *trashed);

    // When the home trash cannot be used, the data folder's trash takes the item.
    test::writeBytes(root / "blocked", "");
    test::writeBytes(root / "data/藏书库/lone.xml", "x");
    auto fallback = deleteItem(root / "data/藏书库/lone.xml", {root / "blocked/Trash", root / "data/.Trash"});
    ASSERT_TRUE(fallback.ok());
    EXPECT_EQ(fallback->parent_path(), root / "data/.Trash/files");
    EXPECT_EQ(deleteItem(root / "absent.xml", trash).code(), ErrorCode::FileUnavailable);
}

}  // namespace
}  // namespace veyla::library
