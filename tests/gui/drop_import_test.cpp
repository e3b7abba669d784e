// SPDX-License-Identifier: MIT
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include "gui/commands/command_router.h"
#include "gui/import/import_controller.h"
#include "gui/import/import_dialog.h"
#include "gui/tree/library_controller.h"
#include "gui/tree/library_tree_model.h"
#include "gui/tree/library_tree_pane.h"
#include "gui/window/main_window.h"
#include "gui_fixture.h"

using namespace veyla;
using namespace veyla::gui;
using namespace Qt::StringLiterals;
namespace fs = std::filesystem;

namespace {

QString demoNovel(const char* name)
{
    return QString::fromStdString((fs::path(VEYLA_STAGE_DIR) / "demo" / fs::path(std::u8string(
        reinterpret_cast<const char8_t*>(name)))).string());
}

}  // namespace

class DropImportTest : public QObject {
    Q_OBJECT
private slots:
    void droppedNovelAppearsInTheTree();
    void aSecondImportWhileOneRunsIsRefused();
    void theImportDialogImportsIntoTheSelectedFolder();
    void presetsFeedTheDropImport();
};

void DropImportTest::droppedNovelAppearsInTheTree()
{
    GuiFixture fixture;
    fs::create_directories(fixture.library() / "小说");
    auto window = fixture.startWindow();
    QVERIFY(window->library().selectPath(fixture.library() / "小说"));
    QSignalSpy finished(&window->importer(), &ImportController::finished);
    QSignalSpy titles(&window->importer(), &ImportController::titleChanged);

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(demoNovel("阿Q正传.txt"))});
    const QPoint centre = window->rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(centre), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    QVERIFY(window->importer().isBusy());
    QVERIFY(finished.wait(60000));
    QVERIFY(!window->importer().isBusy());

    QCOMPARE(titles.first().first().toString(), u"正在解析中,请等待..."_s);
    QVERIFY(window->windowTitle().startsWith(u"共用时 0时  0 分 "_s));
    QVERIFY(window->windowTitle().endsWith(u"秒   success: 1  "_s));
    QVERIFY(fs::exists(fixture.library() / "小说/阿Q正传/0001_第一章序.xml"));
    LibraryTreeModel& model = window->treePane().libraryModel();
    const QModelIndex novels = window->treePane().currentIndex();
    QCOMPARE(novels.data().toString(), u"小说"_s);
    QCOMPARE(model.rowCount(novels), 1);
    QCOMPARE(model.index(0, 0, novels).data().toString(), u"阿Q正传"_s);
}

void DropImportTest::aSecondImportWhileOneRunsIsRefused()
{
    GuiFixture fixture;
    auto window = fixture.startWindow();
    QSignalSpy finished(&window->importer(), &ImportController::finished);
    QVERIFY(window->importer().importDropped({demoNovel("西游记.txt")}));
    QVERIFY(!window->importer().importDropped({demoNovel("阿Q正传.txt")}));
    QVERIFY(finished.wait(120000));
    QCOMPARE(finished.size(), 1);
    QVERIFY(fs::exists(fixture.library() / "西游记"));
    QVERIFY(!fs::exists(fixture.library() / "阿Q正传"));
}

void DropImportTest::theImportDialogImportsIntoTheSelectedFolder()
{
    GuiFixture fixture;
    fixture.addChapter("小说/0001_序.xml");
    auto window = fixture.startWindow();
    // A chapter is selected: the book goes beside it, into its folder.
    QVERIFY(window->library().selectPath(fixture.library() / "小说/0001_序.xml"));
    QVERIFY(window->router().trigger(kImportNovel));
    auto* dialog = window->findChild<ImportDialog*>();
    QVERIFY(dialog != nullptr);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), u"导入小说/或直接将小说或文件夹拖动过来"_s);
    QSignalSpy finished(&window->importer(), &ImportController::finished);
    dialog->setChosen({demoNovel("阿Q正传.txt")}, false);
    dialog->startImport();
    QVERIFY(!dialog->isVisible());
    QVERIFY(finished.wait(60000));
    QVERIFY(fs::exists(fixture.library() / "小说/阿Q正传/0009_第九章大团圆.xml"));
    QVERIFY(window->router().trigger(kImportNovel));  // made once, shown again with the last path
    QCOMPARE(window->findChildren<ImportDialog*>().size(), 1);
    QCOMPARE(dialog->pathText(), demoNovel("阿Q正传.txt"));
}

void DropImportTest::presetsFeedTheDropImport()
{
    GuiFixture fixture;
    // Headings "卷" + number: the preset key makes them the chapters.
    QString text;
    for (int volume = 1; volume <= 3; ++volume) {
        text += u"卷%1　题目\n"_s.arg(volume);
        for (int line = 0; line < 400; ++line)
            text += u"　　这里的正文写得很长很长，一行又一行，直到这本书足够长。\n"_s;
    }
    const fs::path novel = fixture.folders().dataFolder / "in/卷书.txt";
    test::writeBytes(novel, text.toStdString());
    auto window = fixture.startWindow();
    window->importer().presets().headingKey = u"卷"_s;
    QSignalSpy finished(&window->importer(), &ImportController::finished);
    QVERIFY(window->importer().importDropped({QString::fromStdString(novel.string())}));
    QVERIFY(finished.wait(60000));
    QVERIFY(fs::exists(fixture.library() / "卷书/0003_卷3题目.xml"));
}

QTEST_MAIN(DropImportTest)
#include "drop_import_test.moc"
