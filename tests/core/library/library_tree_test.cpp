// SPDX-License-Identifier: MIT
#include "core/library/library_tree.h"

#include <gtest/gtest.h>

#include "core/util/utf16.h"
#include "support/test_support.h"

namespace veyla::library {
namespace {

namespace fs = std::filesystem;
using Node = LibraryTree::Node;

// 小说/西游记 with two volumes of chapters, an empty folder, and 红楼梦.
class LibraryTreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* file : {"小说/0001_西游记/0001_卷一/0001_第一回.xml", "小说/0001_西游记/0001_卷一/0002_第二回.xml",
                                 "小说/0001_西游记/0002_卷二/0001_第三回.xml", "小说/0001_西游记/0003_后记.xml",
                                 "小说/0002_红楼梦/0001_第一回.xml"})
            test::writeBytes(m_dir / file, "x");
        fs::create_directories(m_dir / "小说/0001_西游记/0000_空");
    }

    Node* find(std::initializer_list<const char16_t*> names)
    {
        std::vector<std::u16string> list;
        for (const auto* n : names)
            list.emplace_back(n);
        return m_tree.findByNames(list);
    }

    std::u16string text(const Node* node) const { return node == nullptr ? u"(none)" : node->item.text; }

    test::TempDir m_dir;
    LibraryTree m_tree{m_dir.path()};
};

TEST_F(LibraryTreeTest, LoadsLazilyAndKnowsWhichFoldersHaveItems)
{
    Node* root = m_tree.root();
    EXPECT_EQ(root->item.text, pathText(m_dir.path()));
    EXPECT_FALSE(root->loaded);
    ASSERT_TRUE(m_tree.load(root));
    ASSERT_EQ(root->children.size(), 1u);
    Node* novels = root->children[0].get();
    EXPECT_FALSE(novels->loaded);
    EXPECT_TRUE(m_tree.hasChildren(novels));
    Node* empty = find({u"小说", u"0001_西游记", u"0000_空"});
    ASSERT_NE(empty, nullptr);
    EXPECT_FALSE(m_tree.hasChildren(empty));
    EXPECT_EQ(m_tree.pathOf(find({u"小说", u"0001_西游记", u"0003_后记.xml"})),
              m_dir / "小说/0001_西游记/0003_后记.xml");
    EXPECT_EQ(m_tree.findByPath(m_dir / "小说/0002_红楼梦/0001_第一回.xml"), find({u"小说", u"0002_红楼梦", u"0001_第一回.xml"}));
    EXPECT_EQ(m_tree.findByPath("/elsewhere/x.xml"), nullptr);
}

TEST_F(LibraryTreeTest, NextAndPreviousChapterFollowTheDescentRules)
{
    struct Case {
        std::vector<const char16_t*> from;
        bool next;
        std::u16string expected;
    };
    const std::vector<Case> cases = {
        {{u"小说", u"0001_西游记", u"0001_卷一", u"0001_第一回.xml"}, true, u"第二回"},
        // End of a volume: the parent's next sibling, descending to its first leaf.
        {{u"小说", u"0001_西游记", u"0001_卷一", u"0002_第二回.xml"}, true, u"第三回"},
        {{u"小说", u"0001_西游记", u"0002_卷二", u"0001_第三回.xml"}, true, u"后记"},
        // Backwards into a folder descends to its last leaf.
        {{u"小说", u"0001_西游记", u"0003_后记.xml"}, false, u"第三回"},
        {{u"小说", u"0001_西游记", u"0002_卷二", u"0001_第三回.xml"}, false, u"第二回"},
        // From the first chapter of a volume the previous sibling of the volume is the empty folder: a leaf.
        {{u"小说", u"0001_西游记", u"0001_卷一", u"0001_第一回.xml"}, false, u"空"},
        // The last chapter of a book goes on to the next book.
        {{u"小说", u"0001_西游记", u"0003_后记.xml"}, true, u"第一回"},
    };
    for (const auto& c : cases) {
        std::vector<std::u16string> names(c.from.begin(), c.from.end());
        Node* node = m_tree.findByNames(names);
        ASSERT_NE(node, nullptr);
        Node* target = c.next ? m_tree.nextChapter(node) : m_tree.previousChapter(node);
        EXPECT_EQ(text(target), c.expected) << utf16::toUtf8(names.back()) << (c.next ? " next" : " previous");
    }
    EXPECT_EQ(m_tree.nextChapter(find({u"小说", u"0002_红楼梦", u"0001_第一回.xml"})), nullptr);
}

TEST_F(LibraryTreeTest, InsertRenameAndRemoveKeepTheTreeInStep)
{
    Node* book = find({u"小说", u"0002_红楼梦"});
    ASSERT_NE(book, nullptr);
    LibraryItem item;
    item.kind = ItemKind::Chapter;
    item.fileName = u8"0002_新文章.xml";
    item.text = u"新文章";
    item.order = 2;
    Node* added = m_tree.insert(book, 1, item);
    EXPECT_EQ(m_tree.rowOf(added), 1);
    m_tree.rename(added, u8"0002_第二回.xml");
    EXPECT_EQ(added->item.text, u"第二回");
    EXPECT_EQ(m_tree.namesFromRoot(added), (std::vector<std::u16string>{u"小说", u"0002_红楼梦", u"0002_第二回.xml"}));
    m_tree.remove(added);
    EXPECT_EQ(book->children.size(), 1u);
    m_tree.remove(book->children.front().get());
    EXPECT_FALSE(m_tree.hasChildren(book));
}

TEST_F(LibraryTreeTest, RefreshAddsNewItemsAndKeepsLoadedOnes)
{
    Node* novels = find({u"小说"});
    Node* journey = find({u"小说", u"0001_西游记"});
    ASSERT_TRUE(m_tree.load(journey));
    test::writeBytes(m_dir / "小说/0003_水浒传/0001_楔子.xml", "x");
    std::filesystem::remove_all(m_dir / "小说/0002_红楼梦");
    m_tree.refresh(novels);
    ASSERT_EQ(novels->children.size(), 2u);
    EXPECT_EQ(novels->children[0].get(), journey);  // same node, still loaded
    EXPECT_TRUE(journey->loaded);
    EXPECT_EQ(novels->children[1]->item.text, u"水浒传");
}

}  // namespace
}  // namespace veyla::library
