// SPDX-License-Identifier: MIT
#include "core/publish/chapter_publishing.h"

#include "core/library/chapter_file.h"

namespace veyla::publish {

Result<std::string> publishChapterFile(BlogPublisher& publisher, const std::filesystem::path& libraryFolder,
                                       const std::filesystem::path& chapterFile, const output::CodeHtmlOptions& options,
                                       std::vector<std::u16string>* failedCategories)
{
    auto categories = blogCategoryPath(libraryFolder, chapterFile);
    if (!categories)
        return categories.error();
    auto chapter = library::readChapter(chapterFile, library::ChapterReadOptions{});
    if (!chapter)
        return chapter.error();
    if (publisher.login().type == BlogType::WordPress)
        publisher.ensureCategories(*categories, failedCategories);
    return publisher.publishPost(categories->back(), postTitleOf(chapterFile), output::articleToHtml(*chapter, options));
}

Result<std::filesystem::path> writeFetchedPost(const std::filesystem::path& target, std::u16string_view text)
{
    std::filesystem::path path = target;
    if (path.extension() != ".xml")
        path += ".xml";
    const std::filesystem::path stem = path.parent_path() / path.stem();
    for (int n = 2; std::filesystem::exists(path) || std::filesystem::is_symlink(path); ++n) {
        if (n > 9999)
            return Error{ErrorCode::AlreadyExists, target.string()};
        path = stem;
        path += "-" + std::to_string(n) + ".xml";
    }
    auto written = library::writeChapterFromText(path, text, library::TextForm::NewFile);
    if (!written)
        return written.error();
    return path;
}

}  // namespace veyla::publish
