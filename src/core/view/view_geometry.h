// SPDX-License-Identifier: MIT
#pragma once

#include "core/view/layout_engine.h"

namespace veyla::view {

enum class ScreenMode { Window, FullScreen };

// What the window reports on a resize, in device pixels.
struct ClientArea {
    int width = 0;           // client area of the view
    int height = 0;
    int windowWidth = 0;     // the view's window rectangle, used in full screen
    int scrollBarWidth = 0;  // width of a vertical scroll bar
    ScreenMode mode = ScreenMode::Window;
};

// The page column: its width, its left margin and the top margin.
// The page width stays above 400 and below the client width when changed
// by the page-width commands; a resize sets it to client width − 350.
class ViewGeometry {
public:
    static constexpr int kTopMargin = 50;
    static constexpr int kMinimumLeftMargin = 120;

    // Page width := client width − 350, then the left margin by the rule of marginFor.
    void resize(const ClientArea& area);
    // +50 when the result stays below the client width; false when nothing changed.
    bool widenPage();
    // −50 when the result stays above 400; false when nothing changed.
    bool narrowPage();

    // max(120, (client width − page width − scroll bar) / 2); in full screen
    // the window width replaces the client width and 20 is subtracted.
    static int marginFor(const ClientArea& area, int pageWidth);
    // The margin of the first show: (screen width − page width − scroll bar − 400) / 2, at least 120.
    static int initialLeftMargin(int screenWidth, int pageWidth, int scrollBarWidth);

    int pageWidth() const { return m_pageWidth; }
    int leftMargin() const { return m_leftMargin; }
    int topMargin() const { return kTopMargin; }
    const ClientArea& area() const { return m_area; }
    void setLeftMargin(int margin) { m_leftMargin = margin; }

    // Copies page width and margins into the layout values.
    void applyTo(LayoutParams& params) const;

private:
    ClientArea m_area;
    int m_pageWidth = 1000;
    int m_leftMargin = kMinimumLeftMargin;
};

}  // namespace veyla::view
