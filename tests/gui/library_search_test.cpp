// SPDX-License-Identifier: MIT
// "搜索 书名或章节名 " (dialog 查找) and "搜书中内容" (dialog 知识挖掘) from the tree.
#include <QButtonGroup>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <condition_variable>
#include <mutex>

#include "core/import/novel_importer.h"
#include "core/library/chapter_file.h"
#include "core/platform/ini_file.h"
#include "gui/commands/command_router.h"
#include "gui/search/find_dialog.h"
#include "gui/search/mining_controller.h"
#include "gui/search/mining_dialog.h"
#include "gui/search/name_search_controller.h"
#include "gui/tree/library_controller.h"
#include "gui/tree/library_tree_model.h"
#include "gui/tree/library_tree_pane.h"
#include "gui/view/display_state.h"
#include "gui/view/reading_controller.h"
#include "gui/window/main_window.h"
#include "gui_fixture.h"

using namespace veyla;
using namespace veyla::gui;
using namespace Qt::StringLiterals;
namespace fs = std::filesystem;

namespace {

constexpr int kWaitMs = 60000;

template <typename T>
T* control(QWidget* dialog, int id)
{
    return dialog->findChild<T*>(QString::number(id));
}

// Two books; 红楼梦 holds a volume folder that is closed at start.
struct Library {
    GuiFixture fixture;
    std::unique_ptr<MainWindow> window;

    Library()
    {
        fixture.addChapter("小说/0001_西游记/0001_第一回.xml", u"他笑了。\n悟空大笑"_s);
        fixture.addChapter("小说/0001_西游记/0002_第二回.xml", u"春眠不觉晓"_s);
        fixture.addChapter("小说/0002_红楼梦/0001_卷一/0001_宝玉.xml", u"宝玉笑道"_s);
        fixture.addChapter("小说/0002_红楼梦/0002_第一回.xml", u"甄士隐梦幻识通灵"_s);
        window = fixture.startWindow();
    }
    ~Library()
    {
        if (window)
            window->close();
    }

    LibraryTreeModel& model() const { return window->treePane().libraryModel(); }
    QModelIndex indexOf(const fs::path& relative) const
    {
        return model().indexOf(model().tree()->findByPath(fixture.library() / relative));
    }
    fs::path selected() const { return window->library().selectedPath().lexically_relative(fixture.library()); }
    QStringList childTexts(const fs::path& relative) const
    {
        QStringList texts;
        const QModelIndex folder = indexOf(relative);
        for (int row = 0; row < model().rowCount(folder); ++row)
            texts << model().index(row, 0, folder).data().toString();
        return texts;
    }
};

// Holds the mining worker until released (or stopped).
struct Gate {
    std::mutex mutex;
    std::condition_variable_any changed;
    bool open = false;
    bool entered = false;

    MiningController::Miner miner()
    {
        return [this](const fs::path& start, const search::HitFinder& finder, std::size_t limit, std::stop_token stop) {
            std::unique_lock lock(mutex);
            entered = true;
            changed.notify_all();
            changed.wait(lock, stop, [this] { return open; });
            return search::mineLibrary(start, finder, limit, stop);
        };
    }
    void waitEntered()
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return entered; });
    }
    void release()
    {
        std::lock_guard lock(mutex);
        open = true;
        changed.notify_all();
    }
};

}  // namespace

class LibrarySearchTest : public QObject {
    Q_OBJECT
private slots:
    void findDialogHasItsControls();
    void nameSearchOpensClosedFoldersOnlyInAllNodesMode();
    void nameSearchGoesOnFromTheMatchBothWays();
    void miningDialogHasItsControls();
    void miningWritesResultChaptersThatTheTreeShows();
    void miningAgainReplacesTheResultOfThatMode();
    void miningWithoutHitsOrKeywordsWritesNothing();
    void windowStaysResponsiveWhileMining();
    void closingDuringMiningStopsItAndWritesNothing();
};

void LibrarySearchTest::findDialogHasItsControls()
{
    Library lib;
    QVERIFY(lib.window->router().trigger(kSearchTitles));
    FindDialog* dialog = lib.window->nameSearch().dialog();
    QVERIFY(dialog != nullptr && dialog->isVisible() && !dialog->isModal());
    QCOMPARE(dialog->windowTitle(), u"查找"_s);
    QVERIFY(control<QLineEdit>(dialog, 1020) != nullptr);
    QCOMPARE(control<QRadioButton>(dialog, 1005)->text(), u"只搜索展开的节点"_s);
    QCOMPARE(control<QRadioButton>(dialog, 1006)->text(), u"搜索全部节点"_s);
    QVERIFY(control<QRadioButton>(dialog, 1005)->isChecked());  // Search/all defaults to 0
    QCOMPARE(control<QPushButton>(dialog, 1)->text(), u"上一个"_s);
    QCOMPARE(control<QPushButton>(dialog, 2)->text(), u"下一个"_s);
    QVERIFY(control<QLabel>(dialog, 1117) != nullptr);
    const auto labels = dialog->findChildren<QLabel*>();
    QVERIFY(std::any_of(labels.begin(), labels.end(), [](QLabel* label) { return label->text() == u"搜索："_s; }));
    // Made once, shown again.
    dialog->close();
    QVERIFY(lib.window->router().trigger(kSearchTitles));
    QCOMPARE(lib.window->nameSearch().dialog(), dialog);
}

void LibrarySearchTest::nameSearchOpensClosedFoldersOnlyInAllNodesMode()
{
    Library lib;
    const QModelIndex volume = lib.indexOf("小说/0002_红楼梦/0001_卷一");
    QVERIFY(volume.isValid() && !lib.window->treePane().isExpanded(volume));
    QVERIFY(lib.window->library().selectPath(lib.fixture.library() / "小说/0001_西游记"));
    QVERIFY(lib.window->router().trigger(kSearchTitles));
    FindDialog* dialog = lib.window->nameSearch().dialog();
    control<QLineEdit>(dialog, 1020)->setText(u"宝玉"_s);

    control<QPushButton>(dialog, 2)->click();
    QCOMPARE(dialog->status(), u"正在搜索..."_s);
    QVERIFY(!lib.window->nameSearch().search(u"宝玉"_s, search::Direction::Forward, search::NodeScope::AllNodes));
    QVERIFY(QTest::qWaitFor([&] { return !lib.window->nameSearch().isBusy(); }, kWaitMs));
    QCOMPARE(dialog->status(), u"搜索完毕"_s);
    QCOMPARE(lib.selected(), fs::path("小说/0001_西游记"));
    QVERIFY(!lib.window->treePane().isExpanded(volume));

    control<QRadioButton>(dialog, 1006)->click();
    control<QPushButton>(dialog, 2)->click();
    QVERIFY(QTest::qWaitFor([&] { return !lib.window->nameSearch().isBusy(); }, kWaitMs));
    QCOMPARE(lib.selected(), fs::u8path("小说/0002_红楼梦/0001_卷一/0001_宝玉.xml"));
    QVERIFY(lib.window->treePane().isExpanded(volume));
    QVERIFY(lib.window->display().settings.searchAll);
}

void LibrarySearchTest::nameSearchGoesOnFromTheMatchBothWays()
{
    Library lib;
    NameSearchController& names = lib.window->nameSearch();
    auto next = [&](const QString& text, search::Direction direction) {
        if (!names.search(text, direction, search::NodeScope::AllNodes))
            return false;
        return QTest::qWaitFor([&] { return !names.isBusy(); }, kWaitMs);
    };
    QVERIFY(next(u"第一回"_s, search::Direction::Forward));
    QCOMPARE(lib.selected(), fs::u8path("小说/0001_西游记/0001_第一回.xml"));
    QVERIFY(next(u"第一回"_s, search::Direction::Forward));
    QCOMPARE(lib.selected(), fs::u8path("小说/0002_红楼梦/0002_第一回.xml"));
    QVERIFY(next(u"第一回"_s, search::Direction::Forward));  // nothing further: the selection stays
    QCOMPARE(lib.selected(), fs::u8path("小说/0002_红楼梦/0002_第一回.xml"));
    QVERIFY(next(u"第一回"_s, search::Direction::Backward));
    QCOMPARE(lib.selected(), fs::u8path("小说/0001_西游记/0001_第一回.xml"));
    QVERIFY(!names.search(QString(), search::Direction::Forward, search::NodeScope::AllNodes));
}

void LibrarySearchTest::miningDialogHasItsControls()
{
    Library lib;
    lib.window->display().settings.parse = 2;
    QVERIFY(lib.window->router().trigger(kSearchContent));
    MiningDialog* dialog = lib.window->mining().dialog();
    QVERIFY(dialog != nullptr && dialog->isVisible() && !dialog->isModal());
    QCOMPARE(dialog->windowTitle(), u"知识挖掘"_s);
    const std::pair<int, QString> radios[] = {{1005, u"词"_s},   {1079, u"藏头诗"_s}, {1006, u"句"_s},
                                              {1078, u"段----关键词以，隔开"_s}, {1088, u"一本"_s}, {1007, u"四本"_s},
                                              {1008, u"十本"_s}, {1091, u"全部"_s}};
    for (const auto& [id, text] : radios)
        QCOMPARE(control<QRadioButton>(dialog, id)->text(), text);
    // The stored mode is chosen; the book limit always starts at 一本.
    QVERIFY(control<QRadioButton>(dialog, 1006)->isChecked());
    QVERIFY(control<QRadioButton>(dialog, 1088)->isChecked());
    QVERIFY(control<QLineEdit>(dialog, 1004) != nullptr);
    QCOMPARE(control<QPushButton>(dialog, 1)->text(), u"确定"_s);
    QCOMPARE(control<QPushButton>(dialog, 2)->text(), u"取消"_s);
    control<QPushButton>(dialog, 2)->click();
    QVERIFY(!dialog->isVisible());
}

void LibrarySearchTest::miningWritesResultChaptersThatTheTreeShows()
{
    Library lib;
    QVERIFY(lib.window->library().selectPath(lib.fixture.library() / "小说/0001_西游记/0002_第二回.xml"));
    QVERIFY(lib.window->router().trigger(kSearchContent));
    MiningDialog* dialog = lib.window->mining().dialog();
    control<QLineEdit>(dialog, 1004)->setText(u"笑"_s);
    control<QRadioButton>(dialog, 1091)->click();
    control<QPushButton>(dialog, 1)->click();
    QCOMPARE(lib.window->windowTitle(), u"正在努力挖掘中......"_s);
    QVERIFY(QTest::qWaitFor([&] { return !lib.window->mining().isBusy(); }, kWaitMs));
    QVERIFY2(QRegularExpression(u"^共用时 0时  0 分 \\d+秒  $"_s).match(lib.window->windowTitle()).hasMatch(),
             qPrintable(lib.window->windowTitle()));
    // The chapter stood for its book; 类别 comes first among its items.
    QCOMPARE(lib.childTexts("小说/0001_西游记"), QStringList({u"类别"_s, u"第一回"_s, u"第二回"_s}));
    QCOMPARE(lib.childTexts("小说/0001_西游记/类别"), QStringList({u"词"_s}));
    QCOMPARE(lib.childTexts("小说/0001_西游记/类别/词"), QStringList({u"笑_000"_s}));
    QVERIFY(lib.window->treePane().isExpanded(lib.indexOf("小说/0001_西游记/类别/词")));
    auto result = library::readChapter(lib.fixture.library() / "小说/0001_西游记/类别/词/笑_000.xml", {});
    QVERIFY(result.ok());
    QCOMPARE(result->paragraphs.front().text(), u"共找到：2  个");
    // The mode and the book limit are written at exit.
    lib.window->close();
    const auto ini = platform::IniFile::load(lib.fixture.folders().dataControl("preSet.ini"));
    QCOMPARE(ini.integer(u"Parse", u"nParse", -1), 0);
    QCOMPARE(ini.integer(u"Parse", u"nParseBook", -1), 3);
}

void LibrarySearchTest::miningAgainReplacesTheResultOfThatMode()
{
    Library lib;
    MiningController& mining = lib.window->mining();
    QVERIFY(lib.window->library().selectPath(lib.fixture.library() / "小说"));
    QVERIFY(mining.start(search::MiningMode::Word, search::BookLimit::All, u"笑"_s));
    QVERIFY(QTest::qWaitFor([&] { return !mining.isBusy(); }, kWaitMs));
    QCOMPARE(lib.childTexts("小说/类别/词"), QStringList({u"笑_000"_s}));
    // The old result chapter is open in the reading view when it is replaced.
    QVERIFY(lib.window->library().selectPath(lib.fixture.library() / "小说/类别/词/笑_000.xml"));
    QCOMPARE(lib.window->reading().chapterPath(), lib.fixture.library() / "小说/类别/词/笑_000.xml");
    QVERIFY(lib.window->library().selectPath(lib.fixture.library() / "小说"));
    QVERIFY(mining.start(search::MiningMode::Word, search::BookLimit::All, u"梦"_s));
    QVERIFY(QTest::qWaitFor([&] { return !mining.isBusy(); }, kWaitMs));
    QCOMPARE(lib.childTexts("小说/类别/词"), QStringList({u"梦_000"_s}));
    QVERIFY(!fs::exists(lib.fixture.library() / "小说/类别/词/笑_000.xml"));
    QVERIFY(lib.window->reading().chapterPath().empty());
    QVERIFY(fs::exists(lib.fixture.folders().dataFolder.parent_path() / "xdg/Trash/files/词"));
    // A search with book limit 1 on the category reads the first book only.
    QVERIFY(lib.window->library().selectPath(lib.fixture.library() / "小说"));
    QVERIFY(mining.start(search::MiningMode::Acrostic, search::BookLimit::One, u"宝春"_s));
    QVERIFY(QTest::qWaitFor([&] { return !mining.isBusy(); }, kWaitMs));
    QCOMPARE(lib.childTexts("小说/类别"), QStringList({u"藏头诗"_s, u"词"_s}));
    QCOMPARE(lib.childTexts("小说/类别/藏头诗"), QStringList({u"春_000"_s}));
}

void LibrarySearchTest::miningWithoutHitsOrKeywordsWritesNothing()
{
    Library lib;
    MiningController& mining = lib.window->mining();
    QVERIFY(lib.window->library().selectPath(lib.fixture.library() / "小说/0001_西游记"));
    QVERIFY(!mining.start(search::MiningMode::Paragraph, search::BookLimit::All, u"，、,"_s));
    QCOMPARE(lib.fixture.messages, QStringList({u"请输入关键词，多个关键词以，隔开"_s}));
    QVERIFY(!mining.isBusy());
    QVERIFY(mining.start(search::MiningMode::Paragraph, search::BookLimit::All, u"风，雨、雪,2"_s));
    QVERIFY(QTest::qWaitFor([&] { return !mining.isBusy(); }, kWaitMs));
    QCOMPARE(lib.window->windowTitle(), u"书中无此信息"_s);
    QVERIFY(!fs::exists(lib.fixture.library() / "小说/0001_西游记/类别"));

    // The selected book was removed behind the program's back.
    fs::remove_all(lib.fixture.library() / "小说/0001_西游记");
    QVERIFY(mining.start(search::MiningMode::Word, search::BookLimit::All, u"笑"_s));
    QVERIFY(QTest::qWaitFor([&] { return !mining.isBusy(); }, kWaitMs));
    QCOMPARE(lib.fixture.messages.back(), u"文件不存在或正在使用中"_s);
    QCOMPARE(lib.window->windowTitle(), u"书中无此信息"_s);
    QVERIFY(!fs::exists(lib.fixture.library() / "小说/0001_西游记"));
}

void LibrarySearchTest::windowStaysResponsiveWhileMining()
{
    Library lib;
    Gate gate;
    MiningController& mining = lib.window->mining();
    mining.setMiner(gate.miner());
    QVERIFY(lib.window->library().selectPath(lib.fixture.library() / "小说"));
    QVERIFY(mining.start(search::MiningMode::Word, search::BookLimit::All, u"笑"_s));
    gate.waitEntered();
    // The worker is inside the search: the window goes on handling events.
    bool timerFired = false;
    QTimer::singleShot(10, [&] { timerFired = true; });
    QVERIFY(QTest::qWaitFor([&] { return timerFired; }, kWaitMs));
    QVERIFY(mining.isBusy());
    QVERIFY(!mining.start(search::MiningMode::Word, search::BookLimit::All, u"哭"_s));
    QVERIFY(lib.window->library().selectPath(lib.fixture.library() / "小说/0002_红楼梦/0002_第一回.xml"));
    QCOMPARE(lib.window->windowTitle(), u"正在努力挖掘中......"_s);
    gate.release();
    QVERIFY(QTest::qWaitFor([&] { return !mining.isBusy(); }, kWaitMs));
    // The results go where the search started, whatever is selected now.
    QVERIFY(fs::exists(lib.fixture.library() / "小说/类别/词/笑_000.xml"));

    // A measured check with the real search over a whole novel: the longest
    // pause between ticks of a 5 ms timer while it runs (printed, not asserted).
    if (test::corpusDir().empty())
        return;
    QVERIFY(import::importNovelFile(test::corpusFile("zh/hongloumeng_pg24264.txt"), lib.fixture.library() / "小说", {}));
    mining.setMiner([](const fs::path& start, const search::HitFinder& finder, std::size_t limit, std::stop_token stop) {
        return search::mineLibrary(start, finder, limit, stop);
    });
    QVERIFY(lib.window->library().selectPath(lib.fixture.library() / "小说"));
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QTimer ticks;
    connect(&ticks, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    ticks.start(5);
    clock.start();
    QVERIFY(mining.start(search::MiningMode::Word, search::BookLimit::All, u"笑"_s));
    QVERIFY(QTest::qWaitFor([&] { return !mining.isBusy(); }, kWaitMs));
    qInfo("whole-library mining of 紅樓夢: %lld ms, longest pause of the window's event loop %lld ms",
          static_cast<long long>(clock.elapsed()), static_cast<long long>(longest));
}

void LibrarySearchTest::closingDuringMiningStopsItAndWritesNothing()
{
    Library lib;
    Gate gate;
    lib.window->mining().setMiner(gate.miner());
    QVERIFY(lib.window->library().selectPath(lib.fixture.library() / "小说"));
    QVERIFY(lib.window->mining().start(search::MiningMode::Word, search::BookLimit::All, u"笑"_s));
    gate.waitEntered();
    lib.window->close();  // raises the stop flag and waits for the worker, which never got past the gate
    QVERIFY(QTest::qWaitFor([&] { return !lib.window->mining().isBusy(); }, kWaitMs));
    QVERIFY(!fs::exists(lib.fixture.library() / "小说/类别"));
    QCOMPARE(lib.window->windowTitle(), u"正在努力挖掘中......"_s);
}

QTEST_MAIN(LibrarySearchTest)
#include "library_search_test.moc"
