// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/platform/app_folders.h"
#include "core/util/result.h"

namespace veyla::view {

// The twenty excerpt categories, kept in the data folder's
// control/Biaozhu.xml as the attributes B1 … B20 of the element Biaozhu.
// An empty name stands for its default: "风景", "动作", "心理", "对白",
// "名字", "词语", "精彩", "灵感", "借鉴", then "类11" … "类20".
class AnnotationCategories {
public:
    static constexpr std::size_t kCount = 20;

    AnnotationCategories();
    // The default name of category index (0-based).
    static std::u16string defaultName(std::size_t index);

    static AnnotationCategories fromXml(std::u16string_view xml);
    // A missing or unreadable file leaves the default names.
    static AnnotationCategories read(const platform::AppFolders& folders);
    std::u16string toXml() const;
    // Writes the data folder's control/Biaozhu.xml (UTF-16LE) atomically.
    Status write(const platform::AppFolders& folders) const;

    const std::u16string& name(std::size_t index) const { return m_names.at(index); }
    // An empty name restores the default.
    void setName(std::size_t index, std::u16string_view name);
    const std::array<std::u16string, kCount>& names() const { return m_names; }

private:
    std::array<std::u16string, kCount> m_names;
};

// The notes chapter of a category: 藏书库/00笔记/<category>.xml in the data folder.
// InvalidArgument for a name that is empty, "." or "..", or holds a path separator or NUL.
Result<std::filesystem::path> notesChapterPath(const platform::AppFolders& folders, std::u16string_view category);

// Files an excerpt into its category's notes chapter: appended as
// paragraphs, or written as a new chapter when the file is missing (with
// its folders). A line break is added when the excerpt does not end with
// one. InvalidArgument for an empty excerpt or a bad category name.
Status fileExcerpt(const platform::AppFolders& folders, std::u16string_view category, std::u16string_view excerpt);

}  // namespace veyla::view
