// SPDX-License-Identifier: MIT
// What the reading view paints, checked on its frame.
#include <QTest>

#include "core/view/annotations.h"
#include "gui/commands/command_router.h"
#include "gui/tree/library_controller.h"
#include "gui/tree/library_tree_pane.h"
#include "gui/view/display_controller.h"
#include "gui/view/display_state.h"
#include "gui/view/picture_cache.h"
#include "gui/view/reading_view.h"
#include "gui/window/main_window.h"
#include "gui_fixture.h"

using namespace veyla;
using namespace veyla::gui;
using namespace Qt::StringLiterals;

namespace {

// Pixels of rect (clipped to the image) within tolerance of colour in every channel.
int countPixels(const QImage& image, QRect rect, const QColor& colour, int tolerance = 8)
{
    rect &= image.rect();
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - colour.red()) <= tolerance &&
                std::abs(pixel.green() - colour.green()) <= tolerance &&
                std::abs(pixel.blue() - colour.blue()) <= tolerance)
                ++count;
        }
    }
    return count;
}

// The rectangle of a paragraph's first line in the frame.
QRect firstLineRect(ReadingView& view, std::size_t paragraph)
{
    const auto& line = view.model().document().paragraphs.at(paragraph).lines.front();
    const int top = line.top - view.model().pageTop();
    return QRect(line.left, top, line.right - line.left, line.glyphs.front().size);
}

}  // namespace

class ReadingViewPaintTest : public QObject {
    Q_OBJECT
private slots:
    void builtInSchemesPaintBackgroundAndTree_data();
    void builtInSchemesPaintBackgroundAndTree();
    void textIsPaintedInTheTextColour();
    void paragraphFaceReplacesTheBodyFace();
    void spokenRangeIsPaintedInTheReadAloudColour();
    void selectionIsWhiteOnBlack();
    void annotatedRunsGetPatternedBoxes();
    void busyImportKeepsTheViewStill();
    void backgroundPictureReplacesTheColour();
    void pictureCacheDropsTheLeastRecentlyUsedBeyondItsCap();
};

void ReadingViewPaintTest::builtInSchemesPaintBackgroundAndTree_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<QColor>("tree");
    QTest::newRow("浅白") << int(kSchemeWhite) << QColor(255, 255, 255) << QColor(250, 248, 248);
    QTest::newRow("淡黄") << int(kSchemeYellow) << QColor(244, 236, 216) << QColor(242, 232, 206);
    QTest::newRow("淡绿") << int(kSchemeGreen) << QColor(206, 234, 186) << QColor(216, 244, 196);
    QTest::newRow("灰色") << int(kSchemeGray) << QColor(69, 72, 74) << QColor(64, 68, 71);
    QTest::newRow("黑色") << int(kSchemeBlack) << QColor(51, 51, 51) << QColor(46, 46, 46);
}

void ReadingViewPaintTest::builtInSchemesPaintBackgroundAndTree()
{
    QFETCH(int, command);
    QFETCH(QColor, background);
    QFETCH(QColor, tree);
    GuiFixture fixture;
    auto window = fixture.startWindow();
    QVERIFY(window->router().trigger(command));
    const QImage& frame = window->readingView().renderFrame();
    QCOMPARE(frame.pixelColor(2, 2), background);
    QCOMPARE(frame.pixelColor(frame.width() - 3, frame.height() - 3), background);
    QCOMPARE(window->treePane().palette().color(QPalette::Base), tree);
}

void ReadingViewPaintTest::textIsPaintedInTheTextColour()
{
    GuiFixture fixture;
    fixture.addChapter("书/0001_a.xml", u"天地玄黄宇宙洪荒日月盈昃辰宿列张\n第二段"_s);
    auto window = fixture.startWindow();
    QVERIFY(window->library().selectPath(fixture.library() / "书/0001_a.xml"));
    QVERIFY(window->router().trigger(kSchemeWhite));
    ReadingView& view = window->readingView();
    const QImage& frame = view.renderFrame();
    const QRect line = firstLineRect(view, 0);
    QVERIFY2(countPixels(frame, line, QColor(89, 89, 89), 4) > 50, "text pixels in the text colour");
    // The margin left of the text holds no text.
    QCOMPARE(countPixels(frame, QRect(0, line.top(), line.left() - 1, line.height()), QColor(89, 89, 89), 60), 0);
}

void ReadingViewPaintTest::paragraphFaceReplacesTheBodyFace()
{
    GuiFixture fixture;
    fixture.addChapter("书/0001_a.xml", u"天地玄黄宇宙洪荒\n天地玄黄宇宙洪荒"_s);
    auto window = fixture.startWindow();
    QVERIFY(window->library().selectPath(fixture.library() / "书/0001_a.xml"));
    ReadingView& view = window->readingView();
    const QRect first = firstLineRect(view, 0);
    const QRect second = firstLineRect(view, 1);
    const QImage before = view.renderFrame().copy();
    view.model().editor().setCaret({1, 0, 0});
    QVERIFY(view.model().setCaretParagraphFace(u"Noto Sans CJK SC"));
    const QImage after = view.renderFrame().copy();
    QCOMPARE(after.copy(first), before.copy(first));
    QVERIFY2(after.copy(second) != before.copy(second), "the second paragraph is drawn in its own face");
}

void ReadingViewPaintTest::spokenRangeIsPaintedInTheReadAloudColour()
{
    GuiFixture fixture;
    fixture.addChapter("书/0001_a.xml", u"天地玄黄宇宙洪荒\n日月盈昃辰宿列张"_s);
    auto window = fixture.startWindow();
    QVERIFY(window->library().selectPath(fixture.library() / "书/0001_a.xml"));
    ReadingView& view = window->readingView();
    window->display().schemes.colours().textBright = view::rgb(0, 0, 255);
    const QRect second = firstLineRect(view, 1);
    QCOMPARE(countPixels(view.renderFrame(), second, QColor(0, 0, 255), 10), 0);
    view.setSpoken(1, 0, 4);
    const int bright = countPixels(view.renderFrame(), second, QColor(0, 0, 255), 10);
    QVERIFY2(bright > 40, qPrintable(QString::number(bright)));
    // Only the four spoken characters: the rest of the line stays in the text colour.
    const auto& glyphs = view.model().document().paragraphs[1].lines[0].glyphs;
    const QRect rest(static_cast<int>(glyphs[4].left), second.top(), second.right() - static_cast<int>(glyphs[4].left),
                     second.height());
    QCOMPARE(countPixels(view.renderFrame(), rest, QColor(0, 0, 255), 10), 0);
    view.clearSpoken();
    QCOMPARE(countPixels(view.renderFrame(), second, QColor(0, 0, 255), 10), 0);
}

void ReadingViewPaintTest::selectionIsWhiteOnBlack()
{
    GuiFixture fixture;
    fixture.addChapter("书/0001_a.xml", u"天地玄黄宇宙洪荒"_s);
    auto window = fixture.startWindow();
    QVERIFY(window->library().selectPath(fixture.library() / "书/0001_a.xml"));
    ReadingView& view = window->readingView();
    const QRect line = firstLineRect(view, 0);
    QCOMPARE(countPixels(view.renderFrame(), line, Qt::black, 0), 0);
    view.model().editor().selectRange({0, 0, 0}, {0, 0, 3});
    const QImage& frame = view.renderFrame();
    QVERIFY(countPixels(frame, line, Qt::black, 0) > 300);
    QVERIFY(countPixels(frame, line, Qt::white, 10) > 20);
}

void ReadingViewPaintTest::annotatedRunsGetPatternedBoxes()
{
    GuiFixture fixture;
    fixture.addChapter("书/0001_a.xml", u"天地[F3]玄黄宇宙[/F]洪荒"_s);
    auto window = fixture.startWindow();
    QVERIFY(window->library().selectPath(fixture.library() / "书/0001_a.xml"));
    QVERIFY(window->router().trigger(kSchemeWhite));
    ReadingView& view = window->readingView();
    const auto runs = view::markedRuns(view.model().document(), 0, 0, 1);
    QCOMPARE(runs.size(), std::size_t{1});
    QCOMPARE(runs[0].number, 3);
    const QImage tile(QString::fromStdU16String(window->display().annotationPattern(3).u16string()));
    QVERIFY(!tile.isNull());
    const int top = static_cast<int>(runs[0].top) - view.model().pageTop();
    const QRect box(static_cast<int>(runs[0].left), top, static_cast<int>(runs[0].right - runs[0].left),
                    static_cast<int>(runs[0].bottom - runs[0].top));
    const QImage& frame = view.renderFrame();
    const int patterned = countPixels(frame, box, tile.pixelColor(0, 0), 6) + countPixels(frame, box, tile.pixelColor(3, 3), 6);
    QVERIFY2(patterned > box.width() * box.height() / 4, qPrintable(QString::number(patterned)));
    // The annotated characters are drawn in white over the box.
    QVERIFY(countPixels(frame, box, Qt::white, 10) > 20);
    // The characters before the run have no box.
    const QRect before(firstLineRect(view, 0).left(), top, box.left() - firstLineRect(view, 0).left() - 3, box.height());
    QCOMPARE(countPixels(frame, before, tile.pixelColor(0, 0), 6), 0);
}

void ReadingViewPaintTest::busyImportKeepsTheViewStill()
{
    GuiFixture fixture;
    auto window = fixture.startWindow();
    ReadingView& view = window->readingView();
    QVERIFY(window->router().trigger(kSchemeWhite));
    QCOMPARE(view.viewport()->grab().toImage().pixelColor(3, 3), QColor(255, 255, 255));
    bool busy = true;
    view.setStillWhile([&busy] { return busy; });
    const int width = view.model().geometry().area().width;
    QVERIFY(window->router().trigger(kSchemeBlack));
    window->resize(window->width() - 200, window->height());
    QCoreApplication::processEvents();
    QCOMPARE(view.viewport()->grab().toImage().pixelColor(3, 3), QColor(255, 255, 255));
    QCOMPARE(view.model().geometry().area().width, width);
    busy = false;
    view.resume();
    QCOMPARE(view.viewport()->grab().toImage().pixelColor(3, 3), QColor(51, 51, 51));
    QCOMPARE(view.model().geometry().area().width, std::max(view.viewport()->width(), 450));
}

void ReadingViewPaintTest::backgroundPictureReplacesTheColour()
{
    GuiFixture fixture;
    auto window = fixture.startWindow();
    const auto picture = fixture.folders().programFolder / "control/IMG/背景/默认/01.png";
    window->displayCommands().setPictureChooser([&](const QString&) { return QString::fromStdU16String(picture.u16string()); });
    QVERIFY(window->router().trigger(kSchemeBlack));
    QVERIFY(window->router().trigger(kCustomBackground));
    ReadingView& view = window->readingView();
    const QImage& frame = view.renderFrame();
    QVERIFY(frame.pixelColor(frame.width() / 2, 5) != QColor(51, 51, 51));
    QCOMPARE(window->display().settings.image, picture.u16string());
    QVERIFY(window->router().trigger(kClearCustomBackground));
    QCOMPARE(view.renderFrame().pixelColor(view.renderFrame().width() / 2, 5), QColor(51, 51, 51));
}

void ReadingViewPaintTest::pictureCacheDropsTheLeastRecentlyUsedBeyondItsCap()
{
    test::TempDir dir;
    // Three 100 × 100 pictures of 40,000 bytes each once decoded.
    std::vector<std::filesystem::path> paths;
    for (int i = 0; i < 3; ++i) {
        QImage image(100, 100, QImage::Format_RGB32);
        image.fill(QColor(10 * i, 20, 30));
        paths.push_back(dir / ("p" + std::to_string(i) + ".png"));
        QVERIFY(image.save(QString::fromStdU16String(paths.back().u16string())));
    }
    PictureCache cache(100'000);
    const QImage first = cache.picture(paths[0]);
    QCOMPARE(first.size(), QSize(100, 100));
    (void)cache.picture(paths[1]);
    QCOMPARE(cache.bytes(), std::size_t{80'000});
    (void)cache.picture(paths[0]);  // used again: paths[1] is now the least recently used
    (void)cache.picture(paths[2]);
    QCOMPARE(cache.entries(), std::size_t{2});
    QVERIFY(cache.bytes() <= 100'000);
    // paths[0] stayed: asking again decodes nothing new and drops nothing.
    (void)cache.picture(paths[0]);
    QCOMPARE(cache.entries(), std::size_t{2});
    // Scaled copies count too, and an image handed out stays valid when dropped.
    const QImage big = cache.scaled(paths[0], QSize(200, 200));
    QCOMPARE(big.size(), QSize(200, 200));
    QCOMPARE(cache.entries(), std::size_t{1});
    QCOMPARE(first.pixelColor(5, 5), QColor(0, 20, 30));
    // One image above the cap is still drawn (and kept alone).
    QCOMPARE(cache.scaled(paths[1], QSize(400, 400)).size(), QSize(400, 400));
    QCOMPARE(cache.entries(), std::size_t{1});
}

QTEST_MAIN(ReadingViewPaintTest)
#include "reading_view_paint_test.moc"
