// SPDX-License-Identifier: MIT
#include "core/library/chunk_kind.h"

namespace veyla::library {

ChunkKind classifyChunk(const ChunkAttributes& attributes)
{
    if (attributes.hasType) {
        if (attributes.action.empty())
            return ChunkKind::ParagraphContainer;
        return attributes.action == u"United" ? ChunkKind::CharacterData : ChunkKind::Ignored;
    }
    if (!attributes.hasPotType)
        return ChunkKind::CharacterData;
    if (attributes.potType == u"1")
        return ChunkKind::CharacterPicture;
    if (attributes.potType == u"2")
        return ChunkKind::Image;
    if (attributes.potType == u"11")
        return ChunkKind::PotType11;
    return ChunkKind::Ignored;
}

std::u16string_view chunkKindName(ChunkKind kind)
{
    switch (kind) {
    case ChunkKind::CharacterData:
        return u"字符数据块";
    case ChunkKind::CharacterPicture:
        return u"字图数据块";
    case ChunkKind::Image:
        return u"图像数据块";
    case ChunkKind::FreeTextColumn:
        return u"自由文本列";
    case ChunkKind::FreeTextBox:
        return u"自由文本框";
    default:
        return u"未知类型";
    }
}

bool chunkSizeEditable(ChunkKind kind)
{
    return kind == ChunkKind::Image;
}

}  // namespace veyla::library
