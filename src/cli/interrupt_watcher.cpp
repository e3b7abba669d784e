// SPDX-License-Identifier: MIT
#include "cli/interrupt_watcher.h"

#include <pthread.h>

#include <unistd.h>

#include <ctime>

namespace veyla::cli {

namespace {

// SIGINT, and the signal that wakes the watcher when it is to end (so that
// ending does not wait for the watcher's next look at its stop flag).
constexpr int kWakeSignal = SIGUSR2;

sigset_t interruptSet()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, kWakeSignal);
    return set;
}

}  // namespace

InterruptWatcher::InterruptWatcher(std::function<void()> onInterrupt)
{
    const sigset_t set = interruptSet();
    pthread_sigmask(SIG_BLOCK, &set, &m_previousMask);
    m_thread = std::jthread([set, onInterrupt = std::move(onInterrupt)](std::stop_token stop) {
        const timespec step{0, 100'000'000};
        bool interrupted = false;
        while (!stop.stop_requested()) {
            if (sigtimedwait(&set, nullptr, &step) != SIGINT)
                continue;
            if (interrupted)
                _exit(130);  // the shell's code for a program ended by Ctrl-C
            interrupted = true;
            onInterrupt();
        }
    });
}

InterruptWatcher::~InterruptWatcher()
{
    m_thread.request_stop();
    pthread_kill(m_thread.native_handle(), kWakeSignal);
    m_thread.join();
    // A Ctrl-C that arrived after the watcher ended stays pending and takes
    // effect (ends the program) when the signal is unblocked here.
    pthread_sigmask(SIG_SETMASK, &m_previousMask, nullptr);
}

}  // namespace veyla::cli
