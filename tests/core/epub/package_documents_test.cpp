// SPDX-License-Identifier: MIT
#include "core/epub/package_documents.h"

#include <gtest/gtest.h>

namespace veyla::epub {
namespace {

TEST(PackageDocuments, PrefixedNamesEntitiesAndAByteOrderMarkAreRead)
{
    const auto container = parseContainer(
        "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<container xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">"
        "<rootfiles><rootfile full-path=\"OPS/a&amp;b.opf\" media-type=\"application/oebps-package+xml\"/>"
        "</rootfiles></container>");
    ASSERT_TRUE(container) << container.error().detail;
    EXPECT_EQ(*container, "OPS/a&b.opf");

    const auto package = parsePackage(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><!-- made by hand -->"
        "<opf:package xmlns:opf=\"http://www.idpf.org/2007/opf\"><opf:metadata><dc:title>书</dc:title></opf:metadata>"
        "<opf:manifest><opf:item id=\"c1\" href=\"第一章.xhtml\" media-type=\"application/xhtml+xml\"/>"
        "<!-- skipped --><opf:item id=\"ncx\" href=\"toc.ncx\" media-type=\"application/x-dtbncx+xml\"/></opf:manifest>"
        "<opf:spine toc=\"ncx\"><opf:itemref idref=\"c1\"/><itemref idref=\"c2\"/></opf:spine></opf:package>");
    ASSERT_TRUE(package) << package.error().detail;
    ASSERT_EQ(package->manifest.size(), 2u);
    EXPECT_EQ(package->manifest[0].href, "第一章.xhtml");
    EXPECT_EQ(package->manifest[1].mediaType, "application/x-dtbncx+xml");
    EXPECT_EQ(package->tocId, "ncx");
    EXPECT_EQ(package->spine, (std::vector<std::string>{"c1", "c2"}));
}

TEST(PackageDocuments, LabelsAreCollapsedAndLevelsFollowTheNesting)
{
    const auto points = parseNavMap(
        "<?xml version=\"1.0\"?><!DOCTYPE ncx PUBLIC \"-//NISO//DTD ncx 2005-1//EN\" "
        "\"http://www.daisy.org/z3986/2005/ncx-2005-1.dtd\"><ncx><head/><docTitle><text>T</text></docTitle><navMap>"
        "<navPoint id=\"a\" playOrder=\"1\"><navLabel><text>\n  第一卷\t <b>上</b>\n</text></navLabel>"
        "<content src=\"a.html\"/>"
        "<navPoint id=\"b\" playOrder=\"2\"><navLabel><text><![CDATA[Fish & Chips]]></text></navLabel>"
        "<content src=\"b.html#x\"/></navPoint></navPoint>"
        "<navPoint id=\"c\" playOrder=\"3\"><content src=\"c.html\"/><navLabel><text>Tom &amp; Jerry</text></navLabel>"
        "</navPoint></navMap></ncx>");
    ASSERT_TRUE(points) << points.error().detail;
    ASSERT_EQ(points->size(), 3u);
    const std::vector<std::tuple<std::string, int, std::string, bool>> expected{
        {"第一卷 上", 1, "a.html", true}, {"Fish & Chips", 2, "b.html#x", false}, {"Tom & Jerry", 1, "c.html", false}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const NavPoint& point = (*points)[i];
        EXPECT_EQ(std::tie(point.title, point.level, point.src, point.hasChildren), expected[i]) << i;
    }
    EXPECT_EQ((*points)[2].playOrder, "3");
}

TEST(PackageDocuments, DocumentsThatAreNotWellFormedAreRefused)
{
    for (const char* xml : {"", "<package><manifest></package>", "<package>", "not xml at all",
                            "<package/><package/>", "<ncx><navMap><navPoint></navMap></ncx>"}) {
        EXPECT_EQ(parsePackage(xml).code(), ErrorCode::MalformedBook) << xml;
        EXPECT_EQ(parseNavMap(xml).code(), ErrorCode::MalformedBook) << xml;
    }
}

}  // namespace
}  // namespace veyla::epub
