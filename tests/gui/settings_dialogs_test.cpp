// SPDX-License-Identifier: MIT
// The dialogs "更多设置" and "配色设置".
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "gui/commands/command_router.h"
#include "gui/dialogs/colour_settings_dialog.h"
#include "gui/dialogs/preset_dialog.h"
#include "gui/import/import_controller.h"
#include "gui/tree/library_controller.h"
#include "gui/view/display_controller.h"
#include "gui/view/display_state.h"
#include "gui/view/reading_view.h"
#include "gui/window/main_window.h"
#include "gui_fixture.h"

using namespace veyla;
using namespace veyla::gui;
using namespace Qt::StringLiterals;

namespace {

template <typename Dialog>
void whenShown(std::function<void(Dialog&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        act(*dialog);
    });
}

}  // namespace

class SettingsDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void presetDialogShowsTheCurrentValuesWithinLimits();
    void presetDialogAppliesSizesAndReflows();
    void presetDialogCancelChangesNothing();
    void punctuationAtLineStartIsADisplayOptionOnByDefault();
    void colourDialogAppliesEveryChangeAtOnce();
};

void SettingsDialogsTest::presetDialogShowsTheCurrentValuesWithinLimits()
{
    view::DisplaySettings settings;
    settings.textSize = 31;
    settings.fontName = u"不存在的字体";
    settings.single = 0;
    settings.annotation = 4;
    SplitPresets presets;
    PresetDialog dialog(settings, presets);
    QCOMPARE(dialog.windowTitle(), u"更多设置"_s);
    auto* text = dialog.findChild<QSpinBox*>(u"textSize"_s);
    QCOMPARE(text->value(), 31);
    QCOMPARE(text->minimum(), 9);
    QCOMPARE(text->maximum(), 100);
    QCOMPARE(dialog.findChild<QSpinBox*>(u"rowSpacing"_s)->maximum(), 100);
    QCOMPARE(dialog.findChild<QSpinBox*>(u"rowSpacing"_s)->minimum(), 0);
    auto* font = dialog.findChild<QComboBox*>(u"fontName"_s);
    QCOMPARE(font->itemText(0), u"默认"_s);
    QCOMPARE(font->currentIndex(), 0);  // a face that is not installed shows as the default
    QVERIFY(dialog.findChild<QRadioButton*>(u"continuous"_s)->isChecked());
    QCOMPARE(dialog.findChild<QComboBox*>(u"annotationStyle"_s)->currentIndex(), 4);
    auto* voices = dialog.findChild<QListWidget*>(u"voices"_s);
    QCOMPARE(voices->count(), 0);
    dialog.setVoices({u"cmn-latn-pinyin"_s, u"en"_s}, 1);
    QCOMPARE(voices->currentRow(), 1);
}

void SettingsDialogsTest::punctuationAtLineStartIsADisplayOptionOnByDefault()
{
    GuiFixture fixture;
    // Every second character a comma: a line breaks before one now and then.
    fixture.addChapter("书/0001_a.xml", QString(u"字，"_s).repeated(300));
    fixture.addChapter("书/0002_b.xml", u"天"_s);
    const auto path = fixture.library() / "书/0001_a.xml";
    const std::string bytes = test::readBytes(path);
    auto window = fixture.startWindow();
    QVERIFY(window->library().selectPath(path));
    ReadingView& view = window->readingView();
    const auto linesStartingWithAComma = [&] {
        int count = 0;
        for (const auto& line : view.model().document().paragraphs[0].lines)
            count += line.glyphs.front().ch == u'，' ? 1 : 0;
        return count;
    };
    QVERIFY(view.model().document().paragraphs[0].lines.size() > 5);
    QVERIFY(window->display().settings.noPunctuationAtLineStart);
    QCOMPARE(linesStartingWithAComma(), 0);
    whenShown<PresetDialog>([](PresetDialog& dialog) {
        auto* option = dialog.findChild<QCheckBox*>(u"noPunctuationAtLineStart"_s);
        QVERIFY(option != nullptr);
        QVERIFY(option->isChecked());
        option->setChecked(false);
        dialog.accept();
    });
    QVERIFY(window->router().trigger(kPresets));
    QVERIFY(!window->display().settings.noPunctuationAtLineStart);
    // The chapter was broken again by the plain rule.
    const auto& model = view.model();
    QCOMPARE(model.engine().params().lineStart, view::LineStartRule::AnyCharacter);
    view::ParagraphBox fresh = model.document().paragraphs[0];
    model.engine().setContent(fresh, model.engine().logicalGlyphs(fresh));
    const auto& lines = model.document().paragraphs[0].lines;
    QCOMPARE(lines.size(), fresh.lines.size());
    for (std::size_t l = 0; l < lines.size(); ++l)
        QCOMPARE(lines[l].glyphs.size(), fresh.lines[l].glyphs.size());
    // Only the display changed: the chapter is not modified and its file is as it was.
    QVERIFY(!view.isModified());
    QVERIFY(window->library().selectPath(fixture.library() / "书/0002_b.xml"));
    QCOMPARE(test::readBytes(path), bytes);
}

void SettingsDialogsTest::presetDialogAppliesSizesAndReflows()
{
    GuiFixture fixture;
    fixture.addChapter("书/0001_a.xml", QString(u"天地玄黄宇宙洪荒"_s).repeated(20));
    auto window = fixture.startWindow();
    QVERIFY(window->library().selectPath(fixture.library() / "书/0001_a.xml"));
    const std::size_t lines = window->readingView().model().document().paragraphs[0].lines.size();
    const int pageWidth = window->readingView().model().geometry().pageWidth();
    whenShown<PresetDialog>([](PresetDialog& dialog) {
        dialog.findChild<QSpinBox*>(u"textSize"_s)->setValue(44);
        dialog.findChild<QSpinBox*>(u"paragraphSpacing"_s)->setValue(5);
        dialog.findChild<QPushButton*>(u"narrowPage"_s)->click();
        dialog.findChild<QComboBox*>(u"annotationStyle"_s)->setCurrentIndex(9);
        dialog.findChild<QRadioButton*>(u"continuous"_s)->setChecked(true);
        dialog.accept();
    });
    QVERIFY(window->router().trigger(kPresets));
    const auto& settings = window->display().settings;
    QCOMPARE(settings.textSize, 44);
    QCOMPARE(settings.paragraphSpacing, 5);
    QCOMPARE(settings.annotation, 9);
    QCOMPARE(settings.single, 0);
    QCOMPARE(window->readingView().model().geometry().pageWidth(), pageWidth - 50);
    QVERIFY(window->readingView().model().document().paragraphs[0].lines.size() > lines);
    QCOMPARE(window->readingView().model().document().paragraphs[0].lines[0].glyphs[0].size, 44);
}

void SettingsDialogsTest::presetDialogCancelChangesNothing()
{
    GuiFixture fixture;
    auto window = fixture.startWindow();
    const auto before = window->display().settings;
    whenShown<PresetDialog>([](PresetDialog& dialog) {
        dialog.findChild<QSpinBox*>(u"textSize"_s)->setValue(50);
        dialog.reject();
    });
    QVERIFY(window->router().trigger(kPresets));
    QVERIFY(window->display().settings == before);
}

void SettingsDialogsTest::colourDialogAppliesEveryChangeAtOnce()
{
    GuiFixture fixture;
    auto window = fixture.startWindow();
    auto& settings = window->display().settings;
    bool checked = false;
    whenShown<ColourSettingsDialog>([&](ColourSettingsDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), u"配色设置"_s);
        auto* vertical = dialog.findChild<QSlider*>(u"nVerticalWidth"_s);
        QCOMPARE(vertical->minimum(), 200);
        QCOMPARE(vertical->maximum(), 1000);
        QCOMPARE(dialog.findChild<QSlider*>(u"nHorize"_s)->maximum(), 13);
        QCOMPARE(dialog.findChild<QSlider*>(u"nPramWidth"_s)->maximum(), 50);
        vertical->setValue(640);
        QCOMPARE(settings.verticalWidth, 640);  // no apply step
        dialog.findChild<QCheckBox*>(u"bWholeTop"_s)->setChecked(true);
        QVERIFY(settings.wholeTop);
        auto* lines = dialog.findChild<QComboBox*>(u"lineDir"_s);
        QCOMPARE(lines->itemText(0), u"无"_s);
        QCOMPARE(lines->itemText(lines->count() - 1), u"自定义"_s);
        auto* backgrounds = dialog.findChild<QComboBox*>(u"backgroundDir"_s);
        backgrounds->setCurrentIndex(backgrounds->findText(u"暮色"_s));
        emit backgrounds->activated(backgrounds->currentIndex());
        QCOMPARE(settings.backgroundDir, std::u16string(u"暮色"));
        QCOMPARE(window->display().backgrounds.size(), std::size_t{2});
        QVERIFY(!window->display().backgroundPicture.empty());
        // The scheme list applies a scheme; the preview shows the view.
        auto* schemes = dialog.findChild<QListWidget*>(u"schemes"_s);
        QVERIFY(schemes->count() >= 5);
        checked = !dialog.preview().pixmap().isNull();
        dialog.accept();
    });
    QVERIFY(window->router().trigger(kColourSettings));
    QVERIFY(checked);
}

QTEST_MAIN(SettingsDialogsTest)
#include "settings_dialogs_test.moc"
