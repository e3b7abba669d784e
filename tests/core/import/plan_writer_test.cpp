// SPDX-License-Identifier: MIT
#include "core/import/plan_writer.h"

#include <gtest/gtest.h>

#include "core/library/library_folder.h"
#include "core/util/utf16.h"
#include "support/test_support.h"

namespace veyla::import {
namespace {

namespace fs = std::filesystem;

ImportPlan bookOf(int chapters)
{
    ImportPlan plan;
    plan.nodes.push_back({NodeKind::Folder, u"书", -1, {}, 0});
    for (int i = 1; i <= chapters; ++i)
        plan.nodes.push_back({NodeKind::Chapter, library::itemFileName(library::ItemKind::Chapter, i, u"章"), 0, u"正文", 0});
    return plan;
}

std::size_t filesIn(const fs::path& folder)
{
    std::size_t count = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        count += entry.is_regular_file() ? 1 : 0;
    return count;
}

// A stop asked for while a book is written (closing the window) lets the book finish.
TEST(PlanWriter, AStopDuringABookLetsItFinish)
{
    test::TempDir dir;
    std::stop_source stop;
    const auto written = writePlan(bookOf(30), dir.path(), [&](std::size_t done, std::size_t) {
        if (done == 2)
            stop.request_stop();
    }, stop.get_token());
    ASSERT_TRUE(written.ok());
    EXPECT_EQ(written->chapterFiles, 30);
    EXPECT_EQ(filesIn(dir / "书"), 30u);
}

TEST(PlanWriter, AStopBeforeABookWritesNothing)
{
    test::TempDir dir;
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(writePlan(bookOf(3), dir.path(), {}, stop.get_token()).code(), ErrorCode::Cancelled);
    EXPECT_FALSE(fs::exists(dir / "书"));
}

// Past 9999 chapters every prefix of the book gets the same width, so the
// tree (which lists by name) shows the chapters in reading order.
TEST(PlanWriter, ABookOfMoreThan9999ChaptersKeepsItsOrder)
{
    test::TempDir dir;
    ImportPlan plan;
    plan.nodes.push_back({NodeKind::Folder, u"长书", -1, {}, 0});
    for (int i = 1; i <= 10001; ++i) {
        std::u16string name = utf16::number(i);
        if (name.size() < 4)
            name.insert(0, 4 - name.size(), u'0');
        plan.nodes.push_back({NodeKind::Chapter, name + u"_第" + utf16::number(i) + u"章.xml", 0, u"正文", 0});
    }
    ASSERT_TRUE(writePlan(plan, dir.path()).ok());
    EXPECT_TRUE(fs::exists(dir / "长书/00001_第1章.xml"));
    EXPECT_TRUE(fs::exists(dir / "长书/09999_第9999章.xml"));
    EXPECT_TRUE(fs::exists(dir / "长书/10000_第10000章.xml"));
    const auto items = library::listFolder(dir / "长书");
    ASSERT_EQ(items.size(), 10001u);
    for (std::size_t i = 0; i < items.size(); ++i) {
        ASSERT_EQ(items[i].order, static_cast<int>(i + 1));
        ASSERT_EQ(items[i].text, u"第" + utf16::number(static_cast<long long>(i + 1)) + u"章");
    }
}

}  // namespace
}  // namespace veyla::import
