// SPDX-License-Identifier: MIT
// Display commands by id: sizes, page width, paragraph mode, schemes, colours, backgrounds.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "core/library/chapter_file.h"
#include "gui/commands/command_router.h"
#include "gui/view/reading_controller.h"
#include "gui/dialogs/scheme_name_dialog.h"
#include "gui/tree/library_controller.h"
#include "gui/view/display_controller.h"
#include "gui/view/display_state.h"
#include "gui/view/reading_view.h"
#include "gui/view/view_context_menu.h"
#include "gui/window/main_window.h"
#include "gui/window/ribbon_bar.h"
#include "gui_fixture.h"

using namespace veyla;
using namespace veyla::gui;
using namespace Qt::StringLiterals;

namespace {

QString longParagraphs()
{
    QStringList lines;
    for (int i = 0; i < 40; ++i)
        lines << u"天下大势，分久必合，合久必分。周末七国分争，并入于秦。及秦灭之后，楚、汉分争，又并入于汉。"_s;
    return lines.join(u'\n');
}

std::size_t lineCount(const ReadingView& view)
{
    std::size_t lines = 0;
    for (const auto& paragraph : view.model().document().paragraphs)
        lines += paragraph.lines.size();
    return lines;
}

// Answers the next modal scheme-name dialog with name.
void answerSchemeName(const QString& name)
{
    QTimer::singleShot(0, [name] {
        auto* dialog = qobject_cast<SchemeNameDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        QCOMPARE(dialog->windowTitle(), u"配色方案命名"_s);
        dialog->nameField().setText(name);
        dialog->accept();
    });
}

QStringList comboItems(const QComboBox& combo)
{
    QStringList items;
    for (int i = 0; i < combo.count(); ++i)
        items << combo.itemText(i);
    return items;
}

}  // namespace

class DisplayCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void textSizeSpinReflowsTheChapter();
    void spacingSpinsMoveLinesWithoutBreakingThemAgain();
    void pageWidthStaysWithinItsLimits();
    void paragraphModeShowsOneParagraphAndRenamesTheMenuItem();
    void schemeComboAppliesTheNamedScheme();
    void savingANewSchemeAppendsIt();
    void duplicateSchemeNameAnsweredNoChangesNothing();
    void colourButtonsTakeTheChosenColour();
    void fontComboSetsTheFaceAndDefaultClearsIt();
    void lishuCommandGivesTheCaretParagraphItsFace();
    void nextBackgroundStepsThroughThePicturesOrSchemes();
    void decorationTogglesFlipTheirOptionAndMark();
};

void DisplayCommandsTest::textSizeSpinReflowsTheChapter()
{
    GuiFixture fixture;
    fixture.addChapter("书/0001_a.xml", longParagraphs());
    auto window = fixture.startWindow();
    QVERIFY(window->library().selectPath(fixture.library() / "书/0001_a.xml"));
    ReadingView& view = window->readingView();
    const std::size_t before = lineCount(view);
    auto* spin = window->ribbon().control<QSpinBox>(kFontSize);
    QCOMPARE(spin->minimum(), 9);
    QCOMPARE(spin->maximum(), 100);
    spin->setValue(40);
    QVERIFY(window->router().trigger(kFontSize));
    QCOMPARE(window->display().settings.textSize, 40);
    QCOMPARE(view.model().engine().params().textSize, 40);
    QCOMPARE(view.model().document().paragraphs[0].lines[0].glyphs[0].size, 40);
    QVERIFY(lineCount(view) > before);
}

void DisplayCommandsTest::spacingSpinsMoveLinesWithoutBreakingThemAgain()
{
    GuiFixture fixture;
    fixture.addChapter("书/0001_a.xml", longParagraphs());
    auto window = fixture.startWindow();
    QVERIFY(window->library().selectPath(fixture.library() / "书/0001_a.xml"));
    ReadingView& view = window->readingView();
    const std::size_t lines = lineCount(view);
    const int secondTop = view.model().document().paragraphs[1].top;
    window->ribbon().control<QSpinBox>(kRowSpacing)->setValue(50);
    QVERIFY(window->router().trigger(kRowSpacing));
    QCOMPARE(lineCount(view), lines);
    const int grown = view.model().document().paragraphs[1].top - secondTop;
    window->ribbon().control<QSpinBox>(kParagraphSpacing)->setValue(60);
    QVERIFY(window->router().trigger(kParagraphSpacing));
    QCOMPARE(window->display().settings.paragraphSpacing, 60);
    QCOMPARE(grown, static_cast<int>(view.model().document().paragraphs[0].lines.size()) * (50 - 20));
    QVERIFY(view.model().document().paragraphs[1].top > secondTop + grown);
}

void DisplayCommandsTest::pageWidthStaysWithinItsLimits()
{
    GuiFixture fixture;
    auto window = fixture.startWindow();
    ReadingView& view = window->readingView();
    const int client = view.model().geometry().area().width;
    QCOMPARE(view.model().geometry().pageWidth(), client - 350);
    for (int i = 0; i < 20; ++i)
        window->router().trigger(kWiderPage);
    QVERIFY(view.model().geometry().pageWidth() < client);
    QVERIFY(view.model().geometry().pageWidth() + 50 >= client);
    for (int i = 0; i < 40; ++i)
        window->router().trigger(kNarrowerPageMenu);
    QVERIFY(view.model().geometry().pageWidth() > 400);
    QVERIFY(view.model().geometry().pageWidth() - 50 <= 400);
    const int narrowest = view.model().geometry().pageWidth();
    QVERIFY(window->router().trigger(kWiderPageMenu));
    QCOMPARE(view.model().geometry().pageWidth(), narrowest + 50);
}

void DisplayCommandsTest::paragraphModeShowsOneParagraphAndRenamesTheMenuItem()
{
    GuiFixture fixture;
    fixture.addChapter("书/0001_a.xml", longParagraphs());
    auto window = fixture.startWindow();
    QVERIFY(window->library().selectPath(fixture.library() / "书/0001_a.xml"));
    ReadingView& view = window->readingView();
    const auto caption = [&] {
        QMenu menu;
        ViewMenuState state;
        state.paragraphMode = view.paragraphMode();
        fillViewContextMenu(menu, window->router(), state);
        for (QAction* item : menu.actions()) {
            if (item->menu() != nullptr && item->text() == u"PPT"_s)
                return item->menu()->actions().front()->text();
        }
        return QString();
    };
    QCOMPARE(caption(), u"段落模式"_s);
    QVERIFY(window->router().trigger(kParagraphMode));
    QVERIFY(view.paragraphMode());
    QVERIFY(window->router().action(kParagraphMode)->isChecked());
    QCOMPARE(caption(), u"全文模式"_s);
    QCOMPARE(view.model().paragraphsToPaint(view::StripVisibility::Hidden, view::StripVisibility::Hidden).size(),
             std::size_t{1});
    QWheelEvent down(QPointF(100, 100), QPointF(100, 100), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &down);
    QCOMPARE(view.model().shownParagraph(), std::size_t{1});
    QVERIFY(window->router().trigger(kParagraphMode));
    QVERIFY(!view.paragraphMode());
    QVERIFY(!window->router().action(kParagraphMode)->isChecked());
}

void DisplayCommandsTest::schemeComboAppliesTheNamedScheme()
{
    GuiFixture fixture;
    auto window = fixture.startWindow();
    auto* combo = window->ribbon().control<QComboBox>(kSchemeCombo);
    QVERIFY(comboItems(*combo).contains(u"夜读"_s));
    combo->setCurrentIndex(combo->findText(u"夜读"_s));
    QVERIFY(window->router().trigger(kSchemeCombo));
    QCOMPARE(window->display().schemes.colours().bg, view::rgb(30, 36, 44));
    QCOMPARE(window->readingView().renderFrame().pixelColor(1, 1), QColor(30, 36, 44));
}

void DisplayCommandsTest::savingANewSchemeAppendsIt()
{
    GuiFixture fixture;
    auto window = fixture.startWindow();
    QVERIFY(window->router().trigger(kSchemeGray));
    const std::size_t count = window->display().schemes.schemes().size();
    answerSchemeName(u"我的方案"_s);
    QVERIFY(window->router().trigger(kSaveScheme));
    QCOMPARE(window->display().schemes.schemes().size(), count + 1);
    const auto& saved = window->display().schemes.schemes().back();
    QCOMPARE(saved.name, std::u16string(u"我的方案"));
    QCOMPARE(saved.bg, view::rgb(69, 72, 74));
    QVERIFY(comboItems(*window->ribbon().control<QComboBox>(kSchemeCombo)).contains(u"我的方案"_s));
    // An empty name saves nothing.
    answerSchemeName(QString());
    QVERIFY(window->router().trigger(kSaveScheme));
    QCOMPARE(window->display().schemes.schemes().size(), count + 1);
}

void DisplayCommandsTest::duplicateSchemeNameAnsweredNoChangesNothing()
{
    GuiFixture fixture;
    auto window = fixture.startWindow();
    const auto before = window->display().schemes.schemes();
    QVERIFY(window->router().trigger(kSchemeBlack));
    fixture.answerYes = false;
    answerSchemeName(u"浅白"_s);
    QVERIFY(window->router().trigger(kSaveScheme));
    QCOMPARE(fixture.messages, QStringList({u"有重名配色方案，是否将其替换"_s}));
    QVERIFY(window->display().schemes.schemes() == before);
    // Yes replaces the colours of that scheme, keeping its place and its tree colour.
    fixture.answerYes = true;
    answerSchemeName(u"浅白"_s);
    QVERIFY(window->router().trigger(kSaveScheme));
    QCOMPARE(window->display().schemes.schemes().size(), before.size());
    QCOMPARE(window->display().schemes.schemes()[0].bg, view::rgb(51, 51, 51));
    QCOMPARE(window->display().schemes.schemes()[0].treeBg, before[0].treeBg);
}

void DisplayCommandsTest::colourButtonsTakeTheChosenColour()
{
    GuiFixture fixture;
    auto window = fixture.startWindow();
    QStringList titles;
    QColor answer(10, 120, 30);
    window->displayCommands().setColourChooser([&](const QColor&, const QString& title) {
        titles << title;
        return answer;
    });
    QVERIFY(window->router().trigger(kBackgroundColour));
    QCOMPARE(window->readingView().renderFrame().pixelColor(1, 1), answer);
    answer = QColor(200, 0, 0);
    QVERIFY(window->router().trigger(kTextColour));
    QCOMPARE(window->display().schemes.colours().text, view::rgb(200, 0, 0));
    answer = QColor();  // cancelled: nothing changes
    QVERIFY(window->router().trigger(kHighlightColour));
    QCOMPARE(window->display().schemes.colours().textBright, view::ColourSchemes::kDefaultTextBright);
    QCOMPARE(titles.size(), 3);
}

void DisplayCommandsTest::fontComboSetsTheFaceAndDefaultClearsIt()
{
    GuiFixture fixture;
    auto window = fixture.startWindow();
    auto* combo = window->ribbon().control<QComboBox>(kFontCombo);
    QCOMPARE(combo->itemText(0), u"默认"_s);
    QVERIFY(combo->count() > 1);
    combo->setCurrentIndex(1);
    QVERIFY(window->router().trigger(kFontCombo));
    QCOMPARE(window->display().settings.fontName, combo->itemText(1).toStdU16String());
    combo->setCurrentIndex(0);
    QVERIFY(window->router().trigger(kFontCombo));
    QVERIFY(window->display().settings.fontName.empty());
}

void DisplayCommandsTest::lishuCommandGivesTheCaretParagraphItsFace()
{
    GuiFixture fixture;
    fixture.addChapter("书/0001_a.xml", u"第一段\n第二段"_s);
    auto window = fixture.startWindow();
    QVERIFY(window->library().selectPath(fixture.library() / "书/0001_a.xml"));
    ReadingView& view = window->readingView();
    view.model().editor().setCaret({1, 0, 1});
    QVERIFY(window->router().trigger(kFontLishu));
    QVERIFY(view.model().document().modified);
    QVERIFY(window->reading().save());
    const auto saved = library::readChapter(fixture.library() / "书/0001_a.xml", {});
    QVERIFY(saved.ok());
    QVERIFY(!saved->paragraphs[0].fontFace.has_value());
    QCOMPARE(saved->paragraphs[1].fontFace, std::optional<std::u16string>(u"隶书"));
}

void DisplayCommandsTest::nextBackgroundStepsThroughThePicturesOrSchemes()
{
    GuiFixture fixture;
    auto window = fixture.startWindow();
    DisplayState& display = window->display();
    // Without pictures the saved schemes are stepped through.
    QVERIFY(display.backgrounds.empty());
    QVERIFY(window->router().trigger(kSchemeWhite));
    QVERIFY(window->router().trigger(kNextBackground));
    QCOMPARE(display.schemes.colours().bg, display.schemes.schemes()[1].bg);
    // With a picture folder chosen on the ribbon, the pictures are.
    auto* folders = window->ribbon().control<QComboBox>(kBackgroundFolder);
    QCOMPARE(folders->itemText(0), u"无"_s);
    QCOMPARE(folders->itemText(folders->count() - 1), u"自定义"_s);
    folders->setCurrentIndex(folders->findText(u"默认"_s));
    QVERIFY(window->router().trigger(kBackgroundFolder));
    QCOMPARE(display.settings.count, 3);
    QCOMPARE(display.backgroundPicture.filename(), std::filesystem::path("01.png"));
    QVERIFY(window->router().trigger(kNextBackground));
    QCOMPARE(display.backgroundPicture.filename(), std::filesystem::path("02.png"));
    QVERIFY(window->router().trigger(kPreviousBackground));
    QVERIFY(window->router().trigger(kPreviousBackground));
    QCOMPARE(display.backgroundPicture.filename(), std::filesystem::path("03.png"));
    QCOMPARE(display.settings.index0, 2);
}

void DisplayCommandsTest::decorationTogglesFlipTheirOptionAndMark()
{
    GuiFixture fixture;
    fixture.addChapter("书/0001_a.xml", longParagraphs());
    auto window = fixture.startWindow();
    QVERIFY(window->library().selectPath(fixture.library() / "书/0001_a.xml"));
    auto& settings = window->display().settings;
    const bool line = settings.line;
    QVERIFY(window->router().trigger(kToggleRowLines));
    QCOMPARE(settings.line, !line);
    QCOMPARE(window->router().action(kToggleRowLines)->isChecked(), settings.line);
    if (settings.line) {
        QVERIFY(window->readingView().model().document().paragraphs[0].horizontalLine > 0);
        QVERIFY(window->readingView().isModified());
    }
    QVERIFY(window->router().trigger(kToggleHorizontalBars));
    QCOMPARE(window->router().action(kToggleHorizontalBars)->isChecked(), settings.horizon);
}

QTEST_MAIN(DisplayCommandsTest)
#include "display_commands_test.moc"
