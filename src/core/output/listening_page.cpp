// SPDX-License-Identifier: MIT
#include "core/output/listening_page.h"

#include "core/library/library_folder.h"
#include "core/output/code_html.h"
#include "core/output/html_text.h"
#include "core/platform/file_io.h"

namespace veyla::output {

std::u16string listeningPageFor(const library::Chapter& chapter, const PageStyle& style,
                                const view::ColourSet& colours, bool codeBackground)
{
    view::KeywordTables tables = view::KeywordTables::cAndCpp();
    std::vector<std::u16string> paragraphs;
    for (const auto& paragraph : chapter.paragraphs) {
        if (paragraph.code != 0) {
            paragraphs.push_back(
                codeBlockToHtml(paragraphLines(paragraph), SpanForm::InlineStyle, colours, codeBackground, tables));
            continue;
        }
        std::u16string html = u"<p>";
        appendEscapedHtml(html, plainParagraphText(paragraph));
        html += u"</p>\n";
        paragraphs.push_back(std::move(html));
    }
    return listeningPageHtml(paragraphs, style);
}

Result<std::filesystem::path> writeListeningPage(const std::filesystem::path& dataFolder,
                                                 const library::Chapter& chapter, const PageStyle& style,
                                                 const view::ColourSet& colours, bool codeBackground)
{
    const std::filesystem::path page = dataFolder / library::pathFromText(kListeningPageName);
    const Status written =
        platform::writeFileAtomically(page, pageBytes(listeningPageFor(chapter, style, colours, codeBackground)));
    if (!written)
        return written.error();
    return page;
}

}  // namespace veyla::output
