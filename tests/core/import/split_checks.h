// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/import/import_plan.h"
#include "core/util/utf16.h"

namespace veyla::import::test {

inline std::vector<const PlannedNode*> chaptersOf(const ImportPlan& plan)
{
    std::vector<const PlannedNode*> chapters;
    for (const auto& node : plan.nodes) {
        if (node.kind == NodeKind::Chapter)
            chapters.push_back(&node);
    }
    return chapters;
}

inline std::vector<std::string> chapterNames(const ImportPlan& plan)
{
    std::vector<std::string> names;
    for (const PlannedNode* chapter : chaptersOf(plan))
        names.push_back(utf16::toUtf8(chapter->name));
    return names;
}

// What every plan promises: chapters hang under the book folder (or the
// import target), each chapter's text is the slice of the source it says it
// is, slices follow each other with at most the one line break that a cut
// drops between them, and the last one reaches the end of the source.
inline void expectConsistentPlan(const ImportPlan& plan, std::u16string_view source)
{
    std::size_t end = 0;
    bool first = true;
    for (std::size_t i = 0; i < plan.nodes.size(); ++i) {
        const PlannedNode& node = plan.nodes[i];
        if (node.kind == NodeKind::Folder) {
            EXPECT_EQ(i, 0u) << "only the book folder is a folder";
            EXPECT_EQ(node.parent, -1);
            continue;
        }
        ASSERT_TRUE(node.parent == -1 || plan.nodes[static_cast<std::size_t>(node.parent)].kind == NodeKind::Folder);
        ASSERT_LE(node.sourceOffset + node.text.size(), source.size());
        EXPECT_EQ(source.substr(node.sourceOffset, node.text.size()), node.text) << utf16::toUtf8(node.name);
        if (!first) {
            const bool adjacent = node.sourceOffset == end;
            const bool afterDroppedBreak = node.sourceOffset == end + 1 && source[end] == u'\n';
            EXPECT_TRUE(adjacent || afterDroppedBreak) << utf16::toUtf8(node.name);
        }
        first = false;
        end = node.sourceOffset + node.text.size();
    }
    if (!first) {
        EXPECT_EQ(end, source.size());
    }
}

}  // namespace veyla::import::test
