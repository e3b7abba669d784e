// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/app_folders.h"

namespace veyla::view {

// The four kinds of decoration pictures and their standard folders under
// the program folder's control/IMG/.
enum class DecorationKind {
    Background,     // 背景: pictures stretched behind the page
    RowLine,        // 行线: top and bottom strips, paragraph bars and row lines
    VerticalBar,    // 竖栏: bars beside the page, in L and R sub-folders
    ParagraphPicture,  // Pram: pictures beside paragraphs
};

std::filesystem::path standardDecorationFolder(const platform::AppFolders& folders, DecorationKind kind);

// The folder a setting names: a value with a path separator ("/" or "\")
// is a full path; an empty value or "无" names none; any other value is a
// sub-folder of the standard folder.
std::optional<std::filesystem::path> resolveDecorationFolder(const platform::AppFolders& folders,
                                                             DecorationKind kind, const std::u16string& value);
// The value to store for a folder: its name when it lies directly in the
// standard folder, else its full path.
std::u16string decorationFolderValue(const platform::AppFolders& folders, DecorationKind kind,
                                     const std::filesystem::path& folder);

// The sub-folders of a standard folder, sorted by name (the choices of the
// folder lists between "无" and "自定义").
std::vector<std::u16string> decorationFolderChoices(const platform::AppFolders& folders, DecorationKind kind);

// The pictures of a folder: file names ending in ".jpg", ".bmp" or ".png"
// (sub-folders skipped), sorted by name.
class DecorationImageList {
public:
    DecorationImageList() = default;
    explicit DecorationImageList(const std::filesystem::path& folder);

    const std::filesystem::path& folder() const { return m_folder; }
    const std::vector<std::filesystem::path>& names() const { return m_names; }
    std::size_t size() const { return m_names.size(); }
    bool empty() const { return m_names.empty(); }
    // The full path of picture index (index < size()).
    std::filesystem::path path(std::size_t index) const { return m_folder / m_names[index]; }

private:
    std::filesystem::path m_folder;
    std::vector<std::filesystem::path> m_names;
};

}  // namespace veyla::view
