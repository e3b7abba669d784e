// SPDX-License-Identifier: MIT
#include "test_epub.h"

namespace veyla::test {

namespace {

std::string mediaTypeOf(const std::string& name)
{
    if (name.ends_with(".html") || name.ends_with(".xhtml"))
        return "application/xhtml+xml";
    if (name.ends_with(".htm"))
        return "text/html";
    if (name.ends_with(".css"))
        return "text/css";
    return "application/octet-stream";
}

void appendPoints(std::string& out, const std::vector<TestNavPoint>& points, int& order)
{
    for (const TestNavPoint& point : points) {
        ++order;
        out += "<navPoint id=\"np-" + std::to_string(order) + "\" playOrder=\"" + std::to_string(order) + "\">";
        out += "<navLabel><text>" + point.title + "</text></navLabel>";
        if (!point.src.empty())
            out += "<content src=\"" + point.src + "\"/>";
        appendPoints(out, point.children, order);
        out += "</navPoint>\n";
    }
}

}  // namespace

std::string containerXml(std::string_view packagePath)
{
    return "<?xml version=\"1.0\"?>\n"
           "<container version=\"1.0\" xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">\n"
           "  <rootfiles><rootfile full-path=\"" +
           std::string(packagePath) +
           "\" media-type=\"application/oebps-package+xml\"/></rootfiles>\n"
           "</container>\n";
}

std::string packageXml(const TestFiles& files, std::string_view tocId)
{
    std::string out = "<?xml version=\"1.0\"?>\n<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"2.0\">\n"
                      "<manifest>\n<item id=\"ncx\" href=\"toc.ncx\" media-type=\"application/x-dtbncx+xml\"/>\n";
    int n = 0;
    for (const auto& [name, data] : files)
        out += "<item id=\"item-" + std::to_string(++n) + "\" href=\"" + name + "\" media-type=\"" + mediaTypeOf(name) +
               "\"/>\n";
    out += "</manifest>\n<spine";
    if (!tocId.empty())
        out += " toc=\"" + std::string(tocId) + "\"";
    out += ">\n";
    for (int i = 1; i <= n; ++i)
        out += "<itemref idref=\"item-" + std::to_string(i) + "\"/>\n";
    out += "</spine>\n</package>\n";
    return out;
}

std::string ncxXml(const std::vector<TestNavPoint>& points)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<ncx xmlns=\"http://www.daisy.org/z3986/2005/ncx/\" version=\"2005-1\">\n"
                      "<head/><docTitle><text>Test</text></docTitle>\n<navMap>\n";
    int order = 0;
    appendPoints(out, points, order);
    out += "</navMap>\n</ncx>\n";
    return out;
}

std::string xhtml(std::string_view title, std::string_view body)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<html xmlns=\"http://www.w3.org/1999/xhtml\">\n"
           "<head><title>" +
           std::string(title) + "</title></head>\n<body>" + std::string(body) + "</body>\n</html>\n";
}

std::string buildEpub(const std::vector<TestNavPoint>& points, const TestFiles& files)
{
    TestFiles all{{"mimetype", "application/epub+zip"},
                  {"META-INF/container.xml", containerXml()},
                  {"OEBPS/content.opf", packageXml(files)},
                  {"OEBPS/toc.ncx", ncxXml(points)}};
    // A name starting with "../" lies at the archive root.
    for (const auto& [name, data] : files)
        all.emplace_back(name.starts_with("../") ? name.substr(3) : "OEBPS/" + name, data);
    return buildZip(all);
}

}  // namespace veyla::test
