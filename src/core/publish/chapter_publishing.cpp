// SPDX-License-Identifier: MIT
#include "core/publish/chapter_publishing.h"

#include "core/library/chapter_file.h"
#include "core/library/library_folder.h"
#include "core/util/utf16.h"

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

std::filesystem::path fetchedPostPath(const std::filesystem::path& folder, std::u16string_view title)
{
    // Room for the order prefix, a "-N" for a taken name and ".xml".
    constexpr std::size_t kMaxTitleBytes = 200;
    std::u16string name;
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < title.size(); ++i) {
        char16_t c = title[i];
        const bool pair = utf16::isHighSurrogate(c) && i + 1 < title.size() && utf16::isLowSurrogate(title[i + 1]);
        const std::size_t width = pair ? 4 : c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        if (bytes + width > kMaxTitleBytes)
            break;
        if (c < 0x20 || c == 0x7F || c == u'/' || c == u'\\' || (!pair && (utf16::isHighSurrogate(c) || utf16::isLowSurrogate(c))))
            c = u'_';
        name += c;
        if (pair)
            name += title[++i];
        bytes += width;
    }
    name = std::u16string(utf16::trim(name, u" \t\u3000"));
    if (name.empty() || name == u"." || name == u"..")
        name = u"无标题";
    const int order = library::nextChapterNumber(library::listFolder(folder));
    return folder / library::pathFromText(library::itemFileName(library::ItemKind::Chapter, order, name));
}

}  // namespace veyla::publish
