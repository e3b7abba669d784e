// SPDX-License-Identifier: MIT
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

#include "core/library/chapter_file.h"
#include "gui/commands/command_router.h"
#include "gui/tree/library_controller.h"
#include "gui/tree/library_tree_pane.h"
#include "gui/view/reading_controller.h"
#include "gui/view/reading_view.h"
#include "gui/window/main_window.h"
#include "gui/window/ribbon_bar.h"
#include "gui_fixture.h"

using namespace veyla;
using namespace veyla::gui;
using namespace Qt::StringLiterals;

class CommandRoutingTest : public QObject {
    Q_OBJECT
private slots:
    void everyCommandHasOneActionWithItsCaption();
    void commandsWithoutHandlersAreShownDisabled();
    void chapterCommandsWaitForAnOpenChapter();
    void treeContextMenuListsItsEntriesInOrder();
    void fileMenuHasRecentPathsFifth();
    void autosaveWritesAModifiedChapterAndRearms();
};

void CommandRoutingTest::everyCommandHasOneActionWithItsCaption()
{
    GuiFixture fixture;
    auto window = fixture.startWindow();
    CommandRouter& router = window->router();
    for (const auto& entry : commandTable()) {
        QAction* action = router.action(entry.id);
        QVERIFY2(action != nullptr, qPrintable(QString::number(entry.id)));
        if (!entry.caption.isEmpty() && entry.id != kNewsFace)
            QCOMPARE(action->text(), entry.caption);
    }
    // Captions keep their trailing blanks.
    QCOMPARE(router.action(kSearchTitles)->text(), u"搜索 书名或章节名 "_s);
    QCOMPARE(router.action(kOpenLocalSite)->text(), u"打开本地网站，对应的目录 "_s);
    QCOMPARE(router.action(kSiteWholeBookEnglish)->text(), u"生成本地网站 全书内容  英文加注释"_s);
    // Ribbon controls exist for the ribbon's commands.
    QVERIFY(window->ribbon().control(kSpeakAll) != nullptr);
    QVERIFY(window->ribbon().control(kSchemeCombo) != nullptr);
}

void CommandRoutingTest::commandsWithoutHandlersAreShownDisabled()
{
    GuiFixture fixture;
    auto window = fixture.startWindow();
    CommandRouter& router = window->router();
    for (int id : {kNewChapter, kNewFolder, kRenameItem, kDeleteItem, kImportNovel, kSaveChapter, kBookmarks, kExit,
                   kNewsLink})
        QVERIFY2(router.action(id)->isEnabled(), qPrintable(QString::number(id)));
    for (const auto& entry : commandTable()) {
        if (!router.isBound(entry.id)) {
            QVERIFY2(!router.action(entry.id)->isEnabled(), qPrintable(QString::number(entry.id)));
            QVERIFY(!router.trigger(entry.id));
        }
    }
    // Unbound ribbon controls are present and disabled, never hidden.
    QWidget* speak = window->ribbon().control(kSpeakAll);
    QVERIFY(speak != nullptr);
    QCOMPARE(speak->isEnabled(), router.isBound(kSpeakAll));
}

void CommandRoutingTest::chapterCommandsWaitForAnOpenChapter()
{
    GuiFixture fixture;
    fixture.addChapter("小说/书/0001_第一章.xml");
    auto window = fixture.startWindow();
    CommandRouter& router = window->router();
    int calls = 0;
    router.bind(kWordCount, [&] { ++calls; });
    window->reading().clear();  // the opening text counts as an open page
    QVERIFY(!router.trigger(kWordCount));
    QCOMPARE(calls, 0);
    QVERIFY(window->library().selectPath(fixture.library() / "小说/书/0001_第一章.xml"));
    QVERIFY(window->reading().hasChapter());
    QVERIFY(router.trigger(kWordCount));
    QCOMPARE(calls, 1);
}

void CommandRoutingTest::treeContextMenuListsItsEntriesInOrder()
{
    GuiFixture fixture;
    fixture.addChapter("小说/书/0001_第一章.xml");
    auto window = fixture.startWindow();
    auto captions = [&] {
        QMenu menu;
        window->treePane().fillContextMenu(menu);
        QStringList texts;
        for (QAction* a : menu.actions())
            texts << (a->isSeparator() ? u"—"_s : a->text());
        return texts;
    };
    const QStringList common = {u"新建文章"_s, u"新建目录"_s, u"更改名称"_s, u"删除"_s, u"导入小说"_s, u"—"_s,
                                u"搜索 书名或章节名 "_s, u"搜书中内容"_s, u"生成本地网站 按章节"_s,
                                u"生成本地网站 全书内容 "_s, u"生成本地网站 按章节 英文加注释 "_s,
                                u"生成本地网站 全书内容  英文加注释"_s, u"—"_s, u"生成本地网站 全书内容 分页设置"_s,
                                u"打开本地网站，对应的目录 "_s, u"生成本书音频"_s, u"—"_s, u"读取博客文章"_s};
    QCOMPARE(captions(), common);  // the root is selected
    QVERIFY(window->library().selectPath(fixture.library() / "小说/书/0001_第一章.xml"));
    QCOMPARE(captions(), QStringList({u"添加书签"_s, u"—"_s}) + common);
}

void CommandRoutingTest::fileMenuHasRecentPathsFifth()
{
    GuiFixture fixture;
    auto window = fixture.startWindow();
    QMenu& file = window->fileMenu();
    QCOMPARE(file.title(), u"文件(&F)"_s);
    const auto items = file.actions();
    QVERIFY(items.size() >= 5);
    QCOMPARE(items[0]->text(), u"打开路径"_s);
    QCOMPARE(items[4]->text(), u"最近路径"_s);
    QVERIFY(!window->router().action(kClearRecentPaths)->isEnabled());
    window->openLibraryRoot(fixture.library());
    QVERIFY(window->router().action(kClearRecentPaths)->isEnabled());
    // The path, a separator and "清理最近任务".
    QCOMPARE(items[4]->menu()->actions().size(), 3);
    QCOMPARE(items[4]->menu()->actions().back(), window->router().action(kClearRecentPaths));
    QVERIFY(window->router().trigger(kClearRecentPaths));
    QCOMPARE(window->recentPaths().count(), std::size_t{0});
    QVERIFY(!window->router().action(kClearRecentPaths)->isEnabled());
}

void CommandRoutingTest::autosaveWritesAModifiedChapterAndRearms()
{
    GuiFixture fixture;
    fixture.addChapter("小说/书/0001_第一章.xml", u"第一段"_s);
    auto window = fixture.startWindow();
    QCOMPARE(window->autosaveInterval(), MainWindow::kAutosaveMilliseconds);
    window->setAutosaveInterval(50);
    const auto path = fixture.library() / "小说/书/0001_第一章.xml";
    QVERIFY(window->library().selectPath(path));
    auto* view = window->findChild<ReadingView*>(u"readingView"_s);
    QVERIFY(view != nullptr);
    const auto& line = view->model().document().paragraphs.back().lines.back();
    view->model().editor().setCaret({view->model().document().paragraphs.size() - 1,
                                     view->model().document().paragraphs.back().lines.size() - 1,
                                     line.glyphs.size() - 1});
    QTest::keyClick(view, Qt::Key_Return);
    typeText(*view, u"新加的一段"_s);
    QVERIFY(window->reading().isModified());
    QTRY_VERIFY_WITH_TIMEOUT(!window->reading().isModified(), 5000);
    auto saved = library::readChapter(path, {});
    QVERIFY(saved.ok());
    QCOMPARE(saved->paragraphs.size(), std::size_t{2});
    QVERIFY(window->autosaveActive());
}

QTEST_MAIN(CommandRoutingTest)
#include "command_routing_test.moc"
