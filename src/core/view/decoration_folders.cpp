// SPDX-License-Identifier: MIT
#include "core/view/decoration_folders.h"

#include <algorithm>
#include <system_error>

#include "core/util/utf16.h"

namespace veyla::view {

namespace fs = std::filesystem;

namespace {

fs::path fromText(const std::u16string& text)
{
    return fs::path(utf16::toUtf8(text));
}

std::u16string toText(const fs::path& path)
{
    return utf16::fromUtf8(path.string());
}

// The extension test ignores ASCII case, as the picture files of a Windows copy may be named "A.JPG".
bool hasPictureExtension(const fs::path& name)
{
    std::string text = name.string();
    if (text.size() < 4)
        return false;
    std::string tail = text.substr(text.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return tail == ".jpg" || tail == ".bmp" || tail == ".png";
}

}  // namespace

fs::path standardDecorationFolder(const platform::AppFolders& folders, DecorationKind kind)
{
    const fs::path images = folders.programFolder / "control" / "IMG";
    switch (kind) {
    case DecorationKind::Background: return images / u8"背景";
    case DecorationKind::RowLine: return images / u8"行线";
    case DecorationKind::VerticalBar: return images / u8"竖栏";
    case DecorationKind::ParagraphPicture: return images / "Pram";
    }
    return images;
}

std::optional<fs::path> resolveDecorationFolder(const platform::AppFolders& folders, DecorationKind kind,
                                                const std::u16string& value)
{
    if (value.empty() || value == u"无")
        return std::nullopt;
    if (utf16::contains(value, u'/') || utf16::contains(value, u'\\'))
        return fromText(value);
    return standardDecorationFolder(folders, kind) / fromText(value);
}

std::u16string decorationFolderValue(const platform::AppFolders& folders, DecorationKind kind, const fs::path& folder)
{
    fs::path cleaned = folder.lexically_normal();
    if (!cleaned.has_filename())
        cleaned = cleaned.parent_path();
    const fs::path standard = standardDecorationFolder(folders, kind).lexically_normal();
    if (cleaned.parent_path() == standard)
        return toText(cleaned.filename());
    return toText(cleaned);
}

std::vector<std::u16string> decorationFolderChoices(const platform::AppFolders& folders, DecorationKind kind)
{
    std::vector<std::u16string> names;
    std::error_code ec;
    for (fs::directory_iterator it(standardDecorationFolder(folders, kind), ec), end; !ec && it != end;
         it.increment(ec)) {
        if (it->is_directory(ec))
            names.push_back(toText(it->path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

DecorationImageList::DecorationImageList(const fs::path& folder) : m_folder(folder)
{
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError))
            continue;
        if (hasPictureExtension(it->path().filename()))
            m_names.push_back(it->path().filename());
    }
    std::sort(m_names.begin(), m_names.end());
}

}  // namespace veyla::view
