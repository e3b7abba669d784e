// SPDX-License-Identifier: MIT
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include "gui/commands/command_router.h"
#include "gui/import/import_controller.h"
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

QTEST_MAIN(DropImportTest)
#include "drop_import_test.moc"
