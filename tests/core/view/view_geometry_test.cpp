// SPDX-License-Identifier: MIT
#include "core/view/view_geometry.h"

#include <gtest/gtest.h>

#include "core/view/chapter_conversion.h"
#include "core/view/scroll_state.h"
#include "core/view/visible_band.h"
#include "view_test_support.h"

namespace veyla::view {
namespace {

ClientArea window(int width, int height = 800, int scrollBar = 17)
{
    return {width, height, width + 16, scrollBar, ScreenMode::Window};
}

TEST(ViewGeometry, ResizeSetsPageWidthAndMargin)
{
    struct Case {
        ClientArea area;
        int pageWidth;
        int leftMargin;
    };
    const Case cases[] = {
        // (1400 − 1050 − 17) / 2 = 166.
        {window(1400), 1050, 166},
        // The page takes all but 350 pixels, so the margin only depends on the scroll bar.
        {window(900), 550, 166},
        // A margin below 120 is raised to 120: (900 − 550 − 120) / 2 = 115.
        {window(900, 800, 120), 550, 120},
        // Full screen measures the window and takes 20 off: (1416 − 1050 − 17) / 2 − 20 = 154.
        {{1400, 800, 1416, 17, ScreenMode::FullScreen}, 1050, 154},
    };
    for (const auto& c : cases) {
        ViewGeometry geometry;
        geometry.resize(c.area);
        EXPECT_EQ(geometry.pageWidth(), c.pageWidth) << c.area.width;
        EXPECT_EQ(geometry.leftMargin(), c.leftMargin) << c.area.width;
        EXPECT_EQ(geometry.topMargin(), 50);
    }
    EXPECT_EQ(ViewGeometry::initialLeftMargin(1920, 1050, 17), (1920 - 1050 - 17 - 400) / 2);
    EXPECT_EQ(ViewGeometry::initialLeftMargin(1280, 1050, 17), 120);
}

TEST(ViewGeometry, PageWidthStaysBelowTheClientWidthAndAbove400)
{
    ViewGeometry geometry;
    geometry.resize(window(1400));  // page width 1050
    for (int step = 0; step < 6; ++step)
        geometry.widenPage();
    // 1050 + 6 × 50 = 1350 would still be below 1400; one more step would reach it.
    EXPECT_EQ(geometry.pageWidth(), 1350);
    EXPECT_FALSE(geometry.widenPage());
    EXPECT_EQ(geometry.pageWidth(), 1350);
    EXPECT_EQ(geometry.leftMargin(), 120);

    geometry.resize(window(800));  // page width 450
    EXPECT_FALSE(geometry.narrowPage());  // 400 is not above 400
    EXPECT_EQ(geometry.pageWidth(), 450);
    geometry.resize(window(801));  // 451
    EXPECT_TRUE(geometry.narrowPage());
    EXPECT_EQ(geometry.pageWidth(), 401);
    EXPECT_FALSE(geometry.narrowPage());
}

TEST(ScrollState, ClampsToTheScrollRange)
{
    struct Case {
        const char* name;
        int start;
        void (*action)(ScrollState&);
        int expected;
    };
    const Case cases[] = {
        {"line down", 0, [](ScrollState& s) { s.lineDown(); }, 10},
        {"line up at the top", 0, [](ScrollState& s) { s.lineUp(); }, 0},
        {"wheel down one notch", 100, [](ScrollState& s) { s.wheel(-120); }, 125},
        {"wheel up one notch", 100, [](ScrollState& s) { s.wheel(120); }, 75},
        {"half a notch", 100, [](ScrollState& s) { s.wheel(-60); }, 112},
        {"wheel beyond the end", 1190, [](ScrollState& s) { s.wheel(-240); }, 1200},
        // Touchpad deltas add up: 60 deltas of 2 units are one notch.
        {"sixty touchpad deltas", 100, [](ScrollState& s) { for (int i = 0; i < 60; ++i) s.wheel(-2); }, 125},
        {"deltas of 8 and back", 100,
         [](ScrollState& s) {
             for (int i = 0; i < 15; ++i)
                 s.wheel(-8);
             for (int i = 0; i < 15; ++i)
                 s.wheel(8);
         },
         100},
        {"track past the end", 0, [](ScrollState& s) { s.scrollTo(5000); }, 1200},
        {"track before the start", 50, [](ScrollState& s) { s.scrollTo(-3); }, 0},
    };
    for (const auto& c : cases) {
        ScrollState scroll;
        scroll.setRange(2000, 800);
        scroll.scrollTo(c.start);
        c.action(scroll);
        EXPECT_EQ(scroll.position(), c.expected) << c.name;
    }
    ScrollState fits;
    fits.setRange(500, 800);
    fits.lineDown();
    EXPECT_EQ(fits.position(), 0);
}

TEST(VisibleBand, StripsMoveTheBandByTheTopMargin)
{
    const VisibleBand plain = visibleBand(100, 600, 50, StripVisibility::Hidden, StripVisibility::Hidden);
    EXPECT_EQ(plain.top, 100);
    EXPECT_EQ(plain.bottom, 700);
    const VisibleBand both = visibleBand(100, 600, 50, StripVisibility::Shown, StripVisibility::Shown);
    EXPECT_EQ(both.top, 150);
    EXPECT_EQ(both.bottom, 650);
}

LayoutDocument tallDocument()
{
    std::vector<test::ParagraphSpec> paragraphs;
    for (int i = 0; i < 40; ++i)
        paragraphs.push_back({u"一行"});
    return documentFromChapter(test::chapterOf(paragraphs), LayoutEngine(test::smallParams()));
}

TEST(VisibleBand, ALineStartingWithinTheTopStripIsNotDrawn)
{
    const LayoutDocument document = tallDocument();  // paragraphs of 32 pixels from y = 50
    const int scrollTop = document.paragraphs[10].top - 10;
    const VisibleBand band = visibleBand(scrollTop, 300, 50, StripVisibility::Shown, StripVisibility::Shown);
    FirstVisibleParagraph first;
    const auto visible = visibleParagraphs(document, band, first, scrollTop);
    ASSERT_FALSE(visible.empty());
    std::vector<std::size_t> drawn;
    for (const auto& entry : visible)
        if (entry.endLine > entry.firstLine)
            drawn.push_back(entry.paragraph);
    ASSERT_FALSE(drawn.empty());
    // Paragraph 11 starts 42 pixels below the visible top: inside the 50-pixel strip.
    EXPECT_EQ(drawn.front(), 12u);
    for (std::size_t p : drawn) {
        EXPECT_GE(document.paragraphs[p].lines[0].top, band.top);
        EXPECT_LE(document.paragraphs[p].lines[0].glyphBottom(document.paragraphs[p].lines[0].glyphs.back()), band.bottom);
    }
    // Painting stops at the first line below the band.
    const auto& last = document.paragraphs[visible.back().paragraph].lines[0];
    EXPECT_GT(last.glyphBottom(last.glyphs.back()), band.bottom);
}

TEST(VisibleBand, FirstVisibleParagraphMovesBothWays)
{
    const LayoutDocument document = tallDocument();
    FirstVisibleParagraph first;
    const int downThere = document.paragraphs[30].top + 28;
    EXPECT_EQ(first.find(document, downThere), 30u);
    EXPECT_EQ(first.find(document, downThere + 5), 30u);
    EXPECT_EQ(first.find(document, document.paragraphs[5].top + 28 + 1), 5u);
    EXPECT_EQ(first.find(document, 0), 0u);
}

TEST(VisibleBand, KeepInViewScrollsOnlyNearTheBottomOfATallPage)
{
    EXPECT_EQ(keepInView(750, 0, 800, 3000), std::optional<int>(750));
    EXPECT_EQ(keepInView(700, 0, 800, 3000), std::nullopt);
    // A page no taller than the client + 100 never scrolls.
    EXPECT_EQ(keepInView(850, 0, 800, 900), std::nullopt);
}

}  // namespace
}  // namespace veyla::view
