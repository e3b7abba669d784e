// SPDX-License-Identifier: MIT
// Painting one 1920×1080 frame of the reading view into its back buffer:
// a 60,000-character chapter made from a real novel (the first 60,000
// characters of 西遊記), scrolled to its middle, with the shipped colours,
// faces and annotation patterns; in plain colours, with a background
// picture, strips and bars, with every line of the frame full, and with
// the selection and a spoken range on screen.
#include <QImage>

#include <benchmark/benchmark.h>

#include "core/library/chapter_file.h"
#include "gui/view/display_state.h"
#include "gui/view/reading_painter.h"
#include "support/test_support.h"

namespace {

using namespace veyla;
using namespace veyla::gui;

constexpr std::size_t kChapterLength = 60000;
const view::ClientArea kFrame{1920, 1080, 1937, 17, view::ScreenMode::Window};

enum class Paragraphs { AsInTheBook, Joined };

// The novel's first 60,000 characters, one paragraph per line, or joined
// into paragraphs of about 2,000 characters (every line of the frame full).
library::Chapter novelChapter(Paragraphs paragraphs = Paragraphs::AsInTheBook)
{
    std::u16string text = test::novelText(kChapterLength);
    if (paragraphs == Paragraphs::Joined) {
        std::u16string joined;
        for (char16_t c : text) {
            if (c == u'\n' && joined.size() % 2000 > 1900)
                joined += c;
            else if (c != u'\n' && c != u'\r')
                joined += c;
        }
        text = joined;
    }
    auto chapter = library::parseChapter(library::chapterXmlFromText(text, library::TextForm::Import), {});
    return *chapter;
}

struct Scene {
    platform::AppFolders folders{VEYLA_STAGE_DIR, VEYLA_STAGE_DIR};
    DisplayState display{folders};
    view::ReadingModel model;
    ReadingPainter painter;
    QImage frame{1920, 1080, QImage::Format_ARGB32_Premultiplied};

    Scene()
    {
        display.load();
        model.resize(kFrame);
        model.open(novelChapter());
        model.scroll().scrollTo(model.scroll().maximum() / 2);
    }
};

Scene& scene()
{
    static Scene s;
    return s;
}

void paintFrames(benchmark::State& state, Scene& s)
{
    PaintExtras extras;
    extras.caret = true;
    s.painter.paint(s.frame, s.model, s.display, extras);  // faces and pictures resolved once
    for (auto _ : state) {
        s.painter.paint(s.frame, s.model, s.display, extras);
        benchmark::DoNotOptimize(s.frame.constBits());
    }
    const auto visible = s.model.paragraphsToPaint(view::StripVisibility::Hidden, view::StripVisibility::Hidden);
    std::size_t glyphs = 0;
    for (const auto& entry : visible) {
        const auto& lines = s.model.document().paragraphs[entry.paragraph].lines;
        for (std::size_t l = entry.firstLine; l < entry.endLine; ++l)
            glyphs += lines[l].glyphs.size();
    }
    state.counters["glyphs"] = static_cast<double>(glyphs);
}

void BM_PaintFramePlainColours(benchmark::State& state)
{
    auto& s = scene();
    s.display.backgroundPicture.clear();
    s.display.settings.wholeLeft = s.display.settings.wholeTop = s.display.settings.wholeBottom = false;
    paintFrames(state, s);
}

void BM_PaintFrameWithPictures(benchmark::State& state)
{
    auto& s = scene();
    s.display.settings.backgroundDir = u"默认";
    s.display.settings.lineDir = u"默认";
    s.display.settings.verticalDir = u"默认";
    s.display.rebuildLists();
    s.display.backgroundPicture = s.display.backgrounds.path(0);
    s.display.pickVerticalBars();
    s.display.settings.wholeLeft = s.display.settings.wholeTop = s.display.settings.wholeBottom = true;
    paintFrames(state, s);
}

void BM_PaintFrameWithSelectionAndSpeech(benchmark::State& state)
{
    auto& s = scene();
    s.display.backgroundPicture.clear();
    s.display.settings.wholeLeft = s.display.settings.wholeTop = s.display.settings.wholeBottom = false;
    const auto visible = s.model.paragraphsToPaint(view::StripVisibility::Hidden, view::StripVisibility::Hidden);
    const std::size_t first = visible.front().paragraph;
    s.model.editor().selectRange({first, 0, 0}, {first + 2, 0, 0});
    for (auto& line : s.model.document().paragraphs[first + 3].lines)
        for (auto& glyph : line.glyphs)
            glyph.spoken = true;
    paintFrames(state, s);
}

void BM_PaintFrameDenseText(benchmark::State& state)
{
    auto& s = scene();
    s.display.backgroundPicture.clear();
    s.display.settings.wholeLeft = s.display.settings.wholeTop = s.display.settings.wholeBottom = false;
    view::ReadingModel dense;
    dense.resize(kFrame);
    dense.open(novelChapter(Paragraphs::Joined));
    dense.scroll().scrollTo(dense.scroll().maximum() / 2);
    std::swap(s.model, dense);
    paintFrames(state, s);
    std::swap(s.model, dense);
}

BENCHMARK(BM_PaintFramePlainColours)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_PaintFrameWithPictures)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_PaintFrameDenseText)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_PaintFrameWithSelectionAndSpeech)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace
