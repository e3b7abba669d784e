// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veyla::output {

class Vocabulary;

// The publisher's web site the pages name for their remote header scripts,
// styles and fallback page script. Every file a page needs also has a local
// copy under HTML/js, so a page works when this host is unreachable.
inline constexpr std::u16string_view kDefaultPublisherSite = u"https://orvanta.example";

// Which remote header script a page names (chosen by marker files).
enum class HeaderScript { Veyla, Web, Orvanta };

enum class SiteMode { Chapters, WholeBook };

// What every page of one generation shares.
struct PageStyle {
    std::u16string publisherSite{kDefaultPublisherSite};
    HeaderScript headerScript = HeaderScript::Veyla;
    // Non-null: paragraphs are annotated with English glosses and the
    // annotation control row is shown.
    const Vocabulary* vocabulary = nullptr;
};

// "../" once per folder above the page: the page's path relative to the
// HTML root split into elements, N elements giving N − 1 times "../".
std::u16string resourcePrefix(const std::vector<std::u16string>& elements);

// The "当前位置" row of a page whose path relative to the HTML root has
// these elements, closing the top block; just the closing "</div>" for a
// page directly in the HTML root.
std::u16string breadcrumbRow(const std::vector<std::u16string>& elements);

// A link target made safe for an href: attribute characters escaped and
// "%", "#", "?" and ":" percent-encoded, so a file name is never read as a
// fragment, a query or a URL scheme.
std::u16string hrefText(std::u16string_view target);

// The text after the first "_" (the text unchanged when it has none).
std::u16string_view afterFirstUnderscore(std::u16string_view text);

// One paragraph of a content page: book text, or the anchor that starts a
// chapter in a whole-book page (its number counts from 1 within the page).
struct PageParagraph {
    enum class Kind { Text, Anchor };
    Kind kind = Kind::Text;
    int anchor = 0;
    std::u16string text;
};

// A chapter, whole-book or part page.
struct ContentPage {
    std::vector<std::u16string> elements;      // path relative to the HTML root, file name last
    SiteMode mode = SiteMode::Chapters;
    std::vector<PageParagraph> paragraphs;
    std::vector<std::u16string> sectionTitles;  // whole-book menu entries, numbered from 1
    std::optional<std::u16string> previous;     // href of the previous page
    std::optional<std::u16string> next;         // href of the next page
};

std::u16string contentPageHtml(const ContentPage& page, const PageStyle& style);

// One entry of an index page's link grid.
struct IndexLink {
    std::u16string target;  // kept when it names a "目录.html", else only its file name is used
    std::u16string label;   // shown without the text up to its first "_"
};

// A "目录.html" or "总书目.html". prefixOverride replaces the resource
// prefix computed from the elements (the data folder's top page uses "HTML/").
struct IndexPage {
    std::vector<std::u16string> elements;
    std::u16string heading;
    std::vector<IndexLink> links;
    std::optional<std::u16string> prefixOverride;
};

std::u16string indexPageHtml(const IndexPage& page, const PageStyle& style);

// The listening page "听小说.html" in the data folder: the paragraphs as
// given (already made HTML: text escaped, code as its block).
std::u16string listeningPageHtml(const std::vector<std::u16string>& paragraphHtml, const PageStyle& style);

// The page file's bytes: a UTF-16LE byte-order mark and the text.
std::string pageBytes(std::u16string_view html);

}  // namespace veyla::output
