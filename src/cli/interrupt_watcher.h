// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <signal.h>
#include <thread>

namespace veyla::cli {

// Turns Ctrl-C (SIGINT) into a call of onInterrupt on a thread of its own
// while the watcher lives, so that long work can stop at a safe point
// instead of being killed. A second Ctrl-C ends the program as usual.
// Create it before any other thread of the command starts: the signal is
// blocked for the threads created afterwards.
class InterruptWatcher {
public:
    explicit InterruptWatcher(std::function<void()> onInterrupt);
    ~InterruptWatcher();
    InterruptWatcher(const InterruptWatcher&) = delete;
    InterruptWatcher& operator=(const InterruptWatcher&) = delete;

private:
    sigset_t m_previousMask;
    std::jthread m_thread;
};

}  // namespace veyla::cli
