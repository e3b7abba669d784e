// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/import/import_plan.h"

namespace veyla::import {

// Collects the nodes of one book: the folder first, then its chapters.
// Every chapter text passed in is a slice of source, which records where
// the chapter came from.
class PlanBuilder {
public:
    PlanBuilder(ImportPlan& plan, std::u16string_view source) : m_plan(plan), m_source(source) {}

    // A chapter directly under the import target (the short-text case).
    void addTopLevelChapter(std::u16string name, std::u16string_view text);
    // The book folder; every later chapter goes into it.
    void addBookFolder(std::u16string name);
    // A chapter named name + ".xml" in the book folder, started by the heading title.
    void addChapter(std::u16string_view name, std::u16string_view text, std::u16string_view title = {});
    // Cuts content into parts named base + "_%04d.xml", numbered from 1:
    // each part but the last ends just before the first line break at least
    // partSize units after its start, and that line break belongs to no part.
    void splitLongChapter(std::u16string_view base, std::u16string_view content, std::size_t partSize,
                          std::u16string_view title = {});

private:
    std::size_t offsetOf(std::u16string_view slice) const;
    void addPart(std::u16string_view name, std::u16string_view text, std::u16string_view title, int part);

    ImportPlan& m_plan;
    std::u16string_view m_source;
    int m_book = -1;
};

}  // namespace veyla::import
