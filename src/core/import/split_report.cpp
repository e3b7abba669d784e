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
    bool volumeFolder = false;  // a folder of a nested catalog
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

// Whether text holds a table of contents: at least three lines, each
// numbered one more than the numbered line before it ("CHAPTER I. …",
// "CHAPTER II. …"). Only the first 45 units of a line are read.
bool listsNumberedHeadings(std::u16string_view text)
{
    constexpr std::size_t kLineHead = 45;
    constexpr int kSteps = 3;
    long long last = kNoNumber;
    int steps = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find(u'\n', start);
        if (end == std::u16string_view::npos)
            end = text.size();
        const TitleNumbers numbers = readTitleNumbers(text.substr(start, std::min(end - start, kLineHead)));
        if (numbers.hasChapter()) {
            if (last != kNoNumber && numbers.chapter == last + 1 && ++steps >= kSteps)
                return true;
            last = numbers.chapter;
        }
        start = end + 1;
    }
    return false;
}

// Takes the text before the first chapter out of the chapters: the whole
// first file when it is front matter, else what precedes its heading line.
void separateFrontMatter(const ImportPlan& plan, std::vector<Entry>& chapters, SplitReport& report)
{
    if (!splitAtHeadings(plan.style.source) || chapters.empty())
        return;
    Entry& first = chapters.front();
    const auto holdsContents = [&] {
        if (plan.firstChapterHoldsContents)
            return true;
        const std::u16string_view text = plan.nodes[first.node].text;
        const std::size_t heading = std::min(plan.firstHeading, text.size());
        const std::size_t body = std::min(text.find(u'\n', heading), text.size());
        return listsNumberedHeadings(text.substr(body));
    };
    if (chapters.size() >= 2 && holdsContents()) {
        const TitleNumbers& a = first.numbers;
        const TitleNumbers& b = chapters[1].numbers;
        // A first chapter numbered just before the second is a chapter that
        // holds a list of its sections; anything else is a contents entry.
        if (!a.hasChapter() || !b.hasChapter() || a.chapter + 1 != b.chapter) {
            report.frontMatterFile = true;
            report.textBeforeFirstChapter = first.length;
            chapters.erase(chapters.begin());
            return;
        }
    }
    report.textBeforeFirstChapter = std::min(plan.firstHeading, first.length);
    first.length -= report.textBeforeFirstChapter;
}

// Walks the chapter numbers, collecting runs and breaks. Each folder's
// children form a sequence of their own (a nested catalog); within one,
// a volume mark lets the numbers start again or go on counting.
class NumberWalk {
public:
    NumberWalk(SplitReport& report, std::size_t nodes) : m_report(report), m_sequences(nodes + 1) {}

    void volume(int parent, long long number)
    {
        Sequence& s = sequenceOf(parent);
        s.volume = number;
        s.volumeChanged = true;
    }

    // A folder of a nested catalog: numbered among its siblings, and the
    // volume of its own children.
    void folder(int parent, std::size_t node, long long number)
    {
        sequenceOf(static_cast<int>(node)).volume = number;
        if (number != kNoNumber)
            step(sequenceOf(parent), {node, {}}, number, false);
    }

    void chapter(int parent, const ChapterRef& ref, long long number)
    {
        ++m_report.numbered;
        step(sequenceOf(parent), ref, number, true);
        m_lastChapter = number;
    }

private:
    struct Sequence {
        long long previous = kNoNumber;
        long long volume = kNoNumber;
        bool volumeChanged = false;
        std::size_t run = kNoRun;  // the run this sequence's last chapter belongs to
    };

    static constexpr std::size_t kNoRun = static_cast<std::size_t>(-1);

    Sequence& sequenceOf(int parent) { return m_sequences[static_cast<std::size_t>(parent + 1)]; }

    void step(Sequence& s, const ChapterRef& ref, long long number, bool run)
    {
        const bool startsAgain = number <= 1;
        if (s.previous == kNoNumber) {
            // A sequence starts at 1 (or 0), or goes on from the chapters before it.
            const bool goesOn = run && m_lastChapter != kNoNumber && number == m_lastChapter + 1;
            if (!startsAgain && !goesOn)
                m_report.issues.push_back({NumberIssueKind::Gap, ref, kNoNumber, number});
            startRun(s, number, run);
        } else if (s.volumeChanged && (startsAgain || number == s.previous + 1)) {
            startRun(s, number, run);
        } else if (number == s.previous + 1) {
            if (run && s.run != kNoRun)
                m_report.runs[s.run].last = number;
            else
                startRun(s, number, run);
        } else {
            m_report.issues.push_back({kindOf(number, s.previous), ref, s.previous, number});
            startRun(s, number, run);
        }
        s.previous = number;
        s.volumeChanged = false;
    }

    static NumberIssueKind kindOf(long long number, long long previous)
    {
        if (number == previous)
            return NumberIssueKind::Repeat;
        if (number > previous)
            return NumberIssueKind::Gap;
        return number <= 1 ? NumberIssueKind::Restart : NumberIssueKind::OutOfOrder;
    }

    void startRun(Sequence& s, long long number, bool run)
    {
        s.run = run ? m_report.runs.size() : kNoRun;
        if (run)
            m_report.runs.push_back({s.volume, number, number});
    }

    SplitReport& m_report;
    std::vector<Sequence> m_sequences;  // by parent node + 1
    long long m_lastChapter = kNoNumber;
};

ChapterRef refOf(const ImportPlan& plan, const Entry& entry)
{
    return {entry.node, plan.nodes[entry.node].name};
}

void walkNumbers(const ImportPlan& plan, const std::vector<Entry>& entries, SplitReport& report)
{
    NumberWalk walk(report, plan.nodes.size());
    std::size_t firstNumbered = entries.size();
    std::size_t lastNumbered = 0;
    std::vector<std::size_t> unnumbered;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& entry = entries[i];
        const TitleNumbers& numbers = entry.numbers;
        const int parent = plan.nodes[entry.node].parent;
        if (numbers.overflow)
            ++report.overflowingNumbers;
        if (entry.volumeFolder) {
            walk.folder(parent, entry.node, numbers.hasVolume() ? numbers.volume : numbers.chapter);
            continue;
        }
        if (numbers.hasVolume())
            walk.volume(parent, numbers.volume);
        if (numbers.hasChapter()) {
            walk.chapter(parent, refOf(plan, entry), numbers.chapter);
            firstNumbered = std::min(firstNumbered, i);
            lastNumbered = i;
        } else if (numbers.hasVolume()) {
            ++report.volumeHeadings;
        } else {
            report.unnumbered.push_back(refOf(plan, entry));
            unnumbered.push_back(i);
        }
    }
    // Front and back matter (a title page, an appendix) lie outside the numbered chapters.
    report.unnumberedAmongNumbered = static_cast<std::size_t>(std::count_if(
        unnumbered.begin(), unnumbered.end(), [&](std::size_t i) { return i > firstNumbered && i < lastNumbered; }));
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
    const std::size_t unnumbered = report.unnumberedAmongNumbered;
    if (plan.style.source == HeadingSource::EveryShortLine && unnumbered > unnumberedAllowance(report.chapters))
        add("every short line was taken for a heading: " + std::to_string(report.unnumbered.size()) + " of " +
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
