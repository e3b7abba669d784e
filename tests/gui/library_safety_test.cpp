// SPDX-License-Identifier: MIT
// New items are made only inside the selected folder, with checked names;
// closing the window during an import never leaves half a book.
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <set>

#include "core/import/novel_importer.h"
#include "core/library/library_folder.h"
#include "core/platform/ini_file.h"
#include "core/util/utf16.h"
#include "core/view/colour_schemes.h"
#include "gui/commands/command_router.h"
#include "gui/import/import_controller.h"
#include "gui/tree/library_controller.h"
#include "gui/tree/library_tree_pane.h"
#include "gui/view/reading_view.h"
#include "gui/window/main_window.h"
#include "gui_fixture.h"

using namespace veyla;
using namespace veyla::gui;
using namespace Qt::StringLiterals;
namespace fs = std::filesystem;

namespace {

// Types text into the open in-place editor and ends the edit as Return does.
void finishEdit(LibraryTreePane& pane, const QString& text)
{
    auto* editor = pane.findChild<QLineEdit*>();
    QVERIFY(editor != nullptr);
    editor->setText(text);
    emit pane.itemDelegate()->commitData(editor);
    emit pane.itemDelegate()->closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Every path under folder.
std::set<fs::path> everything(const fs::path& folder)
{
    std::set<fs::path> paths;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        paths.insert(entry.path());
    return paths;
}

std::size_t chapterFilesIn(const fs::path& folder)
{
    std::size_t count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        count += entry.is_regular_file() && entry.path().filename().string().find(".xml") != std::string::npos;
    return count;
}

}  // namespace

class LibrarySafetyTest : public QObject {
    Q_OBJECT
private slots:
    void newItemNamesAreChecked();
    void closingDuringAnImportFinishesTheBookBeingWritten();
    void settingsOutOfRangeAreClampedAndWrittenClamped();
    void anUnreadableColourFileIsKeptAside();
};

void LibrarySafetyTest::newItemNamesAreChecked()
{
    GuiFixture fixture;
    fixture.addChapter("小说/书/0001_a.xml");
    auto window = fixture.startWindow();
    const fs::path book = fixture.library() / "小说/书";
    const QStringList refused = {u"a/b"_s, u"a/../../x"_s, u".."_s, u""_s, QString(100, QChar(0x7AE0))};  // 300 bytes
    int made = 0;
    for (int kind : {kNewChapter, kNewFolder}) {
        for (const QString& name : refused) {
            const auto before = everything(fixture.folders().dataFolder);
            const auto outside = everything(fixture.folders().dataFolder.parent_path());
            fixture.messages.clear();
            QVERIFY(window->library().selectPath(book));
            QVERIFY(window->router().trigger(kind));
            finishEdit(window->treePane(), name);
            QCOMPARE(fixture.messages.size(), 1);
            QVERIFY(fixture.messages.front().startsWith(u"名称无效"_s));
            QCOMPARE(everything(fixture.folders().dataFolder), before);
            QCOMPARE(everything(fixture.folders().dataFolder.parent_path()), outside);
            // The new item is edited again; a valid name makes it.
            QTest::qWait(0);
            finishEdit(window->treePane(), u"好%1"_s.arg(++made));
            QCOMPARE(everything(fixture.folders().dataFolder).size(), before.size() + 1);
        }
    }
    std::set<std::u16string> names;
    for (const auto& item : library::listFolder(book))
        names.insert(item.text);
    QCOMPARE(names.size(), 11u);  // a and the ten good ones
}

void LibrarySafetyTest::closingDuringAnImportFinishesTheBookBeingWritten()
{
    GuiFixture fixture;
    const fs::path source = fixture.folders().dataFolder.parent_path() / "投放";
    fs::create_directories(source);
    const fs::path novel = fs::path(VEYLA_STAGE_DIR) / "demo" / fs::path(u8"西游记.txt");
    for (int i = 1; i <= 4; ++i)
        fs::copy_file(novel, source / ("book" + std::to_string(i) + ".txt"));
    auto planned = import::planNovelFile(source / "book1.txt", {});
    QVERIFY(planned.ok());
    std::size_t chapters = 0;
    for (const auto& node : planned->plan.nodes)
        chapters += node.kind == import::NodeKind::Chapter;
    QVERIFY(chapters > 50);

    const fs::path target = fixture.library() / "投放";
    {
        auto window = fixture.startWindow();
        QVERIFY(window->importer().importDropped({QString::fromStdString(source.string())}));
        // Closing while the first book is being written.
        QTRY_VERIFY_WITH_TIMEOUT(fs::exists(target / "book1"), 120000);
        window->close();  // asks the import to stop and waits for it
    }
    int books = 0;
    for (const auto& entry : fs::directory_iterator(target)) {
        ++books;
        QCOMPARE(chapterFilesIn(entry.path()), chapters);
    }
    QVERIFY(books >= 1);
}

void LibrarySafetyTest::settingsOutOfRangeAreClampedAndWrittenClamped()
{
    GuiFixture fixture;
    const fs::path ini = fixture.folders().dataControl("preSet.ini");
    test::writeBytes(ini, "\xFF\xFE" + utf16::encodeLittleEndian(
                              u"[Size]\r\nTextSize=0\r\n[Distance]\r\nRow=-1486618625\r\nPram=-3\r\n"
                              u"[Background]\r\nIndex0=99999999\r\n"));
    fixture.addChapter("书/0001_a.xml", u"看得见的文字"_s);
    {
        auto window = fixture.startWindow();
        QCOMPARE(window->display().settings.textSize, 9);
        QCOMPARE(window->display().settings.rowSpacing, 0);
        QVERIFY(window->library().selectPath(fixture.library() / "书/0001_a.xml"));
        // The view lays the text out: its paragraph has glyphs on a line.
        QCOMPARE(QString::fromStdU16String(window->readingView().paragraphTexts().front()), u"看得见的文字\r"_s);
    }
    const auto written = platform::IniFile::load(ini);
    QCOMPARE(written.integer(u"Size", u"TextSize", -1), 9LL);
    QCOMPARE(written.integer(u"Distance", u"Row", -1), 0LL);
    QCOMPARE(written.integer(u"Distance", u"Pram", -1), 0LL);
}

void LibrarySafetyTest::anUnreadableColourFileIsKeptAside()
{
    GuiFixture fixture;
    const fs::path colours = fixture.folders().dataControl("Color.xml");
    test::writeBytes(colours, "not xml at all");
    const auto shipped = view::ColourSchemes::read(platform::AppFolders{fixture.folders().programFolder,
                                                                        fixture.folders().programFolder});
    {
        auto window = fixture.startWindow();
        QCOMPARE(window->display().schemes.colours(), shipped.colours());
        QVERIFY(window->display().schemes.colours().bg != window->display().schemes.colours().text);
    }
    QCOMPARE(test::readBytes(fixture.folders().dataControl("Color.xml.unreadable")), std::string("not xml at all"));
    // What the exit wrote holds the colours in force, not zeros.
    QCOMPARE(view::ColourSchemes::read(fixture.folders()).colours(), shipped.colours());
}

QTEST_MAIN(LibrarySafetyTest)
#include "library_safety_test.moc"
