// SPDX-License-Identifier: MIT
#include "core/view/annotation_categories.h"

#include <system_error>

#include "core/library/chapter_file.h"
#include "core/library/xml_cursor.h"
#include "core/platform/file_io.h"
#include "core/util/utf16.h"

namespace veyla::view {

namespace fs = std::filesystem;

namespace {

constexpr std::u16string_view kNamedDefaults[] = {u"风景", u"动作", u"心理", u"对白", u"名字",
                                                   u"词语", u"精彩", u"灵感", u"借鉴"};

std::u16string attributeName(std::size_t index)
{
    return u"B" + utf16::number(static_cast<long long>(index + 1));
}

}  // namespace

AnnotationCategories::AnnotationCategories()
{
    for (std::size_t i = 0; i < kCount; ++i)
        m_names[i] = defaultName(i);
}

std::u16string AnnotationCategories::defaultName(std::size_t index)
{
    if (index < std::size(kNamedDefaults))
        return std::u16string(kNamedDefaults[index]);
    return u"类" + utf16::number(static_cast<long long>(index + 1));
}

void AnnotationCategories::setName(std::size_t index, std::u16string_view name)
{
    m_names.at(index) = name.empty() ? defaultName(index) : std::u16string(name);
}

AnnotationCategories AnnotationCategories::fromXml(std::u16string_view xml)
{
    if (!xml.empty() && xml.front() == u'\uFEFF')
        xml.remove_prefix(1);
    AnnotationCategories categories;
    library::XmlCursor cursor;
    cursor.setDocument(xml);
    if (!cursor.findElement(u"Biaozhu"))
        return categories;
    for (std::size_t i = 0; i < kCount; ++i)
        categories.setName(i, cursor.attribute(attributeName(i)));
    return categories;
}

AnnotationCategories AnnotationCategories::read(const platform::AppFolders& folders)
{
    auto bytes = platform::readWholeFile(folders.dataControl("Biaozhu.xml"));
    if (!bytes)
        return AnnotationCategories{};
    return fromXml(utf16::decodeLittleEndian(*bytes));
}

std::u16string AnnotationCategories::toXml() const
{
    library::XmlCursor xml;
    xml.addElement(u"Biaozhu");
    for (std::size_t i = 0; i < kCount; ++i)
        xml.setAttribute(attributeName(i), m_names[i]);
    return xml.document();
}

Status AnnotationCategories::write(const platform::AppFolders& folders) const
{
    const fs::path path = folders.dataControl("Biaozhu.xml");
    platform::makeFoldersForPath(path.parent_path());
    return platform::writeFileAtomically(path, utf16::encodeLittleEndian(toXml()));
}

Result<fs::path> notesChapterPath(const platform::AppFolders& folders, std::u16string_view category)
{
    const bool separator = utf16::contains(category, u'/') || utf16::contains(category, u'\\') ||
                           utf16::contains(category, u'\0');
    if (category.empty() || category == u"." || category == u".." || separator)
        return Error{ErrorCode::InvalidArgument, "not a usable category name"};
    return folders.libraryFolder() / u8"00笔记" / fs::path(utf16::toUtf8(std::u16string(category) + u".xml"));
}

Status fileExcerpt(const platform::AppFolders& folders, std::u16string_view category, std::u16string_view excerpt)
{
    if (excerpt.empty())
        return Error{ErrorCode::InvalidArgument, "no text to file"};
    auto path = notesChapterPath(folders, category);
    if (!path)
        return path.error();
    std::u16string text(excerpt);
    if (text.back() != u'\n')
        text += u"\r\n";
    std::error_code ec;
    if (fs::exists(*path, ec))
        return library::appendTextToChapter(*path, text);
    return library::writeChapterFromText(*path, text, library::TextForm::NewFile);
}

}  // namespace veyla::view
