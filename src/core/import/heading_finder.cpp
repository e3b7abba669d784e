// SPDX-License-Identifier: MIT
#include "core/import/heading_finder.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "core/import/forward_search.h"

namespace veyla::import {

namespace {

using utf16::lineEndOf;
using utf16::lineStartOf;

constexpr TextPos kTitleWindow = 80;
constexpr std::size_t kMaxTitleLength = 45;
constexpr std::size_t kLookahead = 40;
constexpr TextPos kTableOfContentsDistance = 100;
constexpr TextPos kCursorStepAfterFirst = 200;
constexpr TextPos kCursorStepAfterRejected = 100;

// Trimmed from the left of a candidate's head and the right of its tail.
constexpr std::u16string_view kTrimSet = u"-_\uFF0D\u2014. \u3000\t";
// Any of these before the candidate position rejects it.
constexpr std::u16string_view kHeadPunctuation = u"\uFF0C,\u3002:\uFF1A.?\uFF1F\uFF01\u3001\"\u00A1";
// Trimmed from both ends of a title.
constexpr std::u16string_view kTitleEdge = u"\f*:\uFF1F?<>|/\r\n-_\u3000 ";
// Deleted anywhere in a title: characters a file name cannot hold.
constexpr std::u16string_view kRemovedFromTitles = u"?*<>|\\/";
// Rejects a title unless punctuation is allowed.
constexpr std::u16string_view kTitlePunctuation =
    u"\uFF0C\u2026\u3002:\uFF1A\uFF1B\uFE54;.,?\uFF1F\uFF01\u3001\"\u00A1";

bool isBlank(char16_t c)
{
    return c <= 0x20 || c == u',' || c == 0x2014 || c == 0x3002 || c == 0xE771;
}

bool containsAny(std::u16string_view text, std::u16string_view set)
{
    return text.find_first_of(set) != std::u16string_view::npos;
}

TextPos indexOr(std::size_t at)
{
    return at == std::u16string_view::npos ? kNotFound : static_cast<TextPos>(at);
}

// The search loop shared by the whole text and its lookahead windows:
// finds the next accepted candidate and returns its line start unless
// `followedByHeading(lineEnd)` says a heading follows within the lookahead.
template <typename FollowedByHeading>
TextPos scanForHeading(TextPos from, std::u16string_view text, const HeadingKey& key, Punctuation punctuation,
                       FollowedByHeading&& followedByHeading)
{
    const std::u16string_view searchKey = key.prefix.empty() ? std::u16string_view(u"\n") : key.prefix;
    ForwardSearch suffix(text, key.suffix);
    while (from >= 0) {
        TextPos e = utf16::find(text, searchKey, from);
        if (e == kNotFound || suffix.from(e + 1) == kNotFound)
            return kNotFound;
        while (isRejectedHeading(e, text, key, Leniency::Strict, punctuation)) {
            e = utf16::find(text, searchKey, e + 1);
            if (e == kNotFound || suffix.from(e + 1) == kNotFound)
                return kNotFound;
        }
        const TextPos lineStart = lineStartOf(e, text);
        const TextPos lineEnd = lineEndOf(lineStart, text);
        if (!followedByHeading(lineEnd))
            return lineStart;
        from = lineEnd;
    }
    return kNotFound;
}

// Whether the heading search finds anything in the 40 units after a heading
// line, searched as a text of its own. Nested lookaheads only ever look at
// suffixes of the same window, so each suffix is searched at most once.
class LookaheadWindow {
public:
    LookaheadWindow(std::u16string_view window, const HeadingKey& key, Punctuation punctuation)
        : m_window(window), m_key(key), m_punctuation(punctuation)
    {
    }

    bool findsHeadingFrom(std::size_t offset)
    {
        if (offset >= m_window.size())
            return false;
        if (m_state[offset] == State::Unknown) {
            const auto nested = [&](TextPos lineEnd) {
                return findsHeadingFrom(offset + static_cast<std::size_t>(lineEnd));
            };
            const TextPos found = scanForHeading(0, m_window.substr(offset), m_key, m_punctuation, nested);
            m_state[offset] = found == kNotFound ? State::Nothing : State::Found;
        }
        return m_state[offset] == State::Found;
    }

private:
    enum class State : std::uint8_t { Unknown, Found, Nothing };

    std::u16string_view m_window;
    const HeadingKey& m_key;
    Punctuation m_punctuation;
    std::array<State, kLookahead> m_state{};
};

// Room for a title: it is never longer than 45 units, so building one
// allocates nothing.
using TitleBuffer = std::array<char16_t, kMaxTitleLength>;

// The cleaned title of the line around p, written into buffer; empty when p
// cannot hold a heading.
std::u16string_view titleAt(TextPos p, std::u16string_view text, TitleBuffer& buffer)
{
    const auto size = static_cast<TextPos>(text.size());
    if (p < 0 || p > size)
        return {};
    const TextPos beforeStart = std::max<TextPos>(0, p - kTitleWindow);
    const std::u16string_view before = text.substr(beforeStart, std::min(p + 1, size) - beforeStart);
    const std::u16string_view after = p + 1 <= size ? text.substr(p + 1, kTitleWindow) : std::u16string_view();
    const TextPos nl = indexOr(before.rfind(u'\n'));
    const TextPos o = indexOr(after.find(u'\n'));

    // The line must end within the window, and start within it when p is far from the start.
    if (o == kNotFound || (p > kTitleWindow && nl == kNotFound))
        return {};
    if (o == 0 && static_cast<TextPos>(before.size()) - nl < 3)
        return {};
    const std::u16string_view tail = o >= 1 ? utf16::trimRight(after.substr(0, o), kTrimSet) : after;
    const std::u16string_view head = utf16::trimLeft(before.substr(nl + 1), kTrimSet);
    if (head.size() + tail.size() > kMaxTitleLength || (head.empty() && tail.empty()) ||
        containsAny(head, kHeadPunctuation))
        return {};

    const auto joinedEnd = std::copy(tail.begin(), tail.end(), std::copy(head.begin(), head.end(), buffer.begin()));
    const std::u16string_view joined(buffer.data(), static_cast<std::size_t>(joinedEnd - buffer.begin()));
    const std::u16string_view edged = utf16::trimLeft(utf16::trimRight(joined, kTitleEdge), kTitleEdge);
    // Compacts in place: edged lies in buffer at or after its start.
    std::size_t kept = 0;
    for (const char16_t c : edged) {
        if (kRemovedFromTitles.find(c) == std::u16string_view::npos)
            buffer[kept++] = c;
    }
    return {buffer.data(), kept};
}

// The positions where a prefix occurs, in order. An empty prefix occurs at
// every position; there, runs of positions that cannot hold a heading are
// passed over: those whose line does not end within 80 units after them, and
// (past position 80) those whose line did not start within 80 units before.
class PrefixOccurrences {
public:
    PrefixOccurrences(std::u16string_view text, std::u16string_view prefix)
        : m_text(text), m_prefix(prefix), m_newline(text, u"\n")
    {
    }

    TextPos first() { return settle(utf16::find(m_text, m_prefix, 0)); }
    TextPos after(TextPos position) { return settle(utf16::find(m_text, m_prefix, position + 1)); }

private:
    TextPos settle(TextPos p)
    {
        if (!m_prefix.empty() || p == kNotFound)
            return p;
        const TextPos lineEnd = m_newline.from(p + 1);
        if (lineEnd == kNotFound)
            return kNotFound;
        p = std::max(p, lineEnd - kTitleWindow);
        if (p <= kTitleWindow)
            return p;
        const auto window = m_text.substr(static_cast<std::size_t>(p - kTitleWindow), kTitleWindow + 1);
        return window.find(u'\n') == std::u16string_view::npos ? lineEnd : p;
    }

    std::u16string_view m_text;
    std::u16string_view m_prefix;
    ForwardSearch m_newline;
};

}  // namespace

std::u16string headingTitleAt(TextPos p, std::u16string_view text)
{
    TitleBuffer title;
    return std::u16string(titleAt(p, text, title));
}

bool isRejectedHeading(TextPos position, std::u16string_view text, const HeadingKey& key, Leniency leniency,
                       Punctuation punctuation)
{
    if (position == kNotFound)
        return true;
    TitleBuffer buffer;
    const std::u16string_view title = titleAt(position, text, buffer);
    if (title.empty())
        return true;
    if (!key.prefix.empty() && !utf16::contains(title, key.prefix))
        return true;
    if (!key.suffix.empty() && !utf16::contains(title, key.suffix))
        return true;
    if (std::all_of(title.begin(), title.end(), isBlank))
        return true;
    const bool strictAboutPunctuation = punctuation == Punctuation::Forbidden ||
                                        (leniency == Leniency::Strict && key.prefix.empty() && key.suffix.empty());
    return strictAboutPunctuation && containsAny(title, kTitlePunctuation);
}

TextPos findNextHeading(TextPos from, const HeadingKey& key, std::u16string_view text, Punctuation punctuation)
{
    const auto followedByHeading = [&](TextPos lineEnd) {
        LookaheadWindow window(text.substr(static_cast<std::size_t>(lineEnd), kLookahead), key, punctuation);
        return window.findsHeadingFrom(0);
    };
    return scanForHeading(from, text, key, punctuation, followedByHeading);
}

TextPos findFirstHeading(TextPos& cursor, const HeadingKey& key, std::u16string_view text, Punctuation punctuation)
{
    PrefixOccurrences occurrences(text, key.prefix);
    TextPos i = occurrences.first();
    ForwardSearch suffix(text, key.suffix);
    if (i == kNotFound || suffix.from(i + 1) == kNotFound)
        return kNotFound;
    // Positions passed over count as rejected candidates.
    bool rejectedEarlier = i != utf16::find(text, key.prefix, 0);
    while (isRejectedHeading(i, text, key, Leniency::Strict, punctuation)) {
        rejectedEarlier = true;
        i = occurrences.after(i);
        if (i == kNotFound || suffix.from(i + 1) == kNotFound)
            return kNotFound;
    }
    const TextPos lineStart = lineStartOf(i, text);
    if (key.prefix.empty()) {
        cursor += rejectedEarlier ? kCursorStepAfterRejected : kCursorStepAfterFirst;
        return lineStart;
    }
    // Headings closer than 100 units to their predecessor form a table of
    // contents; the search for chapter 2 starts after it.
    TextPos previous = lineStart;
    TextPos next = findNextHeading(lineEndOf(lineStart, text), key, text, punctuation);
    cursor = next;
    while (next > kTableOfContentsDistance && next - previous < kTableOfContentsDistance) {
        previous = next;
        next = findNextHeading(lineEndOf(next, text), key, text, punctuation);
        cursor = next;
    }
    return lineStart;
}

}  // namespace veyla::import
