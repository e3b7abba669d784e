// SPDX-License-Identifier: MIT
#include "cli/progress_bar.h"

#include <ostream>

namespace veyla::cli {

namespace {

constexpr int kWidth = 30;

}  // namespace

ProgressBar::ProgressBar(std::ostream& out, bool enabled, std::string label)
    : m_out(out), m_enabled(enabled), m_label(std::move(label))
{
}

ProgressBar::~ProgressBar()
{
    finish();
}

void ProgressBar::update(std::size_t done, std::size_t total)
{
    if (!m_enabled || total == 0)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (m_drawn && done < total && now - m_lastDraw < std::chrono::milliseconds(50))
        return;
    m_lastDraw = now;
    const auto filled = static_cast<int>(kWidth * done / total);
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.resize(kWidth, '.');
    m_out << "\r\033[K" << m_label << " [" << bar << "] " << (100 * done / total) << "%" << std::flush;
    m_drawn = true;
}

void ProgressBar::finish()
{
    if (m_drawn) {
        m_out << "\r\033[K" << std::flush;
        m_drawn = false;
    }
}

}  // namespace veyla::cli
