// SPDX-License-Identifier: MIT
// Annotation commands and the dialog "标注": styles on runs and paragraphs, excerpts in 00笔记.
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include "core/library/chapter_file.h"
#include "core/util/utf16.h"
#include "gui/commands/command_router.h"
#include "gui/dialogs/annotation_dialog.h"
#include "gui/tree/library_controller.h"
#include "gui/tree/library_tree_model.h"
#include "gui/tree/library_tree_pane.h"
#include "gui/view/annotation_controller.h"
#include "gui/view/display_state.h"
#include "gui/view/reading_controller.h"
#include "gui/view/reading_view.h"
#include "gui/window/main_window.h"
#include "gui/window/ribbon_bar.h"
#include "gui_fixture.h"

using namespace veyla;
using namespace veyla::gui;
using namespace Qt::StringLiterals;
namespace fs = std::filesystem;

namespace {

std::unique_ptr<MainWindow> openChapter(GuiFixture& fixture, const QString& text)
{
    fixture.addChapter("书/0001_a.xml", text);
    auto window = fixture.startWindow();
    if (!window->library().selectPath(fixture.library() / "书/0001_a.xml"))
        return nullptr;
    return window;
}

void choose(RibbonBar& ribbon, int id, int index, CommandRouter& router)
{
    ribbon.control<QComboBox>(id)->setCurrentIndex(index);
    router.trigger(id);
}

}  // namespace

class AnnotationsTest : public QObject {
    Q_OBJECT
private slots:
    void ribbonCombosHoldTheirChoices();
    void colourAnnotatesTheSelectedRun();
    void paragraphStyleFollowsTheRange();
    void noneClearsFromTheCaretOnInConsecutiveRange();
    void annotationsAreSavedAsInlineMarks();
    void excerptIsFiledIntoTheNotesBook();
    void categoryNamesAreWrittenAtExit();
};

void AnnotationsTest::ribbonCombosHoldTheirChoices()
{
    GuiFixture fixture;
    auto window = fixture.startWindow();
    auto& ribbon = window->ribbon();
    auto* range = ribbon.control<QComboBox>(kAnnotationRange);
    auto* style = ribbon.control<QComboBox>(kAnnotationStyle);
    QCOMPARE(range->count(), 3);
    QCOMPARE(range->itemText(0), u"仅本段"_s);
    QCOMPARE(range->itemText(2), u"连续"_s);
    QCOMPARE(style->itemText(0), u"单字"_s);
    QCOMPARE(style->itemText(1), u"多字"_s);
    choose(ribbon, kAnnotationRange, 2, window->router());
    QCOMPARE(window->display().settings.annotationRange, 2);
    choose(ribbon, kAnnotationStyle, 1, window->router());
    QCOMPARE(window->display().settings.single, 0);
    choose(ribbon, kAnnotationStyle, 0, window->router());
    QCOMPARE(window->display().settings.single, 1);
}

void AnnotationsTest::colourAnnotatesTheSelectedRun()
{
    GuiFixture fixture;
    auto window = openChapter(fixture, u"天地玄黄宇宙洪荒"_s);
    QVERIFY(window);
    choose(window->ribbon(), kAnnotationStyle, 0, window->router());
    window->annotations().setStyleChooser([] { return 4; });
    ReadingView& view = window->readingView();
    view.model().editor().selectRange({0, 0, 2}, {0, 0, 5});
    QVERIFY(window->router().trigger(kAnnotationColour));
    QCOMPARE(window->display().settings.annotation, 5);
    const auto& glyphs = view.model().document().paragraphs[0].lines[0].glyphs;
    QCOMPARE(glyphs[1].annotation, 0);
    QCOMPARE(glyphs[2].annotation, 5);
    QCOMPARE(glyphs[4].annotation, 5);
    QCOMPARE(glyphs[5].annotation, 0);
    QVERIFY(!view.model().editor().hasSelection());
    QVERIFY(view.isModified());
    // A cancelled choice changes nothing.
    window->annotations().setStyleChooser([] { return -1; });
    QVERIFY(window->router().trigger(kAnnotationColour));
    QCOMPARE(window->display().settings.annotation, 5);
}

void AnnotationsTest::paragraphStyleFollowsTheRange()
{
    GuiFixture fixture;
    auto window = openChapter(fixture, u"一\n二\n三\n四"_s);
    QVERIFY(window);
    auto& router = window->router();
    choose(window->ribbon(), kAnnotationStyle, 1, router);  // 多字: paragraphs
    choose(window->ribbon(), kAnnotationRange, 2, router);  // 连续
    window->annotations().setStyleChooser([] { return 18; });  // style 19
    ReadingView& view = window->readingView();
    view.model().editor().setCaret({1, 0, 0});
    QVERIFY(router.trigger(kAnnotationColour));
    const auto& paragraphs = view.model().document().paragraphs;
    QCOMPARE(paragraphs[0].annotation, 0);
    QCOMPARE(paragraphs[1].annotation, 19);
    QCOMPARE(paragraphs[2].annotation, 20);
    QCOMPARE(paragraphs[3].annotation, 1);
    choose(window->ribbon(), kAnnotationRange, 0, router);  // 仅本段
    view.model().editor().setCaret({0, 0, 0});
    window->annotations().setStyleChooser([] { return 6; });
    QVERIFY(router.trigger(kAnnotationColour));
    QCOMPARE(paragraphs[0].annotation, 7);
    QCOMPARE(paragraphs[1].annotation, 19);
}

void AnnotationsTest::noneClearsFromTheCaretOnInConsecutiveRange()
{
    GuiFixture fixture;
    auto window = openChapter(fixture, u"一\n二\n三"_s);
    QVERIFY(window);
    auto& router = window->router();
    choose(window->ribbon(), kAnnotationStyle, 1, router);
    choose(window->ribbon(), kAnnotationRange, 2, router);
    window->annotations().setStyleChooser([] { return 0; });
    QVERIFY(router.trigger(kAnnotationColour));
    window->readingView().model().editor().setCaret({1, 0, 0});
    QVERIFY(router.trigger(kAnnotationNone));
    QCOMPARE(window->display().settings.annotation, 0);
    const auto& paragraphs = window->readingView().model().document().paragraphs;
    QCOMPARE(paragraphs[0].annotation, 1);
    QCOMPARE(paragraphs[1].annotation, 0);
    QCOMPARE(paragraphs[2].annotation, 0);
}

void AnnotationsTest::annotationsAreSavedAsInlineMarks()
{
    GuiFixture fixture;
    auto window = openChapter(fixture, u"天地玄黄宇宙洪"_s);
    QVERIFY(window);
    choose(window->ribbon(), kAnnotationStyle, 0, window->router());
    ReadingView& view = window->readingView();
    window->annotations().setStyleChooser([] { return 2; });
    view.model().editor().selectRange({0, 0, 0}, {0, 0, 5});
    QVERIFY(window->router().trigger(kAnnotationColour));
    window->annotations().setStyleChooser([] { return 3; });
    view.model().editor().selectRange({0, 0, 5}, {0, 0, 7});
    QVERIFY(window->router().trigger(kAnnotationColour));
    QVERIFY(window->reading().save());
    const auto saved = library::readChapter(fixture.library() / "书/0001_a.xml", {});
    QVERIFY(saved.ok());
    QCOMPARE(QString::fromStdU16String(saved->paragraphs[0].text()), u"[F3]天地玄黄宇[/F][F4]宙洪[/F]"_s);
}

void AnnotationsTest::excerptIsFiledIntoTheNotesBook()
{
    GuiFixture fixture;
    auto window = openChapter(fixture, u"天地玄黄宇宙洪荒"_s);
    QVERIFY(window);
    QVERIFY(window->router().trigger(kAnnotate));
    QVERIFY(window->reading().isModified());
    AnnotationDialog* dialog = window->annotations().dialog();
    QVERIFY(dialog != nullptr);
    QVERIFY(dialog->isVisible());
    QVERIFY(!dialog->isModal());
    QCOMPARE(dialog->categoryButton(0).text(), u"风景"_s);
    QCOMPARE(dialog->categoryButton(19).text(), u"类20"_s);
    window->readingView().model().editor().selectRange({0, 0, 2}, {0, 0, 4});
    QTest::mouseClick(&dialog->categoryButton(3), Qt::LeftButton);
    const fs::path notes = fixture.library() / u8"00笔记" / u8"对白.xml";
    const auto filed = library::readChapter(notes, {});
    QVERIFY(filed.ok());
    QCOMPARE(QString::fromStdU16String(filed->paragraphs.back().text()).trimmed(), u"玄黄"_s);
    // The tree shows the notes book.
    QVERIFY(!window->library().namesOfPath(notes).empty());
    // A second excerpt is appended to the same chapter.
    window->readingView().model().editor().selectRange({0, 0, 6}, {0, 0, 8});
    QVERIFY(window->annotations().fileExcerpt(3));
    const auto again = library::readChapter(notes, {});
    QVERIFY(again.ok());
    QCOMPARE(again->paragraphs.size(), filed->paragraphs.size() + 1);
}

void AnnotationsTest::categoryNamesAreWrittenAtExit()
{
    GuiFixture fixture;
    {
        auto window = openChapter(fixture, u"天地"_s);
        QVERIFY(window);
        QVERIFY(window->router().trigger(kAnnotate));
        QStringList names;
        for (int i = 0; i < 20; ++i)
            names << (i == 1 ? u"打斗"_s : QString());
        window->annotations().renameCategories(names);
        QCOMPARE(window->annotations().dialog()->categoryButton(1).text(), u"打斗"_s);
        QCOMPARE(window->annotations().dialog()->categoryButton(0).text(), u"风景"_s);
        window->close();
    }
    const auto categories = view::AnnotationCategories::read(fixture.folders());
    QCOMPARE(categories.name(1), std::u16string(u"打斗"));
    QCOMPARE(categories.name(2), std::u16string(u"心理"));
}

QTEST_MAIN(AnnotationsTest)
#include "annotations_test.moc"
