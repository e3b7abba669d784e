// SPDX-License-Identifier: MIT
// The desktop start: Qt's own texts in Chinese, the first-start question over
// the shown window, and files given on the command line ("Open with Veyla").
#include <QAbstractButton>
#include <QFile>
#include <QAbstractButton>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "gui/app/command_line_files.h"
#include "gui/app/demo_library.h"
#include "gui/app/message_box.h"
#include "gui/app/qt_translations.h"
#include "gui/app/startup_options.h"
#include "gui/tree/library_controller.h"
#include "gui/tree/library_tree_model.h"
#include "gui/tree/library_tree_pane.h"
#include "gui/view/reading_controller.h"
#include "gui/window/main_window.h"
#include "gui_fixture.h"

using namespace veyla;
using namespace veyla::gui;
using namespace Qt::StringLiterals;
namespace fs = std::filesystem;

namespace {

QString demoNovel(const char* name)
{
    const fs::path path = fs::path(VEYLA_STAGE_DIR) / "demo" / fs::path(std::u8string(reinterpret_cast<const char8_t*>(name)));
    return QString::fromStdU16String(path.u16string());
}

QString text(const fs::path& path)
{
    return QString::fromStdU16String(path.u16string());
}

bool qtTranslationsInstalled()
{
    return QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + u"/qtbase_zh_CN.qm"_s);
}

// Runs the files through a CommandLineFiles of the window and waits until it is done.
bool openFiles(MainWindow& window, const QStringList& paths)
{
    auto* files = new CommandLineFiles(window, paths);
    QSignalSpy finished(files, &CommandLineFiles::finished);
    files->start();
    return files->isDone() || finished.wait(60000);
}

std::size_t entriesIn(const fs::path& folder)
{
    std::error_code ec;
    std::size_t count = 0;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        ++count;
    return count;
}

}  // namespace

class DesktopStartTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void qtStandardTextsAreChinese();
    void missingTranslationsLeaveQtsOwnTexts();
    void firstStartQuestionStandsOverTheShownWindow();
    void declinedDemoLeavesTheLibraryEmpty();
    void noQuestionWhenTheLibraryHasBooks();
    void filesOnTheCommandLineAreParsed_data();
    void filesOnTheCommandLineAreParsed();
    void aNovelGivenOnTheCommandLineIsImportedAndShown();
    void aBookAlreadyThereIsShownUnlessTheUserWantsASecondCopy();
    void aChapterInsideTheLibraryIsSelectedNotImported();
    void aFileThatCannotBeImportedIsSaidAndWritesNothing();
    void firstChapterFollowsTheOrderPrefixes();
};

void DesktopStartTest::initTestCase()
{
    if (qtTranslationsInstalled())
        QVERIFY(installQtTranslations(*QCoreApplication::instance()));
}

void DesktopStartTest::qtStandardTextsAreChinese()
{
    if (!qtTranslationsInstalled())
        QSKIP("qtbase_zh_CN.qm is missing: install qt6-translations-l10n (scripts/setup-deps)");
    QMessageBox box(QMessageBox::Question, u"Veyla"_s, u"?"_s, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Yes)->text(), u"是(&Y)"_s);
    QCOMPARE(box.button(QMessageBox::No)->text(), u"否(&N)"_s);
    QLineEdit edit;
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList captions;
    for (const QAction* action : menu->actions())
        captions << action->text().section(u'\t', 0, 0);
    QVERIFY2(captions.contains(u"复制(&C)"_s), qPrintable(captions.join(u", "_s)));
    QVERIFY2(captions.contains(u"粘贴(&P)"_s), qPrintable(captions.join(u", "_s)));
    // The file dialogs of 导入小说 and the like (Qt's own, as on a desktop without a portal).
    QFileDialog files(nullptr, u"导入小说"_s);
    files.setOption(QFileDialog::DontUseNativeDialog);
    files.setAcceptMode(QFileDialog::AcceptOpen);
    QStringList texts;
    for (const QLabel* label : files.findChildren<QLabel*>())
        texts << label->text();
    for (const QAbstractButton* button : files.findChildren<QAbstractButton*>())
        texts << button->text();
    for (const QString& expected : {u"查找范围："_s, u"文件名称(&N)："_s, u"打开(&O)"_s, u"取消"_s})
        QVERIFY2(texts.contains(expected), qPrintable(texts.join(u", "_s)));
}

void DesktopStartTest::missingTranslationsLeaveQtsOwnTexts()
{
    test::TempDir empty;
    QVERIFY(!installQtTranslations(*QCoreApplication::instance(), text(empty.path())));
}

void DesktopStartTest::firstStartQuestionStandsOverTheShownWindow()
{
    GuiFixture fixture;
    setMessageRecorder({});  // the real message box, to see where it stands
    auto window = fixture.startWindow();
    bool seen = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || seen)
            return;
        seen = true;
        QCOMPARE(box->text(), u"书库还是空的。要导入示例书库吗？"_s);
        QCOMPARE(box->parentWidget(), window.get());
        QVERIFY(window->isVisible());
        if (qtTranslationsInstalled())
            QCOMPARE(box->button(QMessageBox::Yes)->text(), u"是(&Y)"_s);
        box->button(QMessageBox::Yes)->click();
    });
    poll.start(20);
    offerDemoLibrary(*window);
    poll.stop();
    QVERIFY(seen);

    QVERIFY(fs::exists(fixture.library() / "小说/阿Q正传/0001_第一章序.xml"));
    LibraryTreeModel& model = window->treePane().libraryModel();
    const QModelIndex root = model.rootIndex();
    QCOMPARE(model.rowCount(root), 1);
    const QModelIndex novels = model.index(0, 0, root);
    QCOMPARE(novels.data().toString(), u"小说"_s);
    QCOMPARE(model.rowCount(novels), 2);
}

void DesktopStartTest::declinedDemoLeavesTheLibraryEmpty()
{
    GuiFixture fixture;
    fixture.answerYes = false;
    auto window = fixture.startWindow();
    offerDemoLibrary(*window);
    QCOMPARE(fixture.messages, QStringList{u"书库还是空的。要导入示例书库吗？"_s});
    QVERIFY(libraryIsEmpty(fixture.folders()));
}

void DesktopStartTest::noQuestionWhenTheLibraryHasBooks()
{
    GuiFixture fixture;
    fixture.addChapter("笔记/0001_想法.xml");
    auto window = fixture.startWindow();
    offerDemoLibrary(*window);
    QVERIFY(fixture.messages.isEmpty());
    QVERIFY(!fs::exists(fixture.library() / "小说"));
}

void DesktopStartTest::filesOnTheCommandLineAreParsed_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("data");
    QTest::addColumn<bool>("failed");
    // A file manager passes plain paths; options may stand around them.
    QTest::newRow("one file") << QStringList{u"veyla"_s, u"/tmp/西游记.txt"_s} << QStringList{u"/tmp/西游记.txt"_s}
                              << QString() << false;
    QTest::newRow("files and options") << QStringList{u"veyla"_s, u"a.txt"_s, u"--data"_s, u"d"_s, u"b.epub"_s}
                                       << QStringList{u"a.txt"_s, u"b.epub"_s} << u"d"_s << false;
    // After "--" a name that looks like an option is a file.
    QTest::newRow("after --") << QStringList{u"veyla"_s, u"--"_s, u"--data"_s} << QStringList{u"--data"_s}
                              << QString() << false;
    QTest::newRow("unknown option") << QStringList{u"veyla"_s, u"--bogus"_s, u"a.txt"_s} << QStringList()
                                    << QString() << true;
}

void DesktopStartTest::filesOnTheCommandLineAreParsed()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, files);
    QFETCH(QString, data);
    QFETCH(bool, failed);
    const StartupOptions options = StartupOptions::parse(arguments);
    QCOMPARE(!options.error.isEmpty(), failed);
    QCOMPARE(options.files, files);
    QCOMPARE(options.dataFolder.value_or(QString()), data);
}

void DesktopStartTest::aNovelGivenOnTheCommandLineIsImportedAndShown()
{
    GuiFixture fixture;
    auto window = fixture.startWindow();
    QVERIFY(openFiles(*window, {demoNovel("阿Q正传.txt")}));
    const fs::path first = fixture.library() / "小说/阿Q正传/0001_第一章序.xml";
    QVERIFY(fs::exists(first));
    QCOMPARE(text(window->library().selectedPath()), text(first));
    QCOMPARE(text(window->reading().chapterPath()), text(first));
    QVERIFY(fixture.messages.isEmpty());
}

void DesktopStartTest::aBookAlreadyThereIsShownUnlessTheUserWantsASecondCopy()
{
    GuiFixture fixture;
    auto window = fixture.startWindow();
    QVERIFY(openFiles(*window, {demoNovel("阿Q正传.txt")}));
    const fs::path novels = fixture.library() / "小说";

    fixture.answerYes = false;
    window->library().selectPath(fixture.library());
    QVERIFY(openFiles(*window, {demoNovel("阿Q正传.txt")}));
    QCOMPARE(fixture.messages, QStringList{u"书库里已有“阿Q正传”。要再导入一份吗？"_s});
    QCOMPARE(entriesIn(novels), std::size_t{1});
    QCOMPARE(text(window->library().selectedPath()), text(novels / "阿Q正传/0001_第一章序.xml"));

    fixture.answerYes = true;
    QVERIFY(openFiles(*window, {demoNovel("阿Q正传.txt")}));
    QCOMPARE(entriesIn(novels), std::size_t{2});
    QCOMPARE(text(window->library().selectedPath()), text(novels / "阿Q正传 (2)/0001_第一章序.xml"));
}

void DesktopStartTest::aChapterInsideTheLibraryIsSelectedNotImported()
{
    GuiFixture fixture;
    fixture.addChapter("笔记/书/0001_一.xml", u"一"_s);
    fixture.addChapter("笔记/书/0002_二.xml", u"二"_s);
    auto window = fixture.startWindow();
    const fs::path second = fixture.library() / "笔记/书/0002_二.xml";
    QVERIFY(openFiles(*window, {text(second)}));
    QCOMPARE(text(window->library().selectedPath()), text(second));
    QVERIFY(!fs::exists(fixture.library() / "小说"));
    QCOMPARE(entriesIn(fixture.library() / "笔记/书"), std::size_t{2});
}

void DesktopStartTest::aFileThatCannotBeImportedIsSaidAndWritesNothing()
{
    GuiFixture fixture;
    auto window = fixture.startWindow();
    test::TempDir dir;
    const fs::path picture = dir / "封面.png";
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(text(picture), "PNG"));
    QVERIFY(openFiles(*window, {text(picture), text(dir / "没有.txt")}));
    QCOMPARE(fixture.messages, (QStringList{u"无法打开“封面.png”：不支持的文件"_s,
                                            u"无法打开“没有.txt”：文件不存在或正在使用中"_s}));
    QVERIFY(!fs::exists(fixture.library() / "小说"));
}

void DesktopStartTest::firstChapterFollowsTheOrderPrefixes()
{
    test::TempDir dir;
    const fs::path book = dir / "书";
    fs::create_directories(book / "0001_上卷");
    fs::create_directories(book / "0003_空卷");
    QFile(text(book / "0002_楔子.xml")).open(QIODevice::WriteOnly);
    QFile(text(book / "0001_上卷/0001_第一回.xml")).open(QIODevice::WriteOnly);
    QFile(text(book / "0001_上卷/0000_目录.txt")).open(QIODevice::WriteOnly);
    QCOMPARE(text(CommandLineFiles::firstChapter(book)), text(book / "0001_上卷/0001_第一回.xml"));
    QCOMPARE(text(CommandLineFiles::firstChapter(book / "0002_楔子.xml")), text(book / "0002_楔子.xml"));
    QCOMPARE(text(CommandLineFiles::firstChapter(book / "0003_空卷")), QString());
}

QTEST_MAIN(DesktopStartTest)
#include "desktop_start_test.moc"
