// SPDX-License-Identifier: MIT
#include "core/view/colour_schemes.h"

#include <algorithm>
#include <iterator>

#include "core/library/xml_cursor.h"
#include "core/platform/file_io.h"
#include "core/util/utf16.h"

namespace veyla::view {

namespace {

struct Attribute {
    std::u16string_view name;
    Colour ColourSet::*member;
};

// The Page attributes in the order they are written.
constexpr Attribute kAttributes[] = {
    {u"Bg", &ColourSet::bg},
    {u"TreeBg", &ColourSet::treeBg},
    {u"Text", &ColourSet::text},
    {u"TextBright", &ColourSet::textBright},
    {u"Left", &ColourSet::left},
    {u"CBg", &ColourSet::codeBg},
    {u"CText", &ColourSet::codeText},
    {u"Zhuwen", &ColourSet::comment},
    {u"Xiaokuohao", &ColourSet::parenthesis},
    {u"Dakuohao", &ColourSet::brace},
    {u"CurInXiao", &ColourSet::inParenthesis},
    {u"CurInDa", &ColourSet::inBrace},
    {u"Control", &ColourSet::control},
    {u"Int", &ColourSet::type},
    {u"Fun", &ColourSet::function},
    {u"DFun", &ColourSet::ownFunction},
    {u"Var", &ColourSet::variable},
    {u"TRUE", &ColourSet::boolean},
    {u"Yinhao", &ColourSet::string},
    {u"Digit", &ColourSet::digit},
    {u"CodeHtmlMode", &ColourSet::codeHtmlMode},
    {u"CodePubMode", &ColourSet::codePubMode},
};

struct BuiltIn {
    int id;
    ColourScheme scheme;
};

const BuiltIn kBuiltIns[] = {
    {34023, {u"浅白", 16777215, 16316666, 5855577}},
    {34024, {u"淡黄", 14216436, 13560050, 3556955}},
    {34025, {u"淡绿", 12249806, 12907736, 3355443}},
    {34026, {u"灰色", 4868165, 4670528, 10723229}},
    {34027, {u"黑色", 3355443, 3026478, 10661045}},
};

Colour colourAttribute(const library::XmlCursor& xml, std::u16string_view name)
{
    return static_cast<Colour>(utf16::toInteger(xml.attribute(name)));
}

Colour randomColour(RandomEngine& engine)
{
    const int red = static_cast<int>(engine() % 255);
    const int green = static_cast<int>(engine() % 255);
    const int blue = static_cast<int>(engine() % 255);
    return rgb(red, green, blue);
}

}  // namespace

std::optional<ColourScheme> builtInScheme(int commandId)
{
    for (const auto& builtIn : kBuiltIns)
        if (builtIn.id == commandId)
            return builtIn.scheme;
    return std::nullopt;
}

ColourSchemes ColourSchemes::fromXml(std::u16string_view xml)
{
    // The file is read into a zeroed buffer: its text ends at the first NUL.
    xml = xml.substr(0, xml.find(u'\0'));
    if (!xml.empty() && xml.front() == u'\uFEFF')
        xml.remove_prefix(1);
    ColourSchemes result;
    library::XmlCursor cursor;
    cursor.setDocument(xml);
    if (!cursor.findElement(u"Page"))
        return result;
    // Read in file order, except that CodePubMode comes before CodeHtmlMode.
    constexpr std::size_t kModes = 2;
    for (std::size_t i = 0; i + kModes < std::size(kAttributes); ++i)
        result.m_colours.*kAttributes[i].member = colourAttribute(cursor, kAttributes[i].name);
    result.m_colours.codePubMode = colourAttribute(cursor, u"CodePubMode");
    result.m_colours.codeHtmlMode = colourAttribute(cursor, u"CodeHtmlMode");
    if (cursor.attribute(u"TextBright").empty())
        result.m_colours.textBright = kDefaultTextBright;
    cursor.intoElement();
    if (cursor.findElement(u"WholeCorlor") && utf16::toInteger(cursor.attribute(u"WholeCount")) > 0) {
        cursor.intoElement();
        while (cursor.findElement(u"CORLOR")) {
            ColourScheme scheme;
            scheme.name = cursor.attribute(u"Name");
            if (scheme.name.empty())
                scheme.name = u"未命名";
            scheme.bg = colourAttribute(cursor, u"Bg");
            scheme.treeBg = colourAttribute(cursor, u"TreeBg");
            scheme.text = colourAttribute(cursor, u"Text");
            result.m_schemes.push_back(std::move(scheme));
        }
    }
    return result;
}

bool ColourSchemes::isColourFile(std::u16string_view xml)
{
    xml = xml.substr(0, xml.find(u'\0'));
    if (!xml.empty() && xml.front() == u'\uFEFF')
        xml.remove_prefix(1);
    library::XmlCursor cursor;
    cursor.setDocument(xml);
    return cursor.findElement(u"Page");
}

ColourSchemes ColourSchemes::builtIn()
{
    ColourSchemes schemes;
    if (const auto scheme = builtInScheme(34024))
        schemes.apply(*scheme);
    schemes.m_colours.textBright = kDefaultTextBright;
    return schemes;
}

ColourSchemes ColourSchemes::read(const platform::AppFolders& folders)
{
    const std::filesystem::path inData = folders.dataControl("Color.xml");
    for (const auto& path : {inData, folders.programControl("Color.xml")}) {
        std::error_code ec;
        if (!std::filesystem::exists(path, ec))
            continue;
        auto bytes = platform::readWholeFile(path);
        if (bytes) {
            std::u16string text = utf16::decodeLittleEndian(*bytes);
            if (isColourFile(text))
                return fromXml(text);
        }
        if (path == inData)
            (void)platform::keepAside(path, ".unreadable");
    }
    return builtIn();
}

std::u16string ColourSchemes::toXml() const
{
    library::XmlCursor xml;
    xml.addElement(u"Page");
    for (const auto& attribute : kAttributes)
        xml.setAttribute(attribute.name, static_cast<long long>(m_colours.*attribute.member));
    if (!m_schemes.empty()) {
        xml.intoElement();
        xml.addElement(u"WholeCorlor");
        xml.setAttribute(u"WholeCount", static_cast<long long>(m_schemes.size()));
        xml.intoElement();
        for (const auto& scheme : m_schemes) {
            xml.addElement(u"CORLOR");
            xml.setAttribute(u"Name", scheme.name);
            xml.setAttribute(u"Bg", static_cast<long long>(scheme.bg));
            xml.setAttribute(u"TreeBg", static_cast<long long>(scheme.treeBg));
            xml.setAttribute(u"Text", static_cast<long long>(scheme.text));
        }
    }
    return xml.document();
}

Status ColourSchemes::write(const platform::AppFolders& folders) const
{
    const auto path = folders.dataControl("Color.xml");
    platform::makeFoldersForPath(path.parent_path());
    return platform::writeFileAtomically(path, utf16::encodeLittleEndian(toXml()));
}

void ColourSchemes::apply(const ColourScheme& scheme)
{
    m_colours.bg = scheme.bg;
    m_colours.treeBg = scheme.treeBg;
    m_colours.text = scheme.text;
}

bool ColourSchemes::applyNamed(std::u16string_view name)
{
    for (std::size_t i = 0; i < m_schemes.size(); ++i)
        if (m_schemes[i].name == name) {
            apply(m_schemes[i]);
            m_lastApplied = i;
            return true;
        }
    return false;
}

bool ColourSchemes::applyBuiltIn(int commandId)
{
    const auto scheme = builtInScheme(commandId);
    if (!scheme)
        return false;
    apply(*scheme);
    return true;
}

void ColourSchemes::randomise(RandomEngine& engine)
{
    m_colours.text = randomColour(engine);
    m_colours.bg = randomColour(engine);
    m_colours.treeBg = m_colours.bg - 1118481;
}

SchemeSaved ColourSchemes::saveCurrent(std::u16string_view name, DuplicateName duplicate)
{
    if (name.empty())
        return SchemeSaved::EmptyName;
    const auto found =
        std::find_if(m_schemes.begin(), m_schemes.end(), [&](const ColourScheme& s) { return s.name == name; });
    if (found != m_schemes.end()) {
        if (duplicate == DuplicateName::Refuse)
            return SchemeSaved::DuplicateRefused;
        found->bg = m_colours.bg;
        found->text = m_colours.text;
        return SchemeSaved::Replaced;
    }
    m_schemes.push_back({std::u16string(name), m_colours.bg, m_colours.treeBg, m_colours.text});
    return SchemeSaved::Appended;
}

std::optional<std::size_t> ColourSchemes::currentScheme() const
{
    if (m_lastApplied && *m_lastApplied < m_schemes.size())
        return m_lastApplied;
    for (std::size_t i = 0; i < m_schemes.size(); ++i)
        if (m_schemes[i].bg == m_colours.bg && m_schemes[i].text == m_colours.text)
            return i;
    return std::nullopt;
}

bool ColourSchemes::stepScheme(int direction)
{
    const std::size_t count = m_schemes.size();
    if (count < 2 || direction == 0)
        return false;
    const auto current = currentScheme();
    std::size_t next = 0;
    if (current)
        next = direction > 0 ? (*current + 1) % count : (*current + count - 1) % count;
    else
        next = direction > 0 ? 0 : count - 1;
    apply(m_schemes[next]);
    m_lastApplied = next;
    return true;
}

}  // namespace veyla::view
