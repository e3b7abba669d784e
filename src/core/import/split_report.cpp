// SPDX-License-Identifier: MIT
#include "core/import/split_report.h"

#include <algorithm>

#include "core/util/utf16.h"

namespace veyla::import {

namespace {

// Chapters without a number are normal in small numbers (楔子, 序, 尾聲,
// an epilogue): up to two, or one in twenty.
std::size_t unnumberedAllowance(std::size_t chapters)
{
    return std::max<std::size_t>(2, chapters / 20);
}

// One chapter as the report sees it: the parts of a cut chapter together.
struct Entry {
    std::size_t node = 0;
    std::size_t length = 0;
    TitleNumbers numbers;
    bool volumeFolder = false;  // a folder of a nested catalog: a new volume starts
};

// The running number a numbering fallback put at the start of a name: "0012.xml", "0012_0001.xml".
long long leadingNumber(std::u16string_view name)
{
    const Numeral numeral = readArabicNumeral(name);
    return numeral.found() ? numeral.value : kNoNumber;
}

TitleNumbers numbersOf(const PlannedNode& node, HeadingSource source)
{
    switch (source) {
    case HeadingSource::ArabicNumbers:
    case HeadingSource::RomanNumerals: {
        TitleNumbers numbers;
        numbers.chapter = leadingNumber(node.name);
        return numbers;
    }
    case HeadingSource::FixedPieces:
    case HeadingSource::ShortText:
        return {};
    default:
        return readTitleNumbers(reportedTitle(node));
    }
}

std::vector<Entry> entriesOf(const ImportPlan& plan)
{
    std::vector<Entry> entries;
    for (std::size_t i = 0; i < plan.nodes.size(); ++i) {
        const PlannedNode& node = plan.nodes[i];
        if (node.kind == NodeKind::Folder) {
            if (node.parent >= 0)
                entries.push_back({i, 0, readTitleNumbers(reportedTitle(node)), true});
            continue;
        }
        if (node.part > 1 && !entries.empty() && !entries.back().volumeFolder) {
            entries.back().length += node.text.size();
            continue;
        }
        entries.push_back({i, node.text.size(), numbersOf(node, plan.style.source), false});
    }
    return entries;
}

// A book cut only at volume headings (卷一, 卷二, ...) has its volumes for chapters.
void promoteVolumesToChapters(std::vector<Entry>& entries)
{
    const auto hasChapter = [](const Entry& e) { return e.numbers.hasChapter(); };
    if (std::any_of(entries.begin(), entries.end(), hasChapter))
        return;
    for (Entry& entry : entries) {
        if (!entry.volumeFolder) {
            entry.numbers.chapter = entry.numbers.volume;
            entry.numbers.volume = kNoNumber;
        }
    }
}

bool splitAtHeadings(HeadingSource source)
{
    return source == HeadingSource::UserPrefix || source == HeadingSource::Marker ||
           source == HeadingSource::EveryShortLine;
}

// Takes the text before the first chapter out of the chapters: the whole
// first file when it is front matter, else what precedes its heading line.
void separateFrontMatter(const ImportPlan& plan, std::vector<Entry>& chapters, SplitReport& report)
{
    if (!splitAtHeadings(plan.style.source) || chapters.empty())
        return;
    Entry& first = chapters.front();
    if (plan.firstChapterHoldsContents && chapters.size() >= 2) {
        const TitleNumbers& a = first.numbers;
        const TitleNumbers& b = chapters[1].numbers;
        if (!a.hasChapter() || a.chapter == b.chapter) {
            report.frontMatterFile = true;
            report.textBeforeFirstChapter = first.length;
            chapters.erase(chapters.begin());
            return;
        }
    }
    report.textBeforeFirstChapter = std::min(plan.firstHeading, first.length);
    first.length -= report.textBeforeFirstChapter;
}

// Walks the chapter numbers volume by volume, collecting runs and breaks.
class NumberWalk {
public:
    explicit NumberWalk(SplitReport& report) : m_report(report) {}

    void volume(long long number)
    {
        m_volume = number;
        m_volumeChanged = true;
    }

    void chapter(const ChapterRef& node, long long number)
    {
        ++m_report.numbered;
        if (m_previous == kNoNumber) {
            if (number > 1)
                m_report.issues.push_back({NumberIssueKind::Gap, node, kNoNumber, number});
            startRun(number);
        } else if (m_volumeChanged && (number <= 1 || number == m_previous + 1)) {
            startRun(number);  // a volume may start again or go on counting
        } else if (number == m_previous + 1) {
            m_report.runs.back().last = number;
        } else {
            m_report.issues.push_back({kindOf(number), node, m_previous, number});
            startRun(number);
        }
        m_previous = number;
        m_volumeChanged = false;
    }

private:
    NumberIssueKind kindOf(long long number) const
    {
        if (number == m_previous)
            return NumberIssueKind::Repeat;
        if (number > m_previous)
            return NumberIssueKind::Gap;
        return number <= 1 ? NumberIssueKind::Restart : NumberIssueKind::OutOfOrder;
    }

    void startRun(long long number) { m_report.runs.push_back({m_volume, number, number}); }

    SplitReport& m_report;
    long long m_volume = kNoNumber;
    long long m_previous = kNoNumber;
    bool m_volumeChanged = false;
};

ChapterRef refOf(const ImportPlan& plan, const Entry& entry)
{
    return {entry.node, plan.nodes[entry.node].name};
}

void walkNumbers(const ImportPlan& plan, const std::vector<Entry>& entries, SplitReport& report)
{
    NumberWalk walk(report);
    for (const Entry& entry : entries) {
        const TitleNumbers& numbers = entry.numbers;
        if (numbers.hasVolume() || entry.volumeFolder)
            walk.volume(numbers.volume);
        if (numbers.hasChapter()) {
            walk.chapter(refOf(plan, entry), numbers.chapter);
            continue;
        }
        if (numbers.overflow)
            ++report.overflowingNumbers;
        if (entry.volumeFolder)
            continue;
        if (numbers.hasVolume())
            ++report.volumeHeadings;
        else
            report.unnumbered.push_back(refOf(plan, entry));
    }
}

void findOutliers(const ImportPlan& plan, const std::vector<Entry>& chapters, SplitReport& report)
{
    std::vector<std::size_t> lengths;
    lengths.reserve(chapters.size());
    for (const Entry& entry : chapters)
        lengths.push_back(entry.length);
    if (lengths.empty())
        return;
    auto middle = lengths.begin() + static_cast<std::ptrdiff_t>(lengths.size() / 2);
    std::nth_element(lengths.begin(), middle, lengths.end());
    report.medianLength = *middle;
    // Two or three chapters have no meaningful middle to stand out from.
    if (chapters.size() < 4)
        return;
    for (const Entry& entry : chapters) {
        if (entry.length * 100 < report.medianLength)
            report.outliers.push_back({LengthOutlierKind::Short, refOf(plan, entry), entry.length});
        else if (entry.length > report.medianLength * 10)
            report.outliers.push_back({LengthOutlierKind::Long, refOf(plan, entry), entry.length});
    }
}

std::string plural(std::size_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// "2 repeats (45 after 45)": how many breaks of a kind and the first one.
std::string describeIssues(const SplitReport& report, NumberIssueKind kind)
{
    const std::size_t n = report.issueCount(kind);
    if (n == 0)
        return {};
    const auto first = std::find_if(report.issues.begin(), report.issues.end(),
                                    [&](const NumberIssue& issue) { return issue.kind == kind; });
    std::string example = first->previous == kNoNumber
                              ? "starts at " + std::to_string(first->number)
                              : std::to_string(first->number) + " after " + std::to_string(first->previous);
    switch (kind) {
    case NumberIssueKind::Gap: return plural(n, "gap", "gaps") + " (" + example + ")";
    case NumberIssueKind::Repeat: return plural(n, "repeated number", "repeated numbers") + " (" + example + ")";
    case NumberIssueKind::Restart: return plural(n, "restart", "restarts") + " (" + example + ")";
    case NumberIssueKind::OutOfOrder: return plural(n, "number", "numbers") + " out of order (" + example + ")";
    }
    return {};
}

void judge(const ImportPlan& plan, std::size_t bookLength, SplitReport& report)
{
    std::vector<std::string> reasons;
    const auto add = [&](std::string reason) {
        if (!reason.empty())
            reasons.push_back(std::move(reason));
    };
    if (plan.style.source == HeadingSource::FixedPieces)
        add("no chapter headings were found; the text is cut into pieces of about 9000 characters");
    else if (report.files == 0)
        add("no chapter was found");
    else if (report.chapters == 1 && report.files > 1)
        add("one chapter of " + std::to_string(bookLength) + " characters, cut into " +
            std::to_string(report.files) + " parts");
    const std::size_t unnumbered = report.unnumbered.size();
    if (plan.style.source == HeadingSource::EveryShortLine && unnumbered > unnumberedAllowance(report.chapters))
        add("every short line was taken for a heading: " + std::to_string(unnumbered) + " of " +
            std::to_string(report.chapters) + " chapters have no number");
    else if (report.numbered > 0 && unnumbered > unnumberedAllowance(report.chapters))
        add(std::to_string(unnumbered) + " of " + std::to_string(report.chapters) + " chapters have no number");
    for (const auto kind : {NumberIssueKind::Repeat, NumberIssueKind::Gap, NumberIssueKind::Restart,
                            NumberIssueKind::OutOfOrder})
        add(describeIssues(report, kind));
    const auto shortOnes = static_cast<std::size_t>(std::count_if(
        report.outliers.begin(), report.outliers.end(),
        [](const LengthOutlier& o) { return o.kind == LengthOutlierKind::Short; }));
    const std::size_t longOnes = report.outliers.size() - shortOnes;
    if (shortOnes > 0)
        add(plural(shortOnes, "chapter", "chapters") + " under 1% of the median length");
    if (longOnes > 0)
        add(plural(longOnes, "chapter", "chapters") + " over ten times the median length");
    report.suspicious = !reasons.empty();
    for (std::size_t i = 0; i < reasons.size(); ++i)
        report.reason += (i == 0 ? "" : "; ") + reasons[i];
}

}  // namespace

std::u16string reportedTitle(const PlannedNode& node)
{
    if (!node.title.empty())
        return node.title;
    std::u16string_view name = node.name;
    if (name.size() >= 4 && name.substr(name.size() - 4) == u".xml")
        name.remove_suffix(4);
    const std::size_t digits = name.find_first_not_of(u"0123456789");
    if (digits != 0 && digits != std::u16string_view::npos && name[digits] == u'_')
        name.remove_prefix(digits + 1);
    return std::u16string(name);
}

std::size_t SplitReport::issueCount(NumberIssueKind kind) const
{
    return static_cast<std::size_t>(
        std::count_if(issues.begin(), issues.end(), [&](const NumberIssue& issue) { return issue.kind == kind; }));
}

std::string SplitReport::counts() const
{
    std::vector<std::string> besides;
    if (frontMatterFile)
        besides.emplace_back("the front matter");
    if (volumeHeadings > 0)
        besides.push_back(plural(volumeHeadings, "volume heading", "volume headings"));
    const std::size_t whole = chapters + volumeHeadings + (frontMatterFile ? 1 : 0);
    if (files > whole)
        besides.emplace_back("chapters cut into parts");
    std::string text = plural(chapters, "chapter", "chapters");
    if (besides.empty())
        return text;
    text = plural(files, "file", "files") + ": " + text;
    for (std::size_t i = 0; i < besides.size(); ++i)
        text += (i + 1 == besides.size() ? " and " : ", ") + besides[i];
    return text;
}

std::string SplitReport::describeRuns(std::size_t shown) const
{
    std::string text;
    for (std::size_t i = 0; i < runs.size() && i < shown; ++i) {
        const NumberRun& run = runs[i];
        if (i > 0)
            text += ", ";
        const bool newVolume = run.volume != kNoNumber && (i == 0 || runs[i - 1].volume != run.volume);
        if (newVolume)
            text += "vol. " + std::to_string(run.volume) + ": ";
        text += std::to_string(run.first);
        if (run.last != run.first)
            text += "-" + std::to_string(run.last);
    }
    if (runs.size() > shown)
        text += ", and " + std::to_string(runs.size() - shown) + " more";
    return text;
}

std::string SplitReport::verdict() const
{
    return suspicious ? "suspicious: " + reason : "looks right";
}

SplitReport reportOnPlan(const ImportPlan& plan)
{
    SplitReport report;
    std::size_t bookLength = 0;
    for (const PlannedNode& node : plan.nodes) {
        if (node.kind == NodeKind::Chapter) {
            ++report.files;
            bookLength += node.text.size();
        }
    }
    std::vector<Entry> entries = entriesOf(plan);
    promoteVolumesToChapters(entries);
    separateFrontMatter(plan, entries, report);
    walkNumbers(plan, entries, report);
    std::vector<Entry> chapters;
    chapters.reserve(entries.size());
    for (Entry& entry : entries) {
        if (!entry.volumeFolder && !(entry.numbers.hasVolume() && !entry.numbers.hasChapter()))
            chapters.push_back(std::move(entry));
    }
    report.chapters = chapters.size();
    findOutliers(plan, chapters, report);
    judge(plan, bookLength, report);
    return report;
}

}  // namespace veyla::import
