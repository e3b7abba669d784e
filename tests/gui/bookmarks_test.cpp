// SPDX-License-Identifier: MIT
#include <QLineEdit>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>

#include "core/util/utf16.h"
#include "gui/commands/command_router.h"
#include "gui/tree/library_controller.h"
#include "gui/tree/library_tree_pane.h"
#include "gui/view/bookmark_controller.h"
#include "gui/view/reading_controller.h"
#include "gui/view/reading_view.h"
#include "gui/window/main_window.h"
#include "gui_fixture.h"

using namespace veyla;
using namespace veyla::gui;
using namespace Qt::StringLiterals;
namespace fs = std::filesystem;

namespace {

std::string unicodeFile(std::u16string_view text)
{
    return "\xFF\xFE" + utf16::encodeLittleEndian(text);
}

QString longChapter()
{
    QStringList lines;
    for (int i = 0; i < 300; ++i)
        lines << u"第%1段　天下大势，分久必合，合久必分。"_s.arg(i);
    return lines.join(u'\n');
}

}  // namespace

class BookmarksTest : public QObject {
    Q_OBJECT
private slots:
    void bookmarksAreWrittenByteExactAndReadBack();
    void closingAndReopeningRestoresTheExitPosition();
    void bookmarkButtonHasThreeBehaviours();
    void aFileWithoutItsMarkIsReportedAndKept();
    void renamesReachTheBookmarks();
};

void BookmarksTest::bookmarksAreWrittenByteExactAndReadBack()
{
    GuiFixture fixture;
    fixture.addChapter("小说/0001_西游记/0001_第一回.xml");
    fixture.addChapter("小说/0001_西游记/0002_第二回.xml");
    {
        auto window = fixture.startWindow();
        QVERIFY(window->library().selectPath(fixture.library() / "小说/0001_西游记/0001_第一回.xml"));
        QVERIFY(window->router().trigger(kAddBookmarkFromTree));
        QVERIFY(window->library().selectPath(fixture.library() / "小说/0001_西游记/0002_第二回.xml"));
        QVERIFY(window->router().trigger(kAddBookmarkFromView));
        QVERIFY(window->router().trigger(kAddBookmarkFromView));  // already there: not added twice
        window->close();
    }
    const std::string expected = unicodeFile(u"西游记*2\r\n小说♥0001_西游记♥0001_第一回.xml|0\r\n"
                                             u"小说♥0001_西游记♥0002_第二回.xml|0\r\n");
    QCOMPARE(test::readBytes(fixture.folders().dataControl("bookmark.txt")), expected);

    auto window = fixture.startWindow();
    QCOMPARE(window->bookmarks().bookmarks().size(), std::size_t{2});
    QVERIFY(window->bookmarks().openEntry(0, 1));
    QCOMPARE(window->reading().chapterPath(), fixture.library() / "小说/0001_西游记/0002_第二回.xml");
}

void BookmarksTest::closingAndReopeningRestoresTheExitPosition()
{
    GuiFixture fixture;
    fixture.addChapter("小说/书/0001_长章.xml", longChapter());
    fixture.addChapter("小说/书/0002_短章.xml");
    long long position = 0;
    {
        auto window = fixture.startWindow();
        window->show();
        QVERIFY(window->library().selectPath(fixture.library() / "小说/书/0001_长章.xml"));
        window->reading().setPosition(5000);
        position = window->reading().position();
        QVERIFY(position > 1000);
        window->close();
    }
    const std::string exitFile = test::readBytes(fixture.folders().dataControl("bookmark_quit.txt"));
    QVERIFY(exitFile.find(utf16::encodeLittleEndian(u"0001_长章.xml`|")) != std::string::npos);

    auto window = fixture.startWindow();
    window->show();
    QCOMPARE(window->reading().chapterPath(), fixture.library() / "小说/书/0001_长章.xml");
    QCOMPARE(window->library().selectedPath(), fixture.library() / "小说/书/0001_长章.xml");
    QVERIFY(std::abs(window->reading().position() - position) < 200);
}

void BookmarksTest::bookmarkButtonHasThreeBehaviours()
{
    GuiFixture fixture;
    fixture.addChapter("小说/书/0001_a.xml");
    auto window = fixture.startWindow();
    auto* view = window->findChild<ReadingView*>(u"readingView"_s);
    // No bookmarks, first time: the page explaining bookmarks.
    QVERIFY(window->router().trigger(kBookmarks));
    QVERIFY(QString::fromStdU16String(view->paragraphTexts().front()).startsWith(u"书签"_s));
    QVERIFY(fixture.messages.isEmpty());
    // With bookmarks: the list.
    QVERIFY(window->library().selectPath(fixture.library() / "小说/书/0001_a.xml"));
    QVERIFY(window->router().trigger(kAddBookmarkFromTree));
    QVERIFY(window->router().trigger(kBookmarks));
    auto* stack = window->findChild<QStackedWidget*>(u"viewStack"_s);
    QCOMPARE(stack->currentWidget(), &window->bookmarks().listWidget());
    // Deleting the last one clears the list; the button then explains itself.
    window->bookmarks().deleteEntry(0, 0);
    QVERIFY(window->router().trigger(kBookmarks));
    QCOMPARE(fixture.messages, QStringList({u"还没有书签，可以右键，将感兴趣的文章，添加到书签中后，再查看"_s}));
}

void BookmarksTest::aFileWithoutItsMarkIsReportedAndKept()
{
    GuiFixture fixture;
    test::writeBytes(fixture.folders().dataControl("bookmark.txt"), "书*1\r\na|1\r\n");
    auto window = fixture.startWindow();
    QCOMPARE(fixture.messages, QStringList({u"file.txt  不是Unicode"_s}));
    QVERIFY(window->bookmarks().bookmarks().empty());
    QCOMPARE(test::readBytes(fixture.folders().dataControl("bookmark.txt.unreadable")), std::string("书*1\r\na|1\r\n"));
}

void BookmarksTest::renamesReachTheBookmarks()
{
    GuiFixture fixture;
    fixture.addChapter("小说/旧书/0001_a.xml");
    auto window = fixture.startWindow();
    QVERIFY(window->library().selectPath(fixture.library() / "小说/旧书/0001_a.xml"));
    QVERIFY(window->router().trigger(kAddBookmarkFromTree));
    QVERIFY(window->library().selectPath(fixture.library() / "小说/旧书"));
    QVERIFY(window->router().trigger(kRenameItem));
    auto* editor = window->treePane().findChild<QLineEdit*>();
    QVERIFY(editor != nullptr);
    editor->setText(u"新书"_s);
    emit window->treePane().itemDelegate()->commitData(editor);
    emit window->treePane().itemDelegate()->closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
    QCOMPARE(window->bookmarks().bookmarks().groups()[0].entries[0].text, std::u16string(u"小说♥新书♥0001_a.xml"));
    QVERIFY(window->bookmarks().openEntry(0, 0));
}

QTEST_MAIN(BookmarksTest)
#include "bookmarks_test.moc"
