// SPDX-License-Identifier: MIT
#include "core/search/name_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "core/util/utf16.h"
#include "search_test_library.h"
#include "support/test_support.h"

namespace veyla::search {
namespace {

namespace fs = std::filesystem;
using Node = NameSearch::Node;
using Names = std::vector<std::string>;

// 小说 and 西游记 are open in the tree pane; 红楼梦 and 笔记 are closed.
class NameSearchTest : public ::testing::Test {
protected:
    NameSearchTest()
    {
        for (const char* chapter : {"小说/0001_西游记/0001_第一回.xml", "小说/0001_西游记/0002_第二回.xml",
                                    "小说/0002_红楼梦/0001_第一回.xml", "小说/0002_红楼梦/0002_宝玉.xml",
                                    "笔记/0001_宝物.xml", "笔记/0002_Tom.xml"})
            test::addChapter(m_library, fs::u8path(chapter), u"正文");
        m_open = {m_library, m_library / "小说", m_library / "小说/0001_西游记"};
    }

    NameSearch searcher(library::LibraryTree& tree, std::u16string text, Direction direction, NodeScope scope)
    {
        return NameSearch(tree, std::move(text), direction, scope,
                          [this, &tree](const Node& node) { return m_open.count(tree.pathOf(&node)) > 0; });
    }

    std::string nameOf(library::LibraryTree& tree, const Node* node) const
    {
        return node == nullptr ? "" : tree.pathOf(node).lexically_relative(m_library).string();
    }

    // Every match of a whole walk.
    Names matches(std::u16string text, Direction direction, NodeScope scope)
    {
        library::LibraryTree tree(m_library);
        NameSearch search = searcher(tree, std::move(text), direction, scope);
        Names found;
        for (Node* node = search.findFirst(); node != nullptr; node = search.findAfter(node))
            found.push_back(nameOf(tree, node));
        return found;
    }

    veyla::test::TempDir m_dir;
    fs::path m_library = m_dir / "藏书库";
    std::set<fs::path> m_open;
};

TEST_F(NameSearchTest, WalkOrderIsTheTreeOrderAndBackwardsItsReverse)
{
    const Names allForward = matches(u"", Direction::Forward, NodeScope::AllNodes);
    EXPECT_EQ(allForward, (Names{"小说", "小说/0001_西游记", "小说/0001_西游记/0001_第一回.xml",
                                 "小说/0001_西游记/0002_第二回.xml", "小说/0002_红楼梦", "小说/0002_红楼梦/0001_第一回.xml",
                                 "小说/0002_红楼梦/0002_宝玉.xml", "笔记", "笔记/0001_宝物.xml", "笔记/0002_Tom.xml"}));
    Names allBackward = matches(u"", Direction::Backward, NodeScope::AllNodes);
    std::reverse(allBackward.begin(), allBackward.end());
    EXPECT_EQ(allBackward, allForward);

    const Names openForward = matches(u"", Direction::Forward, NodeScope::ExpandedOnly);
    EXPECT_EQ(openForward, (Names{"小说", "小说/0001_西游记", "小说/0001_西游记/0001_第一回.xml",
                                  "小说/0001_西游记/0002_第二回.xml", "小说/0002_红楼梦", "笔记"}));
    Names openBackward = matches(u"", Direction::Backward, NodeScope::ExpandedOnly);
    std::reverse(openBackward.begin(), openBackward.end());
    EXPECT_EQ(openBackward, openForward);
}

TEST_F(NameSearchTest, ANameInsideAClosedFolderIsFoundOnlyWhenAllNodesAreWalked)
{
    for (Direction direction : {Direction::Forward, Direction::Backward}) {
        library::LibraryTree tree(m_library);
        Node* start = tree.findByPath(direction == Direction::Forward ? m_library / "小说/0001_西游记"
                                                                     : m_library / "笔记");
        ASSERT_NE(start, nullptr);
        EXPECT_EQ(searcher(tree, u"宝玉", direction, NodeScope::ExpandedOnly).findAfter(start), nullptr);
        EXPECT_EQ(nameOf(tree, searcher(tree, u"宝玉", direction, NodeScope::AllNodes).findAfter(start)),
                  "小说/0002_红楼梦/0002_宝玉.xml");
    }
}

TEST_F(NameSearchTest, TheNextSearchContinuesFromTheMatch)
{
    library::LibraryTree tree(m_library);
    NameSearch search = searcher(tree, u"第一回", Direction::Forward, NodeScope::AllNodes);
    Node* first = search.findAfter(tree.root());
    EXPECT_EQ(nameOf(tree, first), "小说/0001_西游记/0001_第一回.xml");
    Node* second = search.findAfter(first);
    EXPECT_EQ(nameOf(tree, second), "小说/0002_红楼梦/0001_第一回.xml");
    EXPECT_EQ(search.findAfter(second), nullptr);
    NameSearch back = searcher(tree, u"第一回", Direction::Backward, NodeScope::AllNodes);
    EXPECT_EQ(back.findAfter(second), first);
    EXPECT_EQ(back.findAfter(first), nullptr);
}

TEST_F(NameSearchTest, MatchesAreCaseSensitiveSubstringsOfTheShownName)
{
    EXPECT_EQ(matches(u"Tom", Direction::Forward, NodeScope::AllNodes), Names{"笔记/0002_Tom.xml"});
    EXPECT_TRUE(matches(u"tom", Direction::Forward, NodeScope::AllNodes).empty());
    // Order prefixes and ".xml" are not part of the shown name; nor is the root's path.
    EXPECT_TRUE(matches(u"0001", Direction::Forward, NodeScope::AllNodes).empty());
    EXPECT_TRUE(matches(u".xml", Direction::Forward, NodeScope::AllNodes).empty());
    EXPECT_TRUE(matches(u"藏书库", Direction::Forward, NodeScope::AllNodes).empty());
}

TEST_F(NameSearchTest, ALinkBackUpTheLibraryIsNotWalkedForever)
{
    fs::create_directory_symlink("..", m_library / "笔记/0003_回");
    const Names found = matches(u"宝物", Direction::Forward, NodeScope::AllNodes);
    EXPECT_EQ(found, Names{"笔记/0001_宝物.xml"});
}

TEST_F(NameSearchTest, AStopEndsTheWalk)
{
    library::LibraryTree tree(m_library);
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(searcher(tree, u"宝", Direction::Forward, NodeScope::AllNodes).findFirst(stop.get_token()), nullptr);
}

}  // namespace
}  // namespace veyla::search
