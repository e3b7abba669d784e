// SPDX-License-Identifier: MIT
#include "core/speech/sleep_timer.h"

#include <algorithm>
#include <cstdio>

#include "core/util/utf16.h"

namespace veyla::speech {

namespace {

using std::chrono::seconds;

constexpr long long kLongestSleepSeconds = 24 * 3600;

}  // namespace

Result<seconds> parseSleepDuration(const std::string& text)
{
    const Error bad{ErrorCode::InvalidArgument,
                    "a duration is minutes (30, 30m, 30min), hours (1h, 1h30m) or seconds (45s), not '" + text + "'"};
    long long total = 0;
    std::size_t pos = 0;
    bool any = false;
    std::string previousUnit;
    while (pos < text.size()) {
        std::size_t digits = pos;
        long long value = 0;
        while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9' && digits - pos < 6)
            value = value * 10 + (text[digits++] - '0');
        if (digits == pos)
            return bad;
        std::size_t unitEnd = digits;
        while (unitEnd < text.size() && (text[unitEnd] < '0' || text[unitEnd] > '9'))
            ++unitEnd;
        const std::string unit = text.substr(digits, unitEnd - digits);
        long long scale = 0;
        if (unit.empty() || unit == "m" || unit == "min")
            scale = 60;
        else if (unit == "h")
            scale = 3600;
        else if (unit == "s")
            scale = 1;
        else
            return bad;
        // A bare number stands alone or follows hours ("1h30").
        if (unit.empty() && any && previousUnit != "h")
            return bad;
        previousUnit = unit;
        total += value * scale;
        any = true;
        pos = unitEnd;
    }
    if (!any || total <= 0 || total > kLongestSleepSeconds)
        return bad;
    return seconds(total);
}

void SleepTimer::arm(SleepSetting setting)
{
    std::lock_guard lock(m_mutex);
    if (setting.kind != SleepKind::Off)
        setting.count = std::max(setting.count, 1);
    if (setting.kind == SleepKind::EndOfChapter)
        setting.count = 1;
    m_setting = setting;
    m_ranOut = false;
    m_deadline = m_clock->now() + std::chrono::minutes(setting.kind == SleepKind::Minutes ? setting.count : 0);
    m_chaptersLeft = setting.kind == SleepKind::Minutes || setting.kind == SleepKind::Off ? 0 : setting.count;
}

void SleepTimer::useClock(const SleepClock& clock)
{
    {
        std::lock_guard lock(m_mutex);
        m_clock = &clock;
    }
    disarm();
}

void SleepTimer::armFor(seconds duration)
{
    const auto minutes = std::chrono::ceil<std::chrono::minutes>(std::max(duration, seconds(1)));
    arm({SleepKind::Minutes, static_cast<int>(minutes.count())});
    std::lock_guard lock(m_mutex);
    m_deadline = m_clock->now() + std::max(duration, seconds(1));
}

SleepSetting SleepTimer::setting() const
{
    std::lock_guard lock(m_mutex);
    return m_setting;
}

void SleepTimer::expireLocked()
{
    m_setting = {};
    m_chaptersLeft = 0;
    m_ranOut = true;
}

PieceVerdict SleepTimer::beforePiece()
{
    std::lock_guard lock(m_mutex);
    if (m_setting.kind != SleepKind::Minutes)
        return {};
    const auto left = m_deadline - m_clock->now();
    if (left <= SleepClock::TimePoint::duration::zero()) {
        expireLocked();
        return {true, 0};
    }
    if (left >= kFade)
        return {};
    // Linear from full volume at kFade before the end to kQuietestVolume at it.
    const double share = std::chrono::duration<double>(left) / std::chrono::duration<double>(kFade);
    return {false, kQuietestVolume + static_cast<int>(share * (100 - kQuietestVolume) + 0.5)};
}

bool SleepTimer::chapterFinished()
{
    std::lock_guard lock(m_mutex);
    if (m_setting.kind != SleepKind::EndOfChapter && m_setting.kind != SleepKind::Chapters)
        return false;
    if (--m_chaptersLeft > 0)
        return false;
    expireLocked();
    return true;
}

bool SleepTimer::ranOut() const
{
    std::lock_guard lock(m_mutex);
    return m_ranOut;
}

std::optional<seconds> SleepTimer::remainingTime() const
{
    std::lock_guard lock(m_mutex);
    if (m_setting.kind != SleepKind::Minutes)
        return std::nullopt;
    const auto left = std::chrono::ceil<seconds>(m_deadline - m_clock->now());
    return std::max(left, seconds(0));
}

int SleepTimer::remainingChapters() const
{
    std::lock_guard lock(m_mutex);
    return m_chaptersLeft;
}

std::u16string SleepTimer::statusText() const
{
    const SleepSetting current = setting();
    char text[64] = "";
    switch (current.kind) {
    case SleepKind::Off:
        return {};
    case SleepKind::Minutes: {
        const long long left = remainingTime().value_or(seconds(0)).count();
        std::snprintf(text, sizeof text, "定时：还剩 %lld:%02lld", left / 60, left % 60);
        break;
    }
    case SleepKind::EndOfChapter:
        return u"定时：本章结束";
    case SleepKind::Chapters:
        std::snprintf(text, sizeof text, "定时：还剩 %d 章", remainingChapters());
        break;
    }
    return utf16::fromUtf8(text);
}

}  // namespace veyla::speech
