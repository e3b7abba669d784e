// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace veyla::import {

// What an import will add to the library, computed in memory before
// anything is written, so a book that fails leaves nothing behind.
enum class NodeKind { Folder, Chapter };

struct PlannedNode {
    NodeKind kind = NodeKind::Chapter;
    // The file or folder name as it goes on disk: "0007_第七章风雪.xml", "西游记".
    std::u16string name;
    // Index of the parent node in ImportPlan::nodes; -1 is the import target.
    int parent = -1;
    // The chapter's plain text (chapters only); lines end in "\n" or "\r\n".
    // It points into one of the plan's texts, so a plan never holds a
    // second copy of a novel.
    std::u16string_view text;
    // Where text starts in the imported source text, in UTF-16 units (chapters only).
    std::size_t sourceOffset = 0;
    // The heading title that started the chapter ("第七章　风雪", "CHAPTER I"),
    // or the catalog entry's title; empty when no heading started it.
    std::u16string title;
    // 1, 2, ... for the parts of a chapter cut for length; 0 for a whole chapter.
    int part = 0;
};

// How the chapters of a book were found.
enum class HeadingSource {
    ShortText,       // shorter than the short-text limit: one chapter file
    UserPrefix,      // the user's prefix (and suffix) matched
    Marker,          // a detection marker was accepted (prefix/suffix below)
    EveryShortLine,  // no marker accepted: every acceptable short line is a heading
    ArabicNumbers,   // fallback: lines starting with 1, 2, 3, ...
    RomanNumerals,   // fallback: I, II, III, ...
    FixedPieces,     // fallback: pieces of about 9000 units cut at line breaks
    EpubCatalog,     // an EPUB's own table of contents
};

struct HeadingStyle {
    HeadingSource source = HeadingSource::ShortText;
    std::u16string prefix;
    std::u16string suffix;
};

struct ImportPlan {
    std::vector<PlannedNode> nodes;
    // The texts the chapters' views point into. Shared and never changed,
    // so copies of a plan stay valid.
    std::vector<std::shared_ptr<const std::u16string>> texts;
    HeadingStyle style;
    // Where the first chapter's heading line starts in the source; the text
    // before it (a title page, a preface) is kept in the first chapter.
    std::size_t firstHeading = 0;
    // The first chapter also holds a list of closely spaced headings (a
    // table of contents) that the search for the second chapter passed over.
    bool firstChapterHoldsContents = false;
    // Things worth telling the user that did not stop the import.
    std::vector<std::string> warnings;
};

}  // namespace veyla::import
