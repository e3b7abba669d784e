// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <mutex>
#include <optional>
#include <string>

#include "core/util/result.h"

namespace veyla::speech {

// When reading aloud stops by itself.
enum class SleepKind {
    Off,           // reading goes on until it is stopped
    Minutes,       // after count minutes of reading
    EndOfChapter,  // when the chapter being read is finished
    Chapters,      // when count chapters have been finished (the current one is the first)
};

struct SleepSetting {
    SleepKind kind = SleepKind::Off;
    int count = 0;  // minutes or chapters

    bool operator==(const SleepSetting&) const = default;
};

// The minute choices the read-aloud panel offers.
inline constexpr int kSleepMinuteChoices[] = {15, 30, 45, 60, 90};

// Parses a duration for the command line: "30m", "30min", "90", "1h",
// "1h30m", "45s" (a bare number counts minutes). Whole minutes come back
// rounded up; the result lies in 1..1440 minutes. InvalidArgument otherwise.
Result<std::chrono::seconds> parseSleepDuration(const std::string& text);

// The time source of a sleep timer; tests give a clock they move by hand.
class SleepClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    virtual ~SleepClock() = default;
    virtual TimePoint now() const = 0;
};

class SteadySleepClock final : public SleepClock {
public:
    TimePoint now() const override { return std::chrono::steady_clock::now(); }
};

// What the read-aloud worker does before a piece: stop, or speak it at volume.
struct PieceVerdict {
    bool stop = false;
    int volume = 100;  // percent
};

// Ends a read-aloud run after a time or a number of chapters. The worker
// asks it before every piece and tells it at the end of every chapter; the
// user-interface thread arms, disarms and reads it for the status bar. The
// last kFade of a timed run are spoken ever more quietly, down to
// kQuietestVolume, so that the listener is not woken by the sudden silence.
//
// Thread-safe: every member may be called from any thread.
class SleepTimer {
public:
    static constexpr std::chrono::seconds kFade{20};
    static constexpr int kQuietestVolume = 20;

    explicit SleepTimer(const SleepClock& clock) : m_clock(&clock) {}

    // Replaces the clock (tests give one they move by hand); disarms.
    void useClock(const SleepClock& clock);

    // Starts counting now (minutes) or from the current chapter (chapters);
    // SleepKind::Off disarms. A count below 1 is taken as 1.
    void arm(SleepSetting setting);
    void disarm() { arm({}); }
    // A timed setting of any length (the command line takes seconds too).
    void armFor(std::chrono::seconds duration);
    // The setting armed, Off when none is or after it ran out.
    SleepSetting setting() const;
    bool armed() const { return setting().kind != SleepKind::Off; }

    // Before each piece: stop when the time is up, else the volume to speak at.
    PieceVerdict beforePiece();
    // A chapter has been read to its end; true when reading stops here.
    bool chapterFinished();
    // Whether the timer ended a run since it was last armed.
    bool ranOut() const;

    // The time left of a timed setting (never negative); nullopt for the others.
    std::optional<std::chrono::seconds> remainingTime() const;
    // The chapters left to finish, this one included; 0 for a timed setting.
    int remainingChapters() const;
    // The status bar's text: "定时：还剩 29:41", "定时：本章结束", "定时：还剩 3 章"; empty when off.
    std::u16string statusText() const;

private:
    void expireLocked();

    const SleepClock* m_clock;
    mutable std::mutex m_mutex;
    SleepSetting m_setting;
    SleepClock::TimePoint m_deadline;
    int m_chaptersLeft = 0;
    bool m_ranOut = false;
};

}  // namespace veyla::speech
