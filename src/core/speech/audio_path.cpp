// SPDX-License-Identifier: MIT
#include "core/speech/audio_path.h"

#include "core/library/library_folder.h"
#include "core/util/utf16.h"

namespace veyla::speech {

namespace fs = std::filesystem;

namespace {

bool isBlank(char16_t ch)
{
    return ch == u' ' || ch == u'\u3000';
}

std::u16string withoutBlanks(std::u16string_view name)
{
    std::u16string out;
    for (const char16_t ch : name) {
        if (!isBlank(ch))
            out.push_back(ch);
    }
    return out;
}

std::u16string wavFileName(std::u16string_view name)
{
    std::u16string out;
    for (const char16_t ch : name)
        out.push_back(isBlank(ch) ? u',' : ch);
    constexpr std::u16string_view kXml = u".xml";
    if (out.size() >= kXml.size() && std::u16string_view(out).substr(out.size() - kXml.size()) == kXml)
        out.resize(out.size() - kXml.size());
    return out + u".wav";
}

}  // namespace

fs::path audioFolderOf(const fs::path& dataFolder)
{
    return dataFolder / u8"音频";
}

std::optional<AudioTarget> audioTargetFor(const fs::path& dataFolder, const fs::path& chapter)
{
    const fs::path base = dataFolder.lexically_normal();
    const fs::path relative = chapter.lexically_normal().lexically_relative(base);
    if (relative.empty() || relative.is_absolute() || *relative.begin() == ".." || *relative.begin() == "." ||
        !relative.has_filename())
        return std::nullopt;

    AudioTarget target;
    target.folder = audioFolderOf(dataFolder);
    const fs::path folderPart = relative.parent_path();
    for (const auto& part : folderPart) {
        const std::u16string cleaned = withoutBlanks(library::pathText(part));
        if (!cleaned.empty())
            target.folder /= library::pathFromText(cleaned);
    }
    target.file = target.folder / library::pathFromText(wavFileName(library::pathText(relative.filename())));
    return target;
}

}  // namespace veyla::speech
