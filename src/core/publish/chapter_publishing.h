// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>

#include "core/output/code_html.h"
#include "core/publish/blog_publisher.h"
#include "core/util/result.h"

namespace veyla::publish {

// Publishes a chapter file of the library as a post: the title is the file
// name without order prefix and ".xml", the category is the book's name
// ("默认顶层" for a chapter lying in the library folder), and the content
// is the chapter as HTML in the code publishing mode of options. On a
// WordPress blog the category path from the top down is made first;
// categories that cannot be made are listed in failedCategories and the
// post is sent all the same. Returns the new post's id. FileUnavailable or
// NotChapterFormat when the chapter cannot be read (nothing is sent).
Result<std::string> publishChapterFile(BlogPublisher& publisher, const std::filesystem::path& libraryFolder,
                                       const std::filesystem::path& chapterFile, const output::CodeHtmlOptions& options,
                                       std::vector<std::u16string>* failedCategories = nullptr);

// Writes a fetched post's text as a chapter file at target, or at target
// with "-2", "-3", … before ".xml" when that name is taken (nothing is
// replaced). Returns the path written.
Result<std::filesystem::path> writeFetchedPost(const std::filesystem::path& target, std::u16string_view text);

// Where a post read back into folder goes: the folder's next chapter number
// and the post's title as the name, with "/", "\\" and control characters
// made "_", cut to fit a file name, and "无标题" when no usable text is left.
std::filesystem::path fetchedPostPath(const std::filesystem::path& folder, std::u16string_view title);

}  // namespace veyla::publish
