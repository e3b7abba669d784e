// SPDX-License-Identifier: MIT
#include "core/view/scroll_state.h"

#include <algorithm>

namespace veyla::view {

void ScrollState::setRange(int contentHeight, int viewHeight)
{
    m_contentHeight = std::max(0, contentHeight);
    m_viewHeight = std::max(0, viewHeight);
    scrollTo(m_position);
}

int ScrollState::maximum() const
{
    return std::max(0, m_contentHeight - m_viewHeight);
}

void ScrollState::wheel(int delta)
{
    m_wheelRest += delta * kWheelStep;
    const int pixels = m_wheelRest / kWheelNotch;
    m_wheelRest -= pixels * kWheelNotch;
    scrollBy(-pixels);
}

void ScrollState::scrollTo(int position)
{
    m_position = std::clamp(position, 0, maximum());
}

}  // namespace veyla::view
