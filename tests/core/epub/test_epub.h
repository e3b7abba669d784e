// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "test_zip.h"

namespace veyla::test {

// A table-of-contents point of a book built by a test.
struct TestNavPoint {
    std::string title;
    std::string src;
    std::vector<TestNavPoint> children;
};

using TestFiles = std::vector<std::pair<std::string, std::string>>;

std::string containerXml(std::string_view packagePath = "OEBPS/content.opf");
// A package document listing files (media type from the extension: .html
// and .xhtml are XHTML, .htm is text/html) and the NCX item "ncx" at
// toc.ncx; the spine names tocId in its "toc" attribute when it is not empty.
std::string packageXml(const TestFiles& files, std::string_view tocId = "ncx");
std::string ncxXml(const std::vector<TestNavPoint>& points);
std::string xhtml(std::string_view title, std::string_view body);

// A complete book: container, OEBPS/content.opf, OEBPS/toc.ncx and the files
// (names relative to OEBPS/; "../x" is x at the archive root).
std::string buildEpub(const std::vector<TestNavPoint>& points, const TestFiles& files);

}  // namespace veyla::test
