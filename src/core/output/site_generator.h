// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <stop_token>
#include <string>
#include <utility>
#include <vector>

#include "core/library/chapter_file.h"
#include "core/library/library_tree.h"
#include "core/output/page_templates.h"
#include "core/util/result.h"
#include "core/view/colour_schemes.h"

namespace veyla::output {

// Status texts of a generation.
inline constexpr std::u16string_view kSiteStatusFormat = u"正在生成HTML...... %s  ";
inline constexpr std::u16string_view kSiteDoneText = u"生成HTML 完毕 success";

// Marker files in the data folder that change a generation.
inline constexpr std::u16string_view kIndexOnlyMarker = u"onlyMulu.txt";
inline constexpr std::u16string_view kOrvantaMarker = u"orvanta.txt";
inline constexpr std::u16string_view kWebMarker = u"web.txt";

// One chapter of a folder to generate.
struct SiteChapter {
    std::filesystem::path file;  // the chapter file
    std::u16string label;        // "%04d_" + title when the chapter has an order number, else the title
    std::u16string pageName;     // the page's file name: the chapter's with ".xml" made ".html"
};

// A folder the walk enters, with what it holds in tree order.
struct SiteFolder {
    std::filesystem::path relative;  // below the data folder: 藏书库/…
    std::u16string text;             // the tree text: heading of its index page, book name
    std::u16string label;            // "%04d_" + text with an order number, else text
    std::vector<SiteChapter> chapters;
    std::vector<std::size_t> subFolders;  // indices into SitePlan::folders
};

// A folder above the target whose index page links down to its folders.
struct SiteAncestor {
    std::filesystem::path relative;
    std::u16string heading;
    std::vector<std::pair<std::filesystem::path, std::u16string>> subFolders;  // relative path, label
};

// What a generation covers, gathered from the tree on the thread that owns
// it; the generation itself never touches the tree.
struct SitePlan {
    std::vector<SiteFolder> folders;      // folders[0] is the target; empty when it holds nothing
    std::vector<SiteAncestor> ancestors;  // the target's parent first, the library root last
    std::size_t chapterCount = 0;
};

// The target is the item, or its parent when it has no items. Folders
// named "类别" (any case) are not entered, nor folders holding nothing.
SitePlan planSite(library::LibraryTree& tree, library::LibraryTree::Node* item);

struct SiteOptions {
    SiteMode mode = SiteMode::Chapters;
    int pageSize = 120;  // chapters per whole-book part page
    bool indexPagesOnly = false;
    PageStyle style;
    library::ChapterReadOptions readOptions;
};

// Reads the marker files of the data folder into the options.
void applySiteMarkers(const std::filesystem::path& dataFolder, SiteOptions& options);

struct SiteProgress {
    std::u16string status;  // the status text of the folder being written
    std::size_t done = 0;   // chapters handled so far
    std::size_t total = 0;
};
using SiteProgressFn = std::function<void(const SiteProgress&)>;

struct SiteResult {
    std::filesystem::path indexPage;  // the target folder's index page (empty without one)
    int pagesWritten = 0;             // chapter, whole-book and part pages
    int pagesKept = 0;                // content pages that existed and were left alone
    int indexPagesWritten = 0;        // index and top pages
    bool stopped = false;
    std::vector<std::pair<std::filesystem::path, Error>> failures;
};

// Writes the pages of the plan under dataFolder/HTML: content pages only
// where none exists yet (their chapters are not even read otherwise),
// index pages of every folder walked and of its ancestors, and the two
// "总书目.html" pages, each as UTF-16LE with a byte-order mark, written
// atomically. A page that cannot be written is listed and skipped. A stop
// request is seen between pages.
SiteResult generateSite(const SitePlan& plan, const std::filesystem::path& dataFolder, const SiteOptions& options,
                        std::stop_token stop = {}, const SiteProgressFn& progress = {});

// The text of js/font.js: the font names that hold a character above
// U+00FF, and one colour object per scheme.
std::u16string fontScriptText(const std::vector<std::u16string>& fontNames,
                              const std::vector<view::ColourScheme>& schemes);

// Rewrites dataFolder/HTML/js/font.js when it exists (never creates it).
Status writeFontScript(const std::filesystem::path& dataFolder, const std::vector<std::u16string>& fontNames,
                       const std::vector<view::ColourScheme>& schemes);

// The HTML root's folder of a library item's folder (for opening a generated site).
std::filesystem::path siteFolderOf(const std::filesystem::path& dataFolder, const library::LibraryTree& tree,
                                   const library::LibraryTree::Node* item);

}  // namespace veyla::output
