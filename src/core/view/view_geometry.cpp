// SPDX-License-Identifier: MIT
#include "core/view/view_geometry.h"

#include <algorithm>

namespace veyla::view {

void ViewGeometry::resize(const ClientArea& area)
{
    m_area = area;
    m_pageWidth = area.width - 350;
    m_leftMargin = marginFor(area, m_pageWidth);
}

bool ViewGeometry::widenPage()
{
    if (m_pageWidth + 50 >= m_area.width)
        return false;
    m_pageWidth += 50;
    m_leftMargin = marginFor(m_area, m_pageWidth);
    return true;
}

bool ViewGeometry::narrowPage()
{
    if (m_pageWidth - 50 <= 400)
        return false;
    m_pageWidth -= 50;
    m_leftMargin = marginFor(m_area, m_pageWidth);
    return true;
}

int ViewGeometry::marginFor(const ClientArea& area, int pageWidth)
{
    if (area.mode == ScreenMode::FullScreen)
        return std::max(kMinimumLeftMargin, (area.windowWidth - pageWidth - area.scrollBarWidth) / 2 - 20);
    return std::max(kMinimumLeftMargin, (area.width - pageWidth - area.scrollBarWidth) / 2);
}

int ViewGeometry::initialLeftMargin(int screenWidth, int pageWidth, int scrollBarWidth)
{
    return std::max(kMinimumLeftMargin, (screenWidth - pageWidth - scrollBarWidth - 400) / 2);
}

void ViewGeometry::applyTo(LayoutParams& params) const
{
    params.pageWidth = m_pageWidth;
    params.leftMargin = m_leftMargin;
    params.topMargin = kTopMargin;
}

}  // namespace veyla::view
