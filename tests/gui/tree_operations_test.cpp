// SPDX-License-Identifier: MIT
#include <QLineEdit>
#include <QTest>

#include "core/library/chapter_file.h"
#include "gui/commands/command_router.h"
#include "gui/tree/library_controller.h"
#include "gui/tree/library_tree_model.h"
#include "gui/tree/library_tree_pane.h"
#include "gui/tree/tree_name_dialog.h"
#include "gui/view/reading_controller.h"
#include "gui/window/main_window.h"
#include "gui_fixture.h"

using namespace veyla;
using namespace veyla::gui;
using namespace Qt::StringLiterals;
namespace fs = std::filesystem;

namespace {

QStringList childTexts(LibraryTreeModel& model, const QModelIndex& folder)
{
    model.ensureLoaded(folder);
    QStringList texts;
    for (int row = 0; row < model.rowCount(folder); ++row)
        texts << model.index(row, 0, folder).data().toString();
    return texts;
}

// Types text into the open in-place editor and ends the edit as Return does.
void finishEdit(LibraryTreePane& pane, const QString& text)
{
    auto* editor = pane.findChild<QLineEdit*>();
    QVERIFY(editor != nullptr);
    QCOMPARE(editor->maxLength(), LibraryTreePane::kMaxNameLength);
    editor->setText(text);
    emit pane.itemDelegate()->commitData(editor);
    emit pane.itemDelegate()->closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

class TreeOperationsTest : public QObject {
    Q_OBJECT
private slots:
    void startsWithTheLibraryRootAndCategoriesOpen();
    void newChapterTakesTheNextNumber();
    void newFolderGoesAfterTheFolders();
    void renameRefusesAnExistingName();
    void renameUpdatesTheOpenChapter();
    void deleteMovesTheBookToTheTrash();
    void nextAndPreviousChapterOpenChapters();
    void nameDialogRefusesATakenName();
};

void TreeOperationsTest::startsWithTheLibraryRootAndCategoriesOpen()
{
    GuiFixture fixture;
    fixture.addChapter("小说/西游记/0001_第一回.xml");
    fs::create_directories(fixture.library() / "小说/类别");
    fs::create_directories(fixture.library() / "散文");
    auto window = fixture.startWindow();
    LibraryTreeModel& model = window->treePane().libraryModel();
    const QModelIndex root = model.rootIndex();
    QCOMPARE(root.data().toString(), QString::fromStdString(fixture.library().string()));
    QCOMPARE(window->treePane().currentIndex(), root);
    QCOMPARE(childTexts(model, root), QStringList({u"小说"_s, u"散文"_s}));
    const QModelIndex novels = model.index(0, 0, root);
    QVERIFY(window->treePane().isExpanded(novels));
    QCOMPARE(childTexts(model, novels), QStringList({u"类别"_s, u"西游记"_s}));
    // OpenAll (on by default) opens the books too.
    QVERIFY(window->treePane().isExpanded(model.index(1, 0, novels)));
}

void TreeOperationsTest::newChapterTakesTheNextNumber()
{
    GuiFixture fixture;
    fixture.addChapter("小说/书/0003_a.xml");
    fixture.addChapter("小说/书/0007_b.xml");
    auto window = fixture.startWindow();
    QVERIFY(window->library().selectPath(fixture.library() / "小说/书/0003_a.xml"));  // a chapter: its folder is used
    QVERIFY(window->router().trigger(kNewChapter));
    finishEdit(window->treePane(), u"新文章"_s);
    QVERIFY(fs::exists(fixture.library() / "小说/书/0008_新文章.xml"));
    QCOMPARE(window->reading().chapterPath(), fixture.library() / "小说/书/0008_新文章.xml");
    auto created = library::readChapter(fixture.library() / "小说/书/0008_新文章.xml", {});
    QVERIFY(created.ok());

    // Renamed while being created: the file takes the typed name.
    QVERIFY(window->router().trigger(kNewChapter));
    finishEdit(window->treePane(), u"第九回"_s);
    QVERIFY(fs::exists(fixture.library() / "小说/书/0009_第九回.xml"));
    QVERIFY(!fs::exists(fixture.library() / "小说/书/0009_新文章.xml"));
}

void TreeOperationsTest::newFolderGoesAfterTheFolders()
{
    GuiFixture fixture;
    fixture.addChapter("小说/书/0001_卷一/0001_x.xml");
    fixture.addChapter("小说/书/0001_序.xml");
    auto window = fixture.startWindow();
    QVERIFY(window->library().selectPath(fixture.library() / "小说/书"));
    QVERIFY(window->router().trigger(kNewFolder));
    finishEdit(window->treePane(), u"新目录"_s);
    QVERIFY(fs::is_directory(fixture.library() / "小说/书/0002_新目录"));
    LibraryTreeModel& model = window->treePane().libraryModel();
    const QModelIndex book = model.parent(window->treePane().currentIndex());
    QCOMPARE(childTexts(model, book), QStringList({u"卷一"_s, u"新目录"_s, u"序"_s}));
}

void TreeOperationsTest::renameRefusesAnExistingName()
{
    GuiFixture fixture;
    fixture.addChapter("小说/书/0001_a.xml", u"甲"_s);
    fixture.addChapter("小说/书/0001_b.xml", u"乙"_s);
    auto window = fixture.startWindow();
    QVERIFY(window->library().selectPath(fixture.library() / "小说/书/0001_a.xml"));
    QVERIFY(window->router().trigger(kRenameItem));
    finishEdit(window->treePane(), u"b"_s);
    QCOMPARE(fixture.messages, QStringList({u"存在相同名字的文章，请另换一个名字"_s}));
    QVERIFY(fs::exists(fixture.library() / "小说/书/0001_a.xml"));
    auto other = library::readChapter(fixture.library() / "小说/书/0001_b.xml", {});
    QCOMPARE(QString::fromStdU16String(other->paragraphs[0].text()), u"乙"_s);
    QCOMPARE(window->treePane().currentIndex().data().toString(), u"a"_s);
}

void TreeOperationsTest::renameUpdatesTheOpenChapter()
{
    GuiFixture fixture;
    fixture.addChapter("小说/书/0001_旧.xml");
    auto window = fixture.startWindow();
    QVERIFY(window->library().selectPath(fixture.library() / "小说/书"));
    QVERIFY(window->router().trigger(kRenameItem));
    finishEdit(window->treePane(), u"新书"_s);
    QVERIFY(fs::exists(fixture.library() / "小说/新书/0001_旧.xml"));
    QVERIFY(window->library().selectPath(fixture.library() / "小说/新书/0001_旧.xml"));
    QCOMPARE(window->reading().chapterPath(), fixture.library() / "小说/新书/0001_旧.xml");
    QVERIFY(window->router().trigger(kRenameItem));
    finishEdit(window->treePane(), u"新"_s);
    QCOMPARE(window->reading().chapterPath(), fixture.library() / "小说/新书/0001_新.xml");
}

void TreeOperationsTest::deleteMovesTheBookToTheTrash()
{
    GuiFixture fixture;
    fixture.addChapter("小说/书/0001_a.xml");
    fixture.addChapter("小说/书/0002_b.xml");
    auto window = fixture.startWindow();
    QVERIFY(window->library().selectPath(fixture.library() / "小说/书/0001_a.xml"));
    QVERIFY(window->reading().hasChapter());
    QVERIFY(window->library().selectPath(fixture.library() / "小说/书"));
    QVERIFY(window->router().trigger(kDeleteItem));
    QVERIFY(!fs::exists(fixture.library() / "小说/书"));
    const fs::path trashed = fs::path(qEnvironmentVariable("XDG_DATA_HOME").toStdString()) / "Trash/files/书";
    QVERIFY(fs::exists(trashed / "0002_b.xml"));
    QVERIFY(!window->reading().hasChapter());  // the open chapter went with its book
    LibraryTreeModel& model = window->treePane().libraryModel();
    QCOMPARE(childTexts(model, model.index(0, 0, model.rootIndex())), QStringList());
}

void TreeOperationsTest::nextAndPreviousChapterOpenChapters()
{
    GuiFixture fixture;
    fixture.addChapter("小说/书/0001_卷一/0001_第一回.xml");
    fixture.addChapter("小说/书/0001_卷一/0002_第二回.xml");
    fixture.addChapter("小说/书/0002_卷二/0001_第三回.xml");
    auto window = fixture.startWindow();
    QVERIFY(window->library().selectPath(fixture.library() / "小说/书/0001_卷一/0002_第二回.xml"));
    QVERIFY(window->router().trigger(kNextChapter));
    QCOMPARE(window->reading().chapterPath(), fixture.library() / "小说/书/0002_卷二/0001_第三回.xml");
    QVERIFY(window->router().trigger(kPreviousChapter));
    QCOMPARE(window->reading().chapterPath(), fixture.library() / "小说/书/0001_卷一/0002_第二回.xml");
    QVERIFY(window->router().trigger(kPreviousPage));  // the view's "上一页" goes the same way
    QCOMPARE(window->reading().chapterPath(), fixture.library() / "小说/书/0001_卷一/0001_第一回.xml");
}

void TreeOperationsTest::nameDialogRefusesATakenName()
{
    GuiFixture fixture;
    TreeNameDialog dialog(u"a"_s, [](const QString& name) { return name == u"b"_s; });
    dialog.show();
    auto* edit = dialog.findChild<QLineEdit*>();
    edit->setText(u"b"_s);
    dialog.accept();
    QCOMPARE(fixture.messages, QStringList({u"存在相同名字的文章，请另换一个名字"_s}));
    QVERIFY(dialog.isVisible());
    QCOMPARE(edit->maxLength(), LibraryTreePane::kMaxNameLength);
    edit->setText(u"c"_s);
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.name(), u"c"_s);
}

QTEST_MAIN(TreeOperationsTest)
#include "tree_operations_test.moc"
