// SPDX-License-Identifier: MIT
// The ribbon's pictures: every button has a line icon of its own, drawn in
// its tab's colour, lightened on a dark ribbon; no letters in squares.
#include <QAction>
#include <QImage>
#include <QTest>
#include <QToolButton>

#include <set>

#include "gui/commands/command_router.h"
#include "gui/commands/command_table.h"
#include "gui/icons/command_icons.h"
#include "gui/icons/svg_icon.h"
#include "gui/window/main_window.h"
#include "gui/window/ribbon_bar.h"
#include "gui_fixture.h"

using namespace veyla;
using namespace veyla::gui;
using namespace Qt::StringLiterals;

namespace {

// The colours of the pixels an icon covers fully (edges blend and are left out).
std::set<QRgb> inkColours(const QIcon& icon, int size, QIcon::Mode mode = QIcon::Normal)
{
    const QImage image = icon.pixmap(QSize(size, size), 1.0, mode).toImage().convertToFormat(QImage::Format_ARGB32);
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) == 255)
                colours.insert(pixel);
        }
    }
    return colours;
}

// Commands whose pictures are colour swatches made by their owners.
bool showsSwatch(const CommandSpec& entry)
{
    return (entry.id >= kSchemeWhite && entry.id <= kSchemeBlack) || entry.id == kTextColour ||
           entry.id == kBackgroundColour || entry.id == kHighlightColour;
}

}  // namespace

class RibbonIconsTest : public QObject {
    Q_OBJECT
private slots:
    void everyRibbonButtonHasAVendoredIcon();
    void iconsDrawInTheirColourAtAnySize();
    void disabledIconsAreGrey();
    void unknownNamesGiveNoIcon();
    void ribbonButtonsShowTheirTabsColour();
    void aDarkLookLightensTheIconsAndKeepsSwatches();
    void theApplicationHasItsOwnIcon();
};

void RibbonIconsTest::everyRibbonButtonHasAVendoredIcon()
{
    QStringList missing;
    for (const CommandSpec& entry : commandTable()) {
        const bool button = entry.kind == ControlKind::Button || entry.kind == ControlKind::Toggle ||
                            entry.kind == ControlKind::Colour;
        if (entry.ribbonTab.isEmpty() || !button || showsSwatch(entry) || (entry.id >= kLookBlue && entry.id <= kLookAqua))
            continue;
        const CommandIconSpec* icon = findCommandIcon(entry.id);
        if (icon == nullptr || !hasVendoredIcon(QString::fromLatin1(icon->vendored)))
            missing << u"%1 %2"_s.arg(entry.id).arg(entry.caption.isEmpty() ? entry.toolTip : entry.caption);
    }
    QVERIFY2(missing.isEmpty(), qPrintable(u"no icon in src/gui/icons/command_icons.cpp for: "_s + missing.join(u", "_s)));
}

void RibbonIconsTest::iconsDrawInTheirColourAtAnySize()
{
    const QIcon icon = tintedIcon(u"player-play"_s, QColor(0x2e, 0x7d, 0x32));
    QVERIFY(!icon.isNull());
    for (int size : {16, 18, 48}) {
        const QPixmap pixmap = icon.pixmap(QSize(size, size), 1.0);
        QCOMPARE(pixmap.size(), QSize(size, size));
        const auto colours = inkColours(icon, size);
        QVERIFY2(colours.size() == 1, qPrintable(u"size %1: %2 colours"_s.arg(size).arg(colours.size())));
        QCOMPARE(*colours.begin(), qRgb(0x2e, 0x7d, 0x32));
    }
}

void RibbonIconsTest::disabledIconsAreGrey()
{
    const auto colours = inkColours(tintedIcon(u"player-stop"_s, QColor(0xc6, 0x28, 0x28)), 32, QIcon::Disabled);
    QCOMPARE(colours, std::set<QRgb>{qRgb(0xa0, 0xa0, 0xa0)});
}

void RibbonIconsTest::unknownNamesGiveNoIcon()
{
    QVERIFY(tintedIcon(u"no-such-icon"_s, Qt::black).isNull());
    QVERIFY(!hasVendoredIcon(u"no-such-icon"_s));
    QVERIFY(!hasVendoredIcon(u"../tabler/LICENSE"_s));
}

void RibbonIconsTest::ribbonButtonsShowTheirTabsColour()
{
    GuiFixture fixture;
    auto window = fixture.startWindow();
    // 全文 on 朗读 (green), 新建文章 on 开始 (blue), 标注 on 标注 (red).
    const std::pair<int, QRgb> cases[] = {
        {kSpeakAll, qRgb(0x2e, 0x7d, 0x32)},
        {kNewChapter, qRgb(0x15, 0x65, 0xc0)},
        {kAnnotate, qRgb(0xc6, 0x28, 0x28)},
    };
    for (const auto& [id, colour] : cases) {
        auto* button = window->ribbon().control<QToolButton>(id);
        QVERIFY(button != nullptr);
        const auto colours = inkColours(button->icon(), 24);
        QVERIFY2(colours == std::set<QRgb>{colour}, qPrintable(u"command %1"_s.arg(id)));
    }
}

void RibbonIconsTest::aDarkLookLightensTheIconsAndKeepsSwatches()
{
    GuiFixture fixture;
    auto window = fixture.startWindow();
    const qint64 swatch = window->router().action(kHighlightColour)->icon().cacheKey();
    QVERIFY(window->router().trigger(kLookBlack));
    const auto colours = inkColours(window->router().action(kSpeakAll)->icon(), 24);
    QCOMPARE(colours.size(), std::size_t{1});
    QVERIFY(QColor(*colours.begin()).lightness() > QColor(0x2e, 0x7d, 0x32).lightness() + 60);
    QCOMPARE(window->router().action(kHighlightColour)->icon().cacheKey(), swatch);

    QVERIFY(window->router().trigger(kLookBlue));
    QCOMPARE(inkColours(window->router().action(kSpeakAll)->icon(), 24), std::set<QRgb>{qRgb(0x2e, 0x7d, 0x32)});
}

void RibbonIconsTest::theApplicationHasItsOwnIcon()
{
    const QIcon icon = applicationIcon();
    QVERIFY(!icon.isNull());
    // The tile, the pages and the headphones: several colours, not a letter.
    QVERIFY(inkColours(icon, 64).size() > 20);
}

QTEST_MAIN(RibbonIconsTest)
#include "ribbon_icons_test.moc"
