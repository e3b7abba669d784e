// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace veyla::library {

// What a Chunk element holds, for readers that walk chapter files by
// attributes rather than by nesting (the text extractor of generated pages)
// and for the chunk properties dialog. The numbers are the ones stored and
// shown by the program, hence the gaps.
enum class ChunkKind {
    Ignored = 0,
    CharacterData = 7,      // a run of text, or a group of runs joined into one text
    CharacterPicture = 8,   // characters drawn as a picture
    Image = 9,
    FreeTextColumn = 10,
    FreeTextBox = 11,
    PotType11 = 18,         // kept for files that carry it; nothing reads its content
    ParagraphContainer = 20,  // its sub-chunks are read
};

// The attributes that decide a chunk's kind, as read from the element.
struct ChunkAttributes {
    bool hasType = false;
    std::u16string_view action;   // empty when absent
    bool hasPotType = false;
    std::u16string_view potType;  // compared as text
};

// Classifies in this order: Type present → by Action (empty: paragraph
// container, "United": run group, other: ignored); no Type → by PotType
// (absent: character data, "1": character picture, "2": image, "11": 18,
// other: ignored).
ChunkKind classifyChunk(const ChunkAttributes& attributes);

// The name shown for a kind: "字符数据块", "字图数据块", "图像数据块",
// "自由文本列", "自由文本框", or "未知类型" for any other.
std::u16string_view chunkKindName(ChunkKind kind);

// Whether the properties dialog lets the size of a chunk of this kind be
// changed: only an image's.
bool chunkSizeEditable(ChunkKind kind);

}  // namespace veyla::library
