// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <iosfwd>
#include <string>

namespace veyla::cli {

// A one-line progress bar redrawn in place on a terminal; silent otherwise.
class ProgressBar {
public:
    ProgressBar(std::ostream& out, bool enabled, std::string label);
    ~ProgressBar();

    void update(std::size_t done, std::size_t total);
    // Erases the bar so that ordinary output can follow.
    void finish();

private:
    std::ostream& m_out;
    bool m_enabled;
    bool m_drawn = false;
    std::string m_label;
    std::chrono::steady_clock::time_point m_lastDraw;
};

}  // namespace veyla::cli
