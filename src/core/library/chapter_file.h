// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/library/chapter.h"
#include "core/platform/file_io.h"
#include "core/util/result.h"

namespace veyla::library {

// A chapter file is XML written as UTF-16LE without byte-order mark:
// Page > Body > paragraph Chunk > text Chunk.

// Display values that reading and writing depend on.
struct ChapterReadOptions {
    int defaultFontSize = 22;         // a paragraph without Size gets this size
    bool uniformLineSpacing = false;  // the display mode giving every paragraph the same spacing
    int globalLineSpacing = 0;        // used in that mode when Line is absent or below 1
};

struct ChapterWriteOptions {
    int currentFontSize = 22;  // Size is written only when it differs from this
    int retract = 0;           // written on Page when non-zero
    long long countInput = 0;  // typed characters; Page's last attribute, always written
};

// The two ways of making a chapter from plain text.
enum class TextForm {
    Import,   // no Page attributes; lines that are exactly "\r" are skipped
    NewFile,  // Page carries Version and ColumnDis when they differ from 1 and 50
};

// Reading never fails on content and never marks the chapter modified: a
// paragraph without text and an empty run are left out, a chapter without
// paragraphs gets one paragraph holding "\r", and text the file holds
// outside the chapter shape is kept as runs. What could not be read as the
// file has it is listed in the chapter's problems.
Result<Chapter> parseChapter(std::u16string_view xml, const ChapterReadOptions& options);
// FileUnavailable when the file cannot be read, NotChapterFormat when it has no Page.
Result<Chapter> readChapter(const std::filesystem::path& path, const ChapterReadOptions& options);

std::u16string chapterToXml(const Chapter& chapter, const ChapterWriteOptions& options);
// Writes the chapter atomically, creating missing folders; then removes the
// stale temporary files killed writers left in its folder.
Status writeChapter(const std::filesystem::path& path, const Chapter& chapter, const ChapterWriteOptions& options);

// The chapter XML made from plain text: one paragraph per line that is not
// empty after its leading blanks, U+3000 and tabs are removed. Lines end at
// "\n"; a "\r" before it stays in the line.
std::u16string chapterXmlFromText(std::u16string_view text, TextForm form, int version = 1,
                                  int columnDistance = 50);
Status writeChapterFromText(const std::filesystem::path& path, std::u16string_view text, TextForm form,
                            platform::Durability durability = platform::Durability::Synced, int version = 1,
                            int columnDistance = 50);

// Appends the text's lines as paragraphs to an existing chapter file.
// FileUnavailable, or NotChapterXml (also for a file with parts that cannot
// be read, which writing it back would lose) leave the file untouched.
Status appendTextToChapter(const std::filesystem::path& path, std::u16string_view text);

// The name a chapter file's original is kept under before a chapter read
// with problems is written over: NAME.xml.orig.
std::filesystem::path originalCopyPath(const std::filesystem::path& path);
// Copies path to originalCopyPath(path) unless that exists already (an
// earlier original is never replaced). Succeeds when path is absent.
Status keepOriginalCopy(const std::filesystem::path& path);

// The file's bytes for a chapter text (UTF-16LE, no byte-order mark).
std::string chapterBytes(std::u16string_view xml);

}  // namespace veyla::library
