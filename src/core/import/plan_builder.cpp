// SPDX-License-Identifier: MIT
#include "core/import/plan_builder.h"

#include <cassert>

#include "core/import/chapter_naming.h"
#include "core/util/utf16.h"

namespace veyla::import {

std::size_t PlanBuilder::offsetOf(std::u16string_view slice) const
{
    assert(slice.data() >= m_source.data() && slice.data() + slice.size() <= m_source.data() + m_source.size());
    return static_cast<std::size_t>(slice.data() - m_source.data());
}

void PlanBuilder::addTopLevelChapter(std::u16string name, std::u16string_view text)
{
    m_plan.nodes.push_back({NodeKind::Chapter, std::move(name), -1, text, offsetOf(text), {}, 0});
}

void PlanBuilder::addBookFolder(std::u16string name)
{
    m_book = static_cast<int>(m_plan.nodes.size());
    m_plan.nodes.push_back({NodeKind::Folder, std::move(name), -1, {}, 0, {}, 0});
}

void PlanBuilder::addChapter(std::u16string_view name, std::u16string_view text, std::u16string_view title)
{
    addPart(name, text, title, 0);
}

void PlanBuilder::addPart(std::u16string_view name, std::u16string_view text, std::u16string_view title, int part)
{
    std::u16string fileName(name);
    fileName += u".xml";
    m_plan.nodes.push_back(
        {NodeKind::Chapter, std::move(fileName), m_book, text, offsetOf(text), std::u16string(title), part});
}

void PlanBuilder::splitLongChapter(std::u16string_view base, std::u16string_view content, std::size_t partSize,
                                   std::u16string_view title)
{
    const auto size = static_cast<TextPos>(partSize);
    const auto partName = [&](int part) { return std::u16string(base) + u"_" + zeroPadded(part, 4); };
    int part = 0;
    TextPos start = 0;
    TextPos lineBreak = utf16::find(content, u'\n', size);
    while (lineBreak != kNotFound) {
        ++part;
        addPart(partName(part), content.substr(start, lineBreak - start), title, part);
        start = lineBreak + 1;
        lineBreak = utf16::find(content, u'\n', start + size);
    }
    ++part;
    addPart(partName(part), content.substr(start), title, part);
}

}  // namespace veyla::import
