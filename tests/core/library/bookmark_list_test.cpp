// SPDX-License-Identifier: MIT
#include "core/library/bookmark_list.h"

#include <gtest/gtest.h>

#include "core/library/recent_paths.h"
#include "core/platform/ini_file.h"
#include "core/util/utf16.h"
#include "support/test_support.h"

namespace veyla::library {
namespace {

namespace fs = std::filesystem;

std::string fileOf(std::u16string_view text)
{
    return "\xFF\xFE" + utf16::encodeLittleEndian(text);
}

BookmarkList parse(std::u16string_view text)
{
    BookmarkList::LoadResult result{};
    auto list = BookmarkList::fromBytes(fileOf(text), result);
    EXPECT_EQ(result, BookmarkList::LoadResult::Loaded);
    return list;
}

TEST(BookmarkList, ReadsGroupsAndEntries)
{
    const auto list = parse(
        u"stray|1\r\n"                      // before the first header: ignored
        u"西游记*7\r\n"                      // the count is not trusted
        u"小说♥西游记♥0001_第一回.xml|120\r\n"
        u"小说♥西游记♥0002_a|b.xml|5\r\n"     // the position follows the last "|"
        u"**空组*1\r\n"                      // leading "*" skipped; a group without entries is dropped
        u"红楼梦*1\r\n"
        u"小说♥红楼梦♥0003_x.xml\r\n");      // no "|": position 0
    ASSERT_EQ(list.groups().size(), 2u);
    EXPECT_EQ(list.groups()[0].title, u"西游记");
    ASSERT_EQ(list.groups()[0].entries.size(), 2u);
    EXPECT_EQ(list.groups()[0].entries[0].position, 120);
    EXPECT_EQ(list.groups()[0].entries[1].text, u"小说♥西游记♥0002_a|b.xml");
    EXPECT_EQ(list.groups()[0].entries[1].position, 5);
    EXPECT_EQ(list.groups()[1].entries[0].position, 0);
    EXPECT_EQ(list.size(), 3u);
}

TEST(BookmarkList, WritesCountsThatMatchTheEntries)
{
    const auto list = parse(u"书*7\r\na|1\r\nb|2\r\n");
    EXPECT_EQ(list.toBytes(), fileOf(u"书*2\r\na|1\r\nb|2\r\n"));
    EXPECT_TRUE(parse(u"only header*3\r\n").empty());
}

TEST(BookmarkList, SaveAndLoadRoundTrip)
{
    test::TempDir dir;
    BookmarkList list;
    list.add(u"西游记", {bookmarkText({u"小说", u"西游记", u"0001_第一回.xml"}), 42});
    list.add(u"西游记", {bookmarkText({u"小说", u"西游记", u"0002_第二回.xml"}), 0});
    list.add(u"Tom", {u"en♥Tom♥0001_I.xml", 7});
    const fs::path file = dir / "control/bookmark.txt";
    ASSERT_TRUE(list.save(file).ok());
    EXPECT_EQ(test::readBytes(file),
              fileOf(u"西游记*2\r\n小说♥西游记♥0001_第一回.xml|42\r\n小说♥西游记♥0002_第二回.xml|0\r\n"
                     u"Tom*1\r\nen♥Tom♥0001_I.xml|7\r\n"));
    BookmarkList back;
    EXPECT_EQ(back.load(file), BookmarkList::LoadResult::Loaded);
    EXPECT_EQ(back.toBytes(), list.toBytes());
    EXPECT_TRUE(back.contains(u"en♥Tom♥0001_I.xml"));
}

TEST(BookmarkList, FileWithoutMarkIsKeptAside)
{
    test::TempDir dir;
    const fs::path file = dir / "bookmark.txt";
    test::writeBytes(file, "title*1\r\nentry|3\r\n");
    BookmarkList list;
    EXPECT_EQ(list.load(file), BookmarkList::LoadResult::NotUnicode);
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(test::readBytes(dir / "bookmark.txt.unreadable"), "title*1\r\nentry|3\r\n");
    EXPECT_EQ(list.load(dir / "absent.txt"), BookmarkList::LoadResult::Missing);

    // A second one never replaces the first kept aside.
    test::writeBytes(file, "again");
    EXPECT_EQ(list.load(file), BookmarkList::LoadResult::NotUnicode);
    EXPECT_EQ(test::readBytes(dir / "bookmark.txt.unreadable"), "title*1\r\nentry|3\r\n");
    EXPECT_EQ(test::readBytes(dir / "bookmark.txt.unreadable.2"), "again");
}

TEST(BookmarkList, AFileThatCannotBeReadIsKeptAsideBeforeSaving)
{
    test::TempDir dir;
    // A folder where the file should be cannot be read, whoever runs the test.
    const fs::path file = dir / "bookmark.txt";
    fs::create_directories(file / "inside");
    BookmarkList list;
    EXPECT_EQ(list.load(file), BookmarkList::LoadResult::Unreadable);
    EXPECT_TRUE(fs::is_directory(dir / "bookmark.txt.unreadable/inside"));
    list.add(u"g", {u"x.xml", 1});
    ASSERT_TRUE(list.save(file).ok());
    EXPECT_TRUE(fs::is_directory(dir / "bookmark.txt.unreadable/inside"));
}

TEST(BookmarkList, RenamesFollowTreeItems)
{
    BookmarkList list;
    list.add(u"g", {u"小说♥0002_西游记♥0001_第一回.xml", 1});
    list.add(u"g", {u"小说♥0002_西游记♥0002_第二回.xml`", 2});
    list.add(u"g", {u"小说♥0003_红楼梦♥0001_第一回.xml", 3});
    // Renaming the book folder changes every chapter under it, exit mark kept.
    EXPECT_EQ(list.renameItem({u"小说", u"0002_西游记"}, u"0002_西遊記"), 2);
    EXPECT_EQ(list.groups()[0].entries[0].text, u"小说♥0002_西遊記♥0001_第一回.xml");
    EXPECT_EQ(list.groups()[0].entries[1].text, u"小说♥0002_西遊記♥0002_第二回.xml`");
    // Renaming a chapter changes only that entry.
    EXPECT_EQ(list.renameItem({u"小说", u"0003_红楼梦", u"0001_第一回.xml"}, u"0001_楔子.xml"), 1);
    EXPECT_EQ(list.groups()[0].entries[2].text, u"小说♥0003_红楼梦♥0001_楔子.xml");
    EXPECT_EQ(bookmarkNames(u"a♥b♥c.xml`"), (std::vector<std::u16string>{u"a", u"b", u"c.xml"}));
}

TEST(BookmarkList, RemovingTheLastEntryDropsTheGroup)
{
    BookmarkList list;
    list.add(u"g", {u"a", 0});
    list.add(u"h", {u"b", 0});
    EXPECT_TRUE(list.remove(0, 0));
    ASSERT_EQ(list.groups().size(), 1u);
    EXPECT_EQ(list.groups()[0].title, u"h");
    EXPECT_FALSE(list.remove(3, 0));
}

TEST(RecentPaths, KeepsFourMostRecentFirst)
{
    RecentPaths recent;
    EXPECT_TRUE(recent.add(u"/a"));
    EXPECT_FALSE(recent.add(u"/A"));  // already first, compared without case
    recent.add(u"/b");
    recent.add(u"/c");
    recent.add(u"/d");
    EXPECT_EQ(recent.count(), 4u);
    recent.add(u"/e");  // a fifth path drops the oldest
    EXPECT_EQ(recent.at(0), u"/e");
    EXPECT_EQ(recent.at(3), u"/b");
    recent.add(u"/C");  // an entry further down moves to the front
    EXPECT_EQ(recent.count(), 4u);
    EXPECT_EQ(recent.at(0), u"/C");
    EXPECT_EQ(recent.at(1), u"/e");
    EXPECT_EQ(recent.at(2), u"/d");
    EXPECT_EQ(recent.at(3), u"/b");
}

TEST(RecentPaths, WritesTheMruFileSection)
{
    test::TempDir dir;
    RecentPaths recent;
    recent.add(u"/books");
    const fs::path ini = dir / "control/recent.ini";
    ASSERT_TRUE(recent.save(ini).ok());
    const auto file = platform::IniFile::load(ini);
    EXPECT_EQ(file.integer(u"Mru File", u"FileNum", -1), 1);
    EXPECT_EQ(file.value(u"Mru File", u"1"), u"/books");
    EXPECT_TRUE(file.contains(u"Mru File", u"4"));
    recent.clear();
    ASSERT_TRUE(recent.save(ini).ok());
    EXPECT_EQ(platform::IniFile::load(ini).integer(u"Mru File", u"FileNum", -1), 0);
    EXPECT_EQ(platform::IniFile::load(ini).value(u"Mru File", u"1", u"x"), u"");
}

}  // namespace
}  // namespace veyla::library
