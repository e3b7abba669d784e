// SPDX-License-Identifier: MIT
#pragma once

namespace veyla::view {

// The vertical scroll position of the view over the page, in pixels,
// always within [0, content height − view height] (0 when the page fits).
class ScrollState {
public:
    static constexpr int kLineStep = 10;    // scroll-bar arrows
    static constexpr int kWheelStep = 25;   // per wheel notch
    static constexpr int kWheelNotch = 120;

    // Sets the page height and the visible height; the position is clamped.
    void setRange(int contentHeight, int viewHeight);
    int position() const { return m_position; }
    int maximum() const;
    int contentHeight() const { return m_contentHeight; }
    int viewHeight() const { return m_viewHeight; }

    void lineUp() { scrollBy(-kLineStep); }
    void lineDown() { scrollBy(kLineStep); }
    // A wheel turn: a positive delta (away from the user) scrolls up, delta × 25 / 120
    // pixels. Deltas accumulate: a touchpad's many small deltas scroll as
    // far as the notches they add up to, the fraction of a pixel carried on.
    void wheel(int delta);
    void scrollBy(int dy) { scrollTo(m_position + dy); }
    void scrollTo(int position);

private:
    int m_position = 0;
    int m_contentHeight = 0;
    int m_viewHeight = 0;
    int m_wheelRest = 0;  // wheel units × 25 not yet scrolled, below one pixel's worth
};

}  // namespace veyla::view
