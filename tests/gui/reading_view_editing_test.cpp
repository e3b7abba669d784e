// SPDX-License-Identifier: MIT
// Editing through key events and the clipboard, the word count, the opening
// text and the read-aloud hooks of the reading view.
#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QSpinBox>
#include <QTimer>

#include "gui/commands/command_router.h"
#include "gui/dialogs/chunk_properties_dialog.h"
#include "gui/dialogs/word_count_dialog.h"
#include "gui/tree/library_controller.h"
#include "gui/view/reading_controller.h"
#include "gui/view/reading_view.h"
#include "gui/window/main_window.h"
#include "gui_fixture.h"

using namespace veyla;
using namespace veyla::gui;
using namespace Qt::StringLiterals;

namespace {

QStringList texts(const ReadingView& view)
{
    QStringList result;
    for (const auto& text : view.paragraphTexts())
        result << QString::fromStdU16String(text);
    return result;
}

// A window showing a chapter of the given paragraphs, caret at the start, view focused.
std::unique_ptr<MainWindow> openChapter(GuiFixture& fixture, const QString& text)
{
    fixture.addChapter("书/0001_a.xml", text);
    auto window = fixture.startWindow();
    if (!window->library().selectPath(fixture.library() / "书/0001_a.xml"))
        return nullptr;
    window->readingView().setFocus();
    return window;
}

}  // namespace

class ReadingViewEditingTest : public QObject {
    Q_OBJECT
private slots:
    void typingInsertsAtTheCaretAndMarksModified();
    void backspaceDeletesTheCharacterBeforeTheCaret();
    void enterSplitsTheParagraph();
    void copyAcrossTwoParagraphsGivesCrLf();
    void cutAndPasteMoveText();
    void pasteWithAnEmptyClipboardSaysSo();
    void editsAreSavedThroughTheController();
    void wordCountDialogShowsBothCounts();
    void chunkPropertiesShowTheKindAndLockATextChunksSize();
    void anOpeningTextIsShownAtStart();
    void readAloudHooksWorkOnParagraphTexts();
    void theSpokenHighlightStaysOnItsCharactersAfterAReflow();
    void theSpokenHighlightFollowsItsParagraphAfterEdits();
    void undoAndRedoKeysReverseAndRepeatEdits();
    void pastedLineFeedsMakeParagraphs();
    void touchpadWheelDeltasAddUp();
    void positionRoundTripsThroughTheScrollPosition();
};

void ReadingViewEditingTest::typingInsertsAtTheCaretAndMarksModified()
{
    GuiFixture fixture;
    auto window = openChapter(fixture, u"天地"_s);
    QVERIFY(window);
    ReadingView& view = window->readingView();
    QVERIFY(!view.isModified());
    QTest::keyClick(&view, Qt::Key_Right);
    typeText(view, u"玄ab"_s);
    QCOMPARE(texts(view), QStringList({u"天玄ab地\r"_s}));
    QVERIFY(window->reading().isModified());
    QTest::keyClick(&view, Qt::Key_Tab);
    QCOMPARE(texts(view), QStringList({u"天玄ab\t地\r"_s}));
}

void ReadingViewEditingTest::backspaceDeletesTheCharacterBeforeTheCaret()
{
    GuiFixture fixture;
    auto window = openChapter(fixture, u"天地玄黄"_s);
    QVERIFY(window);
    ReadingView& view = window->readingView();
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_Backspace);
    QCOMPARE(texts(view), QStringList({u"天玄黄\r"_s}));
    QTest::keyClick(&view, Qt::Key_Delete);  // nothing selected: nothing deleted
    QCOMPARE(texts(view), QStringList({u"天玄黄\r"_s}));
}

void ReadingViewEditingTest::enterSplitsTheParagraph()
{
    GuiFixture fixture;
    auto window = openChapter(fixture, u"天地玄黄"_s);
    QVERIFY(window);
    ReadingView& view = window->readingView();
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_Return);
    QCOMPARE(texts(view), QStringList({u"天地\r"_s, u"玄黄\r"_s}));
    QCOMPARE(view.currentParagraph(), std::size_t{1});
    QTest::keyClick(&view, Qt::Key_Backspace);  // at a paragraph's start: joins it to the one before
    QCOMPARE(texts(view), QStringList({u"天地玄黄\r"_s}));
}

void ReadingViewEditingTest::copyAcrossTwoParagraphsGivesCrLf()
{
    GuiFixture fixture;
    auto window = openChapter(fixture, u"天地玄黄\n宇宙洪荒"_s);
    QVERIFY(window);
    ReadingView& view = window->readingView();
    view.model().editor().selectRange({0, 0, 2}, {1, 0, 2});
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), u"玄黄\r\n宇宙"_s);
    QApplication::clipboard()->setText(u"-"_s);
    view.model().editor().selectRange({0, 0, 2}, {1, 0, 2});
    QVERIFY(window->router().trigger(kCopyMenu));
    QCOMPARE(QApplication::clipboard()->text(), u"玄黄\r\n宇宙"_s);
}

void ReadingViewEditingTest::cutAndPasteMoveText()
{
    GuiFixture fixture;
    auto window = openChapter(fixture, u"天地玄黄"_s);
    QVERIFY(window);
    ReadingView& view = window->readingView();
    view.model().editor().selectRange({0, 0, 0}, {0, 0, 2});
    QVERIFY(window->router().trigger(kCut));
    QCOMPARE(texts(view), QStringList({u"玄黄\r"_s}));
    QCOMPARE(QApplication::clipboard()->text(), u"天地"_s);
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(texts(view), QStringList({u"玄黄天地\r"_s}));
    QVERIFY(fixture.messages.isEmpty());
}

void ReadingViewEditingTest::pasteWithAnEmptyClipboardSaysSo()
{
    GuiFixture fixture;
    auto window = openChapter(fixture, u"天地"_s);
    QVERIFY(window);
    QApplication::clipboard()->clear();
    QVERIFY(window->router().trigger(kPasteMenu));
    QCOMPARE(fixture.messages, QStringList({u"不能获取剪贴板数据！"_s}));
    QCOMPARE(texts(window->readingView()), QStringList({u"天地\r"_s}));
}

void ReadingViewEditingTest::editsAreSavedThroughTheController()
{
    GuiFixture fixture;
    auto window = openChapter(fixture, u"天地\n玄黄"_s);
    QVERIFY(window);
    ReadingView& view = window->readingView();
    typeText(view, u"一二"_s);
    QVERIFY(window->router().trigger(kSaveChapter));
    QVERIFY(!window->reading().isModified());
    const auto saved = library::readChapter(fixture.library() / "书/0001_a.xml", {});
    QVERIFY(saved.ok());
    QCOMPARE(saved->paragraphs.size(), std::size_t{2});
    QCOMPARE(QString::fromStdU16String(saved->paragraphs[0].text()), u"一二天地"_s);
}

void ReadingViewEditingTest::chunkPropertiesShowTheKindAndLockATextChunksSize()
{
    GuiFixture fixture;
    auto window = openChapter(fixture, u"天地玄黄"_s);
    QVERIFY(window);
    QString kind;
    bool sizeEnabled = true;
    int size = 0;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<ChunkPropertiesDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        kind = dialog->kindText();
        sizeEnabled = dialog->sizeField().isEnabled();
        size = dialog->size();
        dialog->accept();
    });
    QVERIFY(window->router().trigger(kChunkProperties));
    QCOMPARE(kind, u"字符数据块"_s);
    QVERIFY(!sizeEnabled);
    QCOMPARE(size, window->display().settings.textSize);
    QVERIFY(!window->reading().isModified());
}

void ReadingViewEditingTest::wordCountDialogShowsBothCounts()
{
    GuiFixture fixture;
    auto window = openChapter(fixture, u"天地玄黄，ab"_s);
    QVERIFY(window);
    QString shown;
    QString title;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<WordCountDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        title = dialog->windowTitle();
        shown = dialog->text();
        dialog->accept();
    });
    QVERIFY(window->router().trigger(kWordCount));
    QCOMPARE(title, u"字数统计"_s);
    QCOMPARE(shown, u"汉字：4\n所有字：7"_s);
}

void ReadingViewEditingTest::anOpeningTextIsShownAtStart()
{
    GuiFixture fixture;
    auto window = fixture.startWindow();
    QVERIFY(window->reading().hasChapter());
    QVERIFY(window->reading().chapterPath().empty());
    const QStringList shown = texts(window->readingView());
    QVERIFY(!shown.isEmpty());
    bool found = false;
    for (const char* category : {"名言", "哲理", "唐诗", "英语"}) {
        const auto file = fixture.folders().programControl(u8"开头白") / category / u8"开头白.txt";
        const QString text = QString::fromStdString(test::readBytes(file));
        found = found || text.startsWith(shown.front().left(5));
    }
    QVERIFY(found);
    QVERIFY(!window->reading().isModified());
}

void ReadingViewEditingTest::readAloudHooksWorkOnParagraphTexts()
{
    GuiFixture fixture;
    QString longParagraph;
    for (int i = 0; i < 60; ++i)
        longParagraph += u"天地玄黄宇宙洪荒"_s;
    auto window = openChapter(fixture, u"第一段\n"_s + longParagraph);
    QVERIFY(window);
    ReadingView& view = window->readingView();
    const auto paragraphs = view.paragraphTexts();
    QCOMPARE(paragraphs.size(), std::size_t{2});
    const auto& lines = view.model().document().paragraphs[1].lines;
    QVERIFY(lines.size() > 2);
    // Only the paragraph's end is a "\r": display lines are not part of the text.
    QCOMPARE(std::count(paragraphs[1].begin(), paragraphs[1].end(), u'\r'), 1L);
    QCOMPARE(paragraphs[1], longParagraph.toStdU16String() + u"\r");
    view.model().editor().setCaret({1, 2, 3});
    QCOMPARE(view.currentParagraph(), std::size_t{1});
    QCOMPARE(view.caretLineOffset(), lines[0].contentSize() + lines[1].contentSize());
    view.setSpoken(1, 2, 6);
    QVERIFY(lines[0].glyphs[2].spoken && lines[0].glyphs[5].spoken);
    QVERIFY(!lines[0].glyphs[1].spoken && !lines[0].glyphs[6].spoken);
    view.clearSpoken();
    QVERIFY(!lines[0].glyphs[2].spoken);
    QVERIFY(window->router().trigger(kParagraphMode));
    view.showParagraph(1);
    QCOMPARE(view.model().shownParagraph(), std::size_t{1});
}

namespace {

// The characters of paragraph p whose glyphs are marked as spoken.
QString spokenCharacters(const ReadingView& view, std::size_t p)
{
    QString spoken;
    for (const auto& line : view.model().document().paragraphs[p].lines)
        for (const auto& glyph : line.glyphs)
            if (glyph.spoken)
                spoken += QChar(glyph.ch);
    return spoken;
}

QString numbered(int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += QChar(0x4E00 + i);
    return text;
}

}  // namespace

void ReadingViewEditingTest::theSpokenHighlightStaysOnItsCharactersAfterAReflow()
{
    GuiFixture fixture;
    const QString paragraph = numbered(400);
    auto window = openChapter(fixture, u"第一段\n"_s + paragraph);
    QVERIFY(window);
    ReadingView& view = window->readingView();
    (void)view.speechSnapshot();
    view.setSpoken(1, 100, 110);
    QCOMPARE(spokenCharacters(view, 1), paragraph.mid(100, 10));
    // A bigger text size breaks the lines elsewhere while the piece is spoken.
    const std::size_t linesBefore = view.model().document().paragraphs[1].lines.size();
    window->display().settings.textSize += 12;
    view.applyLayoutSettings();
    QVERIFY(view.model().document().paragraphs[1].lines.size() > linesBefore);
    QCOMPARE(spokenCharacters(view, 1), paragraph.mid(100, 10));
    view.setSpoken(1, 100, 110, false);
    view.setSpoken(1, 110, 120);
    QCOMPARE(spokenCharacters(view, 1), paragraph.mid(110, 10));
    // So does a narrower page.
    QVERIFY(view.narrowPage());
    view.setSpoken(1, 110, 120, false);
    view.setSpoken(1, 300, 305);
    QCOMPARE(spokenCharacters(view, 1), paragraph.mid(300, 5));
    // The caret follows the piece onto the line now holding it.
    view.followSpeech(1, 300);
    const auto caret = view.model().caret().position;
    QCOMPARE(QChar(view.model().document().paragraphs[1].lines[caret.line].glyphs[caret.glyph].ch), paragraph[300]);
    // A window made narrower, then full screen and back, breaks the lines
    // again each time; the highlight stays on the piece.
    const auto lineCount = [&] { return view.model().document().paragraphs[1].lines.size(); };
    std::size_t before = lineCount();
    window->resize(420, window->height());
    QTRY_VERIFY(lineCount() > before);
    QCOMPARE(spokenCharacters(view, 1), paragraph.mid(300, 5));
    before = lineCount();
    QVERIFY(window->router().trigger(kFullScreen));
    QTRY_VERIFY(lineCount() != before);  // the screen's width, whatever it is here
    QCOMPARE(spokenCharacters(view, 1), paragraph.mid(300, 5));
    QVERIFY(window->router().trigger(kFullScreen));
    QTRY_COMPARE(lineCount(), before);
    QCOMPARE(spokenCharacters(view, 1), paragraph.mid(300, 5));
}

void ReadingViewEditingTest::theSpokenHighlightFollowsItsParagraphAfterEdits()
{
    GuiFixture fixture;
    const QString paragraph = numbered(50);
    auto window = openChapter(fixture, u"甲乙\n"_s + paragraph + u"\n尾"_s);
    QVERIFY(window);
    ReadingView& view = window->readingView();
    (void)view.speechSnapshot();
    // Enter in the first paragraph adds one before the one being read.
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_Return);
    QCOMPARE(view.model().document().paragraphs.size(), std::size_t{4});
    view.setSpoken(1, 10, 20);
    QCOMPARE(spokenCharacters(view, 2), paragraph.mid(10, 10));
    QVERIFY(spokenCharacters(view, 1).isEmpty());
    view.setSpoken(1, 10, 20, false);
    QVERIFY(spokenCharacters(view, 2).isEmpty());
    // Typing before the piece inside its own paragraph moves it along.
    view.model().editor().setCaret({2, 0, 0});
    typeText(view, u"新新"_s);
    view.setSpoken(1, 30, 35);
    QCOMPARE(spokenCharacters(view, 2), paragraph.mid(30, 5));
    view.clearSpoken();
    // Joining the two first paragraphs again (one fewer before it).
    view.model().editor().setCaret({1, 0, 0});
    QTest::keyClick(&view, Qt::Key_Backspace);
    view.setSpoken(1, 40, 45);
    QCOMPARE(spokenCharacters(view, 1), paragraph.mid(40, 5));
}

void ReadingViewEditingTest::undoAndRedoKeysReverseAndRepeatEdits()
{
    GuiFixture fixture;
    auto window = openChapter(fixture, u"天地"_s);
    QVERIFY(window);
    ReadingView& view = window->readingView();
    QTest::keyClick(&view, Qt::Key_Right);
    typeText(view, u"玄黄"_s);
    QTest::keyClick(&view, Qt::Key_Return);
    QCOMPARE(texts(view), QStringList({u"天玄黄\r"_s, u"地\r"_s}));
    QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(texts(view), QStringList({u"天玄黄地\r"_s}));
    QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(texts(view), QStringList({u"天地\r"_s}));
    QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(texts(view), QStringList({u"天玄黄地\r"_s}));
    QTest::keyClick(&view, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(texts(view), QStringList({u"天玄黄\r"_s, u"地\r"_s}));
    // Typing goes on where the redone edit left the caret.
    typeText(view, u"宇"_s);
    QCOMPARE(texts(view), QStringList({u"天玄黄\r"_s, u"宇地\r"_s}));
    QVERIFY(window->reading().isModified());
}

void ReadingViewEditingTest::pastedLineFeedsMakeParagraphs()
{
    GuiFixture fixture;
    auto window = openChapter(fixture, u"天地"_s);
    QVERIFY(window);
    ReadingView& view = window->readingView();
    QTest::keyClick(&view, Qt::Key_Right);
    QApplication::clipboard()->setText(u"一\n二\n三"_s);
    QTest::keyClick(&view, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(texts(view), QStringList({u"天一\r"_s, u"二\r"_s, u"三地\r"_s}));
    QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(texts(view), QStringList({u"天地\r"_s}));
}

void ReadingViewEditingTest::touchpadWheelDeltasAddUp()
{
    GuiFixture fixture;
    QStringList lines;
    for (int i = 0; i < 200; ++i)
        lines << u"第%1段　天下大势，分久必合，合久必分。"_s.arg(i);
    auto window = openChapter(fixture, lines.join(u'\n'));
    QVERIFY(window);
    ReadingView& view = window->readingView();
    window->resize(1000, 700);
    QCoreApplication::processEvents();
    const auto wheel = [&](int delta) {
        const QPointF at(100, 100);
        QWheelEvent event(at, view.viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &event);
    };
    // Sixty deltas of 2 units make one notch: 25 pixels, as one turn of a wheel.
    for (int i = 0; i < 60; ++i)
        wheel(-2);
    QCOMPARE(view.model().scroll().position(), 25);
    wheel(-120);
    QCOMPARE(view.model().scroll().position(), 50);
}

void ReadingViewEditingTest::positionRoundTripsThroughTheScrollPosition()
{
    GuiFixture fixture;
    QStringList lines;
    for (int i = 0; i < 200; ++i)
        lines << u"第%1段　天下大势，分久必合，合久必分。"_s.arg(i);
    auto window = openChapter(fixture, lines.join(u'\n'));
    QVERIFY(window);
    ReadingView& view = window->readingView();
    QCOMPARE(view.position(), 0LL);
    view.setPosition(1000);
    QVERIFY(view.model().scroll().position() > 0);
    const long long position = view.position();
    QVERIFY(position <= 1000 && position > 900);
    QVERIFY(!view.keepInView(0, 0));
    const auto& last = view.model().document().paragraphs.back();
    QVERIFY(view.keepInView(view.model().document().paragraphs.size() - 1, 0));
    QCOMPARE(view.model().scroll().position(), std::min(last.top, view.model().scroll().maximum()));
}

QTEST_MAIN(ReadingViewEditingTest)
#include "reading_view_editing_test.moc"
