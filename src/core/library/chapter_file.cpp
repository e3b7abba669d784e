// SPDX-License-Identifier: MIT
#include "core/library/chapter_file.h"

#include "core/library/xml_cursor.h"
#include "core/platform/app_folders.h"
#include "core/platform/file_io.h"
#include "core/util/utf16.h"

namespace veyla::library {

namespace {

constexpr std::u16string_view kLeadingBlanks = u" \u3000\t";

// The Type of a node with n children: counting the chain of children, the
// letter is "C" when the last one was reached from a sibling, "R" otherwise.
std::u16string chainType(std::size_t children)
{
    return (children >= 2 ? u"C" : u"R") + utf16::number(static_cast<long long>(children));
}

int attributeInteger(const XmlCursor& xml, std::u16string_view name, int fallback)
{
    if (!xml.hasAttribute(name))
        return fallback;
    return static_cast<int>(utf16::toInteger(xml.attribute(name)));
}

// Calls onLine(line) for every line of text that is not empty after its
// leading blanks are removed; returns the number of lines counted.
template <typename OnLine>
long long forEachLine(std::u16string_view text, TextForm form, OnLine onLine)
{
    long long counted = 0;
    std::size_t start = 0;
    if (text.empty())
        return 0;
    for (;;) {
        const auto nl = text.find(u'\n', start);
        const std::size_t end = nl == std::u16string_view::npos ? text.size() : nl;
        if (nl == std::u16string_view::npos && start == text.size() && counted > 0)
            break;  // a final "\n" ends the last line; nothing follows it
        ++counted;
        const std::u16string_view line = utf16::trimLeft(text.substr(start, end - start), kLeadingBlanks);
        if (!line.empty() && !(form == TextForm::Import && line == u"\r"))
            onLine(line);
        if (nl == std::u16string_view::npos)
            break;
        start = nl + 1;
    }
    return counted;
}

bool addTextParagraph(XmlCursor& xml, std::u16string_view line)
{
    if (!xml.addElement(u"Chunk"))
        return false;
    xml.setAttribute(u"Type", std::u16string_view(u"R1"));
    xml.intoElement();
    xml.addElement(u"Chunk", line);
    xml.outOfElement();
    return true;
}

Status writeXml(const std::filesystem::path& path, std::u16string_view xml,
                platform::Durability durability = platform::Durability::Synced)
{
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        platform::makeFoldersForPath(path);
    return platform::writeFileAtomically(path, chapterBytes(xml), platform::FileAccess::Default, durability);
}

// Reads the attributes of the paragraph element at the cursor.
void readParagraphAttributes(const XmlCursor& xml, const ChapterReadOptions& options, Paragraph& paragraph)
{
    if (xml.hasAttribute(u"FontName"))
        paragraph.fontFace = xml.attribute(u"FontName");
    paragraph.code = attributeInteger(xml, u"Code", 0);
    paragraph.fontSize = attributeInteger(xml, u"Size", options.defaultFontSize);
    paragraph.lineSpacing = std::max(0, attributeInteger(xml, u"Line", 0));
    paragraph.verticalBar = attributeInteger(xml, u"Ver", 0);
    paragraph.paragraphPicture = attributeInteger(xml, u"PL", 0);
    paragraph.horizontalLine = attributeInteger(xml, u"HLine", 0);
    paragraph.annotation = attributeInteger(xml, u"BZ", 0);
}

// Page's children other than the first Body are not shown: says so when they hold text.
void reportTextBesideBody(XmlCursor& xml, ReadProblems& problems)
{
    bool bodySeen = false;
    while (xml.findElement()) {
        const std::u16string name = xml.elementName();
        if (!bodySeen && name == u"Body") {
            bodySeen = true;
            continue;
        }
        if (!xml.texts().empty())
            problems.add("text in element '" + utf16::toUtf8(name.substr(0, 100)) + "' outside Body is not shown");
    }
    xml.resetPosition();
}

// Reads Body's paragraphs. Every text inside Body is kept: a paragraph's
// runs are its text Chunks, and text anywhere else (nested deeper, beside
// elements, directly in a paragraph or in Body) becomes runs too, or a
// paragraph of its own; such a chapter is reported as reshaped. Empty runs
// and paragraphs without text are left out.
void readBody(XmlCursor& xml, const ChapterReadOptions& options, Chapter& chapter)
{
    const auto texts = xml.texts();
    xml.intoElement();
    int cursorChild = -1;  // the Body child the cursor is on
    int paragraphChild = -1;
    bool reshaped = false;
    Paragraph paragraph;
    const auto finish = [&] {
        if (paragraph.runs.empty())
            return;
        if (paragraphChild >= 0)
            readParagraphAttributes(xml, options, paragraph);
        else
            paragraph.fontSize = options.defaultFontSize;
        if (options.uniformLineSpacing && paragraph.lineSpacing < 1)
            paragraph.lineSpacing = options.globalLineSpacing;
        if (reshaped)
            chapter.problems.add("paragraph " + std::to_string(chapter.paragraphs.size() + 1) +
                                 ": text outside its runs was read into runs");
        chapter.paragraphs.push_back(std::move(paragraph));
        paragraph = Paragraph{};
        reshaped = false;
    };
    for (const auto& piece : texts) {
        if (piece.child < 0 || piece.child != paragraphChild) {
            finish();
            paragraphChild = piece.child;
            while (cursorChild < paragraphChild && xml.findElement())
                ++cursorChild;
        }
        const bool run = piece.depth == 2 && !piece.besideElements && xml.nameOf(piece.element) == u"Chunk" &&
                         xml.elementName() == u"Chunk";
        reshaped = reshaped || !run;
        paragraph.runs.push_back({std::u16string(piece.text), run ? xml.attributeOf(piece.element, u"FrameStyle")
                                                                  : std::u16string()});
    }
    finish();
}

}  // namespace

std::u16string Paragraph::text() const
{
    std::u16string joined;
    for (const auto& run : runs)
        joined += run.text;
    return joined;
}

std::string chapterBytes(std::u16string_view xml)
{
    return utf16::encodeLittleEndian(xml);
}

Result<Chapter> parseChapter(std::u16string_view text, const ChapterReadOptions& options)
{
    XmlCursor xml;
    xml.setDocument(text);
    if (!xml.findElement(u"Page"))
        return Error{ErrorCode::NotChapterFormat, "no Page element"};

    Chapter chapter;
    for (const auto& diagnostic : xml.diagnostics())
        chapter.problems.add(diagnostic);
    if (xml.holdsOwnText())
        chapter.problems.add("text directly in Page is not shown");
    xml.intoElement();
    reportTextBesideBody(xml, chapter.problems);
    if (xml.findElement(u"Body"))
        readBody(xml, options, chapter);
    if (chapter.paragraphs.empty()) {
        Paragraph empty;
        empty.fontSize = options.defaultFontSize;
        empty.runs.push_back({u"\r", {}});
        chapter.paragraphs.push_back(std::move(empty));
    }
    return chapter;
}

Result<Chapter> readChapter(const std::filesystem::path& path, const ChapterReadOptions& options)
{
    auto bytes = platform::readWholeFile(path);
    if (!bytes)
        return bytes.error();
    auto chapter = parseChapter(utf16::decodeLittleEndian(*bytes), options);
    if (!chapter)
        return Error{chapter.code(), path.string() + ": " + chapter.error().detail};
    return chapter;
}

std::u16string chapterToXml(const Chapter& chapter, const ChapterWriteOptions& options)
{
    XmlCursor xml;
    xml.addElement(u"Page");
    if (chapter.version != 1)
        xml.setAttribute(u"Version", chapter.version);
    if (chapter.publishStatus != 0)
        xml.setAttribute(u"PublishStatus", chapter.publishStatus);
    if (options.retract != 0)
        xml.setAttribute(u"Retract", options.retract);
    xml.intoElement();
    xml.addElement(u"Body");
    xml.setAttribute(u"Type", chainType(chapter.paragraphs.size()));
    xml.intoElement();
    for (const auto& paragraph : chapter.paragraphs) {
        xml.addElement(u"Chunk");
        xml.setAttribute(u"Type", chainType(paragraph.runs.size()));
        if (paragraph.fontFace && !paragraph.fontFace->empty())
            xml.setAttribute(u"FontName", *paragraph.fontFace);
        if (paragraph.lineSpacing != 0)
            xml.setAttribute(u"Line", paragraph.lineSpacing);
        if (paragraph.fontSize != options.currentFontSize)
            xml.setAttribute(u"Size", paragraph.fontSize);
        if (paragraph.code != 0)
            xml.setAttribute(u"Code", paragraph.code);
        if (paragraph.verticalBar != 0)
            xml.setAttribute(u"Ver", paragraph.verticalBar);
        if (paragraph.paragraphPicture != 0)
            xml.setAttribute(u"PL", paragraph.paragraphPicture);
        if (paragraph.horizontalLine != 0)
            xml.setAttribute(u"HLine", paragraph.horizontalLine);
        if (paragraph.annotation != 0)
            xml.setAttribute(u"BZ", paragraph.annotation);
        xml.intoElement();
        for (const auto& run : paragraph.runs)
            xml.addElement(u"Chunk", run.text);
        xml.outOfElement();
    }
    xml.outOfElement();
    xml.outOfElement();
    xml.setAttribute(u"Count_Input", options.countInput);
    return xml.document();
}

Status writeChapter(const std::filesystem::path& path, const Chapter& chapter, const ChapterWriteOptions& options)
{
    Status written = writeXml(path, chapterToXml(chapter, options));
    // Saving is where a killed save would be noticed: its leftovers go.
    if (written)
        platform::removeStaleTemporaryFiles(path.parent_path());
    return written;
}

std::u16string chapterXmlFromText(std::u16string_view text, TextForm form, int version, int columnDistance)
{
    // Written directly rather than through XmlCursor: an import writes
    // hundreds of thousands of these paragraphs, and the layout is fixed,
    // the one the cursor writes (each element on a line of its own, CR LF,
    // "/>" after a name and " />" after an attribute).
    static constexpr std::u16string_view kParagraphStart = u"<Chunk Type=\"R1\">\r\n<Chunk>";
    static constexpr std::u16string_view kParagraphEnd = u"</Chunk>\r\n</Chunk>\r\n";
    std::u16string body;
    body.reserve(text.size() + text.size() / 8 + 64);
    const long long lines = forEachLine(text, form, [&](std::u16string_view line) {
        body += kParagraphStart;
        appendEscapedXmlText(body, line);
        body += kParagraphEnd;
    });

    std::u16string out = u"<Page";
    if (form == TextForm::NewFile) {
        if (version != 1)
            out += u" Version=\"" + utf16::number(version) + u"\"";
        if (columnDistance != 50)
            out += u" ColumnDis=\"" + utf16::number(columnDistance) + u"\"";
    }
    out += u">\r\n<Body Type=\"C" + utf16::number(lines) + u"\"";
    if (body.empty()) {
        out += u" />\r\n</Page>\r\n";
        return out;
    }
    out.reserve(out.size() + body.size() + 20);
    out += u">\r\n";
    out += body;
    out += u"</Body>\r\n</Page>\r\n";
    return out;
}

Status writeChapterFromText(const std::filesystem::path& path, std::u16string_view text, TextForm form,
                            platform::Durability durability, int version, int columnDistance)
{
    return writeXml(path, chapterXmlFromText(text, form, version, columnDistance), durability);
}

Status appendTextToChapter(const std::filesystem::path& path, std::u16string_view text)
{
    auto bytes = platform::readWholeFile(path);
    if (!bytes)
        return bytes.error();
    XmlCursor xml;
    xml.setDocument(utf16::decodeLittleEndian(*bytes));
    if (!xml.findElement(u"Page"))
        return Error{ErrorCode::NotChapterXml, path.string() + ": no Page element"};
    // The file is written back through the cursor: one it cannot give back
    // whole is left as it is rather than losing what could not be read.
    if (!xml.writesBackWhole())
        return Error{ErrorCode::NotChapterXml, path.string() + ": parts of the file cannot be read; not appended"};
    xml.intoElement();
    if (!xml.findElement(u"Body") && !xml.addElement(u"Body"))
        return Error{ErrorCode::NotChapterXml, path.string() + ": no place for Body"};
    xml.intoElement();
    long long existing = 0;
    while (xml.findElement(u"Chunk"))
        ++existing;
    bool added = true;
    const long long appended = forEachLine(text, TextForm::NewFile, [&](std::u16string_view line) {
        added = added && addTextParagraph(xml, line);
    });
    if (!added)
        return Error{ErrorCode::NotChapterXml, path.string() + ": Body holds text; not appended"};
    xml.outOfElement();
    xml.setAttribute(u"Type", u"C" + utf16::number(existing + appended));
    return platform::writeFileAtomically(path, chapterBytes(xml.document()));
}

std::filesystem::path originalCopyPath(const std::filesystem::path& path)
{
    std::filesystem::path copy = path;
    copy += ".orig";
    return copy;
}

Status keepOriginalCopy(const std::filesystem::path& path)
{
    const std::filesystem::path copy = originalCopyPath(path);
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(copy, ec)) ||
        !std::filesystem::exists(path, ec))
        return {};
    auto bytes = platform::readWholeFile(path);
    if (!bytes)
        return bytes.error();
    return platform::writeFileAtomically(copy, *bytes);
}

}  // namespace veyla::library
