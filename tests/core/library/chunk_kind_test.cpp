// SPDX-License-Identifier: MIT
#include "core/library/chunk_kind.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "core/library/xml_cursor.h"

namespace veyla::library {
namespace {

// Classifies the first Chunk below Body of a document, its attributes read through the cursor.
ChunkKind kindOf(std::u16string_view chunkElement)
{
    XmlCursor xml;
    EXPECT_TRUE(xml.setDocument(u"<Page><Body Type=\"C1\">" + std::u16string(chunkElement) + u"</Body></Page>"));
    EXPECT_TRUE(xml.findElement(u"Page"));
    xml.intoElement();
    EXPECT_TRUE(xml.findElement(u"Body"));
    xml.intoElement();
    EXPECT_TRUE(xml.findElement(u"Chunk"));
    const std::u16string action = xml.attribute(u"Action");
    const std::u16string potType = xml.attribute(u"PotType");
    return classifyChunk({xml.hasAttribute(u"Type"), action, xml.hasAttribute(u"PotType"), potType});
}

TEST(ChunkKind, ClassifiedByTypeActionAndPotTypeInOrder)
{
    const struct {
        std::u16string_view element;
        ChunkKind kind;
    } cases[] = {
        {u"<Chunk Type=\"R1\"><Chunk>字</Chunk></Chunk>", ChunkKind::ParagraphContainer},
        {u"<Chunk Type=\"C2\" Action=\"United\"/>", ChunkKind::CharacterData},
        {u"<Chunk Type=\"C2\" Action=\"Other\"/>", ChunkKind::Ignored},
        // Type decides before PotType.
        {u"<Chunk Type=\"R1\" PotType=\"2\"/>", ChunkKind::ParagraphContainer},
        {u"<Chunk>字</Chunk>", ChunkKind::CharacterData},
        {u"<Chunk PotType=\"1\"/>", ChunkKind::CharacterPicture},
        {u"<Chunk PotType=\"2\"/>", ChunkKind::Image},
        {u"<Chunk PotType=\"11\"/>", ChunkKind::PotType11},
        {u"<Chunk PotType=\"3\"/>", ChunkKind::Ignored},
        {u"<Chunk PotType=\"\"/>", ChunkKind::Ignored},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(kindOf(cases[i].element), cases[i].kind) << "case " << i;
}

TEST(ChunkKind, NamesAndEditableSize)
{
    const struct {
        ChunkKind kind;
        std::u16string_view name;
        bool sizeEditable;
    } cases[] = {
        {ChunkKind::CharacterData, u"字符数据块", false},  {ChunkKind::CharacterPicture, u"字图数据块", false},
        {ChunkKind::Image, u"图像数据块", true},           {ChunkKind::FreeTextColumn, u"自由文本列", false},
        {ChunkKind::FreeTextBox, u"自由文本框", false},    {ChunkKind::ParagraphContainer, u"未知类型", false},
        {ChunkKind::PotType11, u"未知类型", false},         {ChunkKind::Ignored, u"未知类型", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(chunkKindName(c.kind), c.name) << static_cast<int>(c.kind);
        EXPECT_EQ(chunkSizeEditable(c.kind), c.sizeEditable) << static_cast<int>(c.kind);
    }
}

}  // namespace
}  // namespace veyla::library
