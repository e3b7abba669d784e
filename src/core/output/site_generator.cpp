// SPDX-License-Identifier: MIT
#include "core/output/site_generator.h"

#include <map>
#include <optional>
#include <system_error>

#include "core/library/library_folder.h"
#include "core/output/html_text.h"
#include "core/platform/file_io.h"
#include "core/util/utf16.h"

namespace veyla::output {

namespace {

namespace fs = std::filesystem;

constexpr std::u16string_view kIndexName = u"目录.html";

std::vector<std::u16string> elementsOf(const fs::path& relative)
{
    std::vector<std::u16string> elements;
    for (const auto& part : relative)
        elements.push_back(library::pathText(part));
    return elements;
}

std::u16string twoDigits(int n)
{
    std::u16string digits = utf16::number(n);
    if (digits.size() < 2)
        digits.insert(digits.begin(), u'0');
    return digits;
}

class SiteWriter {
public:
    SiteWriter(const SitePlan& plan, const fs::path& dataFolder, const SiteOptions& options, std::stop_token stop,
               const SiteProgressFn& progress)
        : m_plan(plan), m_htmlRoot(dataFolder / "HTML"), m_dataFolder(dataFolder), m_options(options),
          m_stop(std::move(stop)), m_progress(progress)
    {
    }

    SiteResult run()
    {
        if (!m_plan.folders.empty())
            m_result.indexPage = walk(0);
        if (m_stop.stop_requested()) {
            m_result.stopped = true;
            return std::move(m_result);
        }
        for (const auto& ancestor : m_plan.ancestors)
            writeAncestor(ancestor);
        writeTopPages();
        platform::syncFileSystem(m_htmlRoot);
        report(std::u16string(kSiteDoneText));
        return std::move(m_result);
    }

private:
    // Existence answers are kept for the generation: a page is tested once.
    bool exists(const fs::path& page)
    {
        const auto found = m_exists.find(page);
        if (found != m_exists.end())
            return found->second;
        std::error_code error;
        const bool answer = fs::exists(page, error);
        m_exists.emplace(page, answer);
        return answer;
    }

    void report(std::u16string status)
    {
        if (m_progress)
            m_progress({std::move(status), m_done, m_plan.chapterCount});
    }

    bool write(const fs::path& page, const std::u16string& html)
    {
        std::error_code error;
        fs::create_directories(page.parent_path(), error);
        const Status written =
            platform::writeFileAtomically(page, pageBytes(html), platform::FileAccess::Default,
                                          platform::Durability::Deferred);
        if (!written) {
            m_result.failures.emplace_back(page, written.error());
            return false;
        }
        m_exists[page] = true;
        return true;
    }

    // The chapter's paragraph texts; nullopt (and a failure listed) when unreadable.
    std::optional<std::vector<std::u16string>> paragraphsOf(const SiteChapter& chapter)
    {
        auto read = library::readChapter(chapter.file, m_options.readOptions);
        if (!read) {
            m_result.failures.emplace_back(chapter.file, read.error());
            return std::nullopt;
        }
        std::vector<std::u16string> texts;
        for (const auto& paragraph : read->paragraphs)
            texts.push_back(plainParagraphText(paragraph));
        return texts;
    }

    void writeContent(const fs::path& page, const ContentPage& content)
    {
        if (write(page, contentPageHtml(content, m_options.style)))
            ++m_result.pagesWritten;
    }

    fs::path walk(std::size_t index)
    {
        const SiteFolder& folder = m_plan.folders[index];
        std::u16string status(kSiteStatusFormat);
        status.replace(status.find(u"%s"), 2, folder.text);
        report(status);

        std::vector<IndexLink> links;
        for (const std::size_t sub : folder.subFolders) {
            if (m_stop.stop_requested())
                return {};
            const fs::path subIndex = walk(sub);
            if (!subIndex.empty())
                links.push_back({library::pathText(m_plan.folders[sub].relative.filename()) + u"/" +
                                     std::u16string(kIndexName),
                                 m_plan.folders[sub].label});
        }
        if (m_options.mode == SiteMode::Chapters)
            chapterPages(folder, links);
        else
            wholeBookPages(folder, links);
        if (m_stop.stop_requested())
            return {};

        const fs::path indexPath = m_htmlRoot / folder.relative / library::pathFromText(kIndexName);
        IndexPage page{elementsOf(folder.relative / library::pathFromText(kIndexName)), folder.text, std::move(links),
                       std::nullopt};
        if (write(indexPath, indexPageHtml(page, m_options.style)))
            ++m_result.indexPagesWritten;
        return indexPath;
    }

    void chapterPages(const SiteFolder& folder, std::vector<IndexLink>& links)
    {
        const auto& chapters = folder.chapters;
        for (std::size_t i = 0; i < chapters.size() && !m_stop.stop_requested(); ++i) {
            const fs::path relative = folder.relative / library::pathFromText(chapters[i].pageName);
            const fs::path page = m_htmlRoot / relative;
            if (!m_options.indexPagesOnly) {
                if (exists(page)) {
                    ++m_result.pagesKept;
                } else if (auto texts = paragraphsOf(chapters[i])) {
                    // An unreadable chapter gets no page, so a later run makes it.
                    ContentPage content{elementsOf(relative), SiteMode::Chapters, {}, {}, std::nullopt, std::nullopt};
                    for (auto& text : *texts)
                        content.paragraphs.push_back({PageParagraph::Kind::Text, 0, std::move(text)});
                    if (i > 0)
                        content.previous = u".\\" + chapters[i - 1].pageName;
                    if (i + 1 < chapters.size())
                        content.next = u".\\" + chapters[i + 1].pageName;
                    writeContent(page, content);
                }
            }
            links.push_back({chapters[i].pageName, chapters[i].label});
            ++m_done;
            report(std::u16string());
        }
    }

    void wholeBookPages(const SiteFolder& folder, std::vector<IndexLink>& links)
    {
        const auto& chapters = folder.chapters;
        if (chapters.empty())
            return;
        const fs::path folderPath = m_htmlRoot / folder.relative;
        const auto partName = [&](int part) { return folder.text + u"_全集" + twoDigits(part) + u".html"; };
        const std::u16string singleName = folder.text + u"_全集.html";

        // Pages made before are listed as they are, whatever the page size is now.
        if (exists(folderPath / library::pathFromText(singleName))) {
            links.push_back({singleName, folder.text + u"_全集"});
            m_done += chapters.size();
            return;
        }
        if (exists(folderPath / library::pathFromText(partName(1)))) {
            for (int part = 1; exists(folderPath / library::pathFromText(partName(part))); ++part)
                links.push_back({partName(part), folder.text + u"_全集" + twoDigits(part)});
            m_done += chapters.size();
            return;
        }

        const std::size_t size = static_cast<std::size_t>(std::max(1, m_options.pageSize));
        const bool parted = chapters.size() > size;
        const std::size_t parts = parted ? (chapters.size() + size - 1) / size : 1;
        for (std::size_t part = 0; part < parts && !m_stop.stop_requested(); ++part) {
            const int number = static_cast<int>(part + 1);
            const std::u16string name = parted ? partName(number) : singleName;
            const fs::path relative = folder.relative / library::pathFromText(name);
            const std::size_t first = part * size;
            const std::size_t last = std::min(chapters.size(), first + size);
            if (!m_options.indexPagesOnly && !exists(m_htmlRoot / relative)) {
                ContentPage content{elementsOf(relative), SiteMode::WholeBook, {}, {}, std::nullopt, std::nullopt};
                for (std::size_t i = first; i < last; ++i) {
                    const int anchor = static_cast<int>(i - first + 1);
                    content.sectionTitles.push_back(std::u16string(afterOrder(chapters[i].label)));
                    content.paragraphs.push_back({PageParagraph::Kind::Anchor, anchor, {}});
                    // An unreadable chapter keeps its place in the menu, with its title alone.
                    auto texts = paragraphsOf(chapters[i]);
                    if (!texts)
                        texts = std::vector<std::u16string>{content.sectionTitles.back()};
                    for (auto& text : *texts)
                        content.paragraphs.push_back({PageParagraph::Kind::Text, 0, std::move(text)});
                    ++m_done;
                    report(std::u16string());
                }
                if (parted && number > 1)
                    content.previous = partName(number - 1);
                if (parted && part + 1 < parts)
                    content.next = partName(number + 1);
                writeContent(m_htmlRoot / relative, content);
            } else {
                m_done += last - first;
            }
            links.push_back({name, parted ? folder.text + u"_全集" + twoDigits(number) : folder.text + u"_全集"});
        }
    }

    // A chapter label without its "%04d_" order prefix: the tree's text.
    static std::u16string_view afterOrder(std::u16string_view label)
    {
        return library::orderPrefix(label) ? label.substr(5) : label;
    }

    void writeAncestor(const SiteAncestor& ancestor)
    {
        std::vector<IndexLink> links;
        for (const auto& [relative, label] : ancestor.subFolders) {
            if (fs::exists(m_htmlRoot / relative / library::pathFromText(kIndexName)))
                links.push_back({library::pathText(relative.filename()) + u"/" + std::u16string(kIndexName), label});
        }
        const fs::path relative = ancestor.relative / library::pathFromText(kIndexName);
        IndexPage page{elementsOf(relative), ancestor.heading, std::move(links), std::nullopt};
        if (write(m_htmlRoot / relative, indexPageHtml(page, m_options.style)))
            ++m_result.indexPagesWritten;
    }

    void writeTopPages()
    {
        const std::u16string library = library::pathText(*m_plan.folders.front().relative.begin());
        IndexPage inside{{u"总书目.html"}, u"总书目", {{u".\\" + library + u"\\目录.html", library}}, std::nullopt};
        if (write(m_htmlRoot / u8"总书目.html", indexPageHtml(inside, m_options.style)))
            ++m_result.indexPagesWritten;
        IndexPage outside{{u"总书目.html"}, u"总书目", {{u"HTML\\" + library + u"\\目录.html", library}}, u"HTML/"};
        if (write(m_dataFolder / u8"总书目.html", indexPageHtml(outside, m_options.style)))
            ++m_result.indexPagesWritten;
    }

    const SitePlan& m_plan;
    fs::path m_htmlRoot;
    fs::path m_dataFolder;
    const SiteOptions& m_options;
    std::stop_token m_stop;
    const SiteProgressFn& m_progress;
    SiteResult m_result;
    std::map<fs::path, bool> m_exists;
    std::size_t m_done = 0;
};

std::u16string jsString(std::u16string_view text, char16_t quote)
{
    std::u16string out(1, quote);
    for (const char16_t c : text) {
        if (c == u'\\' || c == u'"' || c == u'\'') {
            out += u'\\';
            out += c;
        } else if (c < 0x20 || c == 0x2028 || c == 0x2029) {
            static constexpr char16_t kHex[] = u"0123456789abcdef";
            out += u"\\u00";
            out += kHex[(c >> 4) & 0xF];
            out += kHex[c & 0xF];
        } else {
            out += c;
        }
    }
    out += quote;
    return out;
}

std::u16string rgbText(view::Colour colour)
{
    return u"rgb(" + utf16::number(view::redOf(colour)) + u"," + utf16::number(view::greenOf(colour)) + u"," +
           utf16::number(view::blueOf(colour)) + u")";
}

}  // namespace

void applySiteMarkers(const fs::path& dataFolder, SiteOptions& options)
{
    std::error_code error;
    const auto present = [&](std::u16string_view name) {
        return fs::exists(dataFolder / library::pathFromText(name), error);
    };
    options.indexPagesOnly = present(kIndexOnlyMarker);
    if (present(kOrvantaMarker))
        options.style.headerScript = HeaderScript::Orvanta;
    else if (present(kWebMarker))
        options.style.headerScript = HeaderScript::Web;
    else
        options.style.headerScript = HeaderScript::Veyla;
}

SiteResult generateSite(const SitePlan& plan, const fs::path& dataFolder, const SiteOptions& options,
                        std::stop_token stop, const SiteProgressFn& progress)
{
    return SiteWriter(plan, dataFolder, options, std::move(stop), progress).run();
}

std::u16string fontScriptText(const std::vector<std::u16string>& fontNames,
                              const std::vector<view::ColourScheme>& schemes)
{
    std::u16string out = u"\n\t\t\t\t\t\tfunction getAllFont() { \n\t\t\t\t\t\tvar fontArr=[ \n\t\t\t\t\t\t";
    for (const auto& name : fontNames) {
        bool wide = false;
        for (const char16_t c : name)
            wide = wide || c > 0xFF;
        if (wide)
            out += jsString(name, u'"') + u",\n";
    }
    out += u"]\n\t\t\treturn fontArr;\n\t\t\t}\n          ";
    out += u"\n\t\t    function getAllColor(){\n\t\t\t  var colorArr=[ \n           ";
    for (std::size_t i = 0; i < schemes.size(); ++i) {
        const auto& scheme = schemes[i];
        // The name's quotes come from jsString; the template's own are around it.
        const std::u16string name = jsString(scheme.name, u'\'');
        out += u"{\n\t\t\t\t\t name:" + name + u",\n\t\t\t\t\t bg:'" + rgbText(scheme.bg) +
               u"',\n\t\t\t\t\t textcolor:'" + rgbText(scheme.text) + u"'\n\t\t\t\t\t }";
        if (i + 1 < schemes.size())
            out += u",";
    }
    out += u"]\n\t\t\treturn colorArr;\n\t\t\t}\n          ";
    return out;
}

Status writeFontScript(const fs::path& dataFolder, const std::vector<std::u16string>& fontNames,
                       const std::vector<view::ColourScheme>& schemes)
{
    const fs::path path = dataFolder / "HTML" / "js" / "font.js";
    std::error_code error;
    if (!fs::exists(path, error))
        return {};
    return platform::writeFileAtomically(path, pageBytes(fontScriptText(fontNames, schemes)));
}

}  // namespace veyla::output
