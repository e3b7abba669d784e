// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace veyla::epub {

// Paths inside an EPUB are archive entry names: '/' separators, no leading '/'.

// The folder part of an archive path with its trailing '/'; empty at the root.
std::string folderOf(std::string_view path);

// What a '+' in an escaped reference stands for.
enum class PlusSign { Space, Literal };

// Decodes percent escapes, and '+' as a space when asked. A '%' not followed
// by two hex digits stays as written.
std::string decodeUrlEscapes(std::string_view text, PlusSign plus);

// Joins a decoded reference to a folder and removes "." and ".." components.
// A reference with a leading '/' starts at the archive root. Empty when the
// result would climb above the root, names nothing, or the reference has a
// URL scheme ("http:", "data:").
std::string resolveArchivePath(std::string_view folder, std::string_view reference);

}  // namespace veyla::epub
