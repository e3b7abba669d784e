// SPDX-License-Identifier: MIT
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include "gui/import/import_controller.h"
#include "gui/import/import_result_dialog.h"
#include "gui/tree/library_controller.h"
#include "gui/window/main_window.h"
#include "gui_fixture.h"

using namespace veyla;
using namespace veyla::gui;
using namespace Qt::StringLiterals;
namespace fs = std::filesystem;

namespace {

int filesIn(const fs::path& folder)
{
    return static_cast<int>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

}  // namespace

class ImportResultTest : public QObject {
    Q_OBJECT
private slots:
    void aSuspiciousBookIsImportedAgainWithTheSuggestion();
    void bytesThatCouldNotBeDecodedAreSaidBesideTheVerdict();
};

void ImportResultTest::aSuspiciousBookIsImportedAgainWithTheSuggestion()
{
    const fs::path source = test::corpusFile("en/tom_sawyer_pg74.txt");
    if (source.empty() || !fs::exists(source))
        QSKIP("the corpus is missing");
    GuiFixture fixture;
    fs::create_directories(fixture.library() / "英文");
    auto window = fixture.startWindow();
    QVERIFY(window->library().selectPath(fixture.library() / "英文"));
    QSignalSpy finished(&window->importer(), &ImportController::finished);
    QVERIFY(window->importer().importChosen({QString::fromStdString(source.string())}, false, {}, {}));
    QVERIFY(finished.wait(120000));

    const fs::path book = fixture.library() / "英文/tom_sawyer_pg74";
    QCOMPARE(filesIn(book), 540);
    ImportResultDialog* dialog = window->importer().resultDialog();
    QVERIFY(dialog != nullptr);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), u"导入结果"_s);
    QTableWidget& table = dialog->table();
    QCOMPARE(table.rowCount(), 1);
    QCOMPARE(table.item(0, 0)->text(), u"tom_sawyer_pg74"_s);
    QCOMPARE(table.item(0, 1)->text(), u"540"_s);
    QVERIFY(table.item(0, 2)->text().startsWith(u"suspicious: every short line was taken for a heading"_s));
    auto* button = qobject_cast<QPushButton*>(table.cellWidget(0, 3));
    QVERIFY(button != nullptr);
    QCOMPARE(button->text(), u"按建议重新导入"_s);
    QCOMPARE(button->toolTip(), u"--prefix CHAPTER: 36 files: 35 chapters and the front matter"_s);

    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(window->importer().isBusy());
    QVERIFY(finished.wait(120000));
    // The first import went to the trash; the new one takes its place.
    QCOMPARE(filesIn(book), 36);
    QVERIFY(fs::exists(book / "0002_CHAPTERI.xml"));
    QVERIFY(!fs::exists(fixture.library() / "英文/tom_sawyer_pg74 (2)"));
    const fs::path trashed = fs::path(qEnvironmentVariable("XDG_DATA_HOME").toStdString()) / "Trash/files/tom_sawyer_pg74";
    QCOMPARE(filesIn(trashed), 540);
    QCOMPARE(table.rowCount(), 1);
    QCOMPARE(table.item(0, 1)->text(), u"36"_s);
    QCOMPARE(table.item(0, 2)->text(), u"looks right"_s);
    QVERIFY(table.cellWidget(0, 3) == nullptr);
    // The tree shows the new book.
    QVERIFY(window->library().selectPath(book / "0036_CHAPTERXXXV.xml"));
}

void ImportResultTest::bytesThatCouldNotBeDecodedAreSaidBesideTheVerdict()
{
    GuiFixture fixture;
    // A UTF-8 novel with two broken sequences still imports, with U+FFFD.
    std::string text;
    for (int chapter = 1; chapter <= 3; ++chapter) {
        text += "第" + std::to_string(chapter) + "章 开始\n";
        for (int i = 0; i < 300; ++i)
            text += "天地";
        text += "\n";
    }
    text += "truncated \xE4\xB8 and stray \xFF bytes\n";
    const fs::path source = fixture.folders().dataFolder / "坏字节.txt";
    test::writeBytes(source, text);
    auto window = fixture.startWindow();
    QSignalSpy finished(&window->importer(), &ImportController::finished);
    QVERIFY(window->importer().importChosen({QString::fromStdString(source.string())}, false, {}, {}));
    QVERIFY(finished.wait(120000));
    ImportResultDialog* dialog = window->importer().resultDialog();
    QVERIFY(dialog != nullptr);
    const QString verdict = dialog->table().item(0, 2)->text();
    QVERIFY2(verdict.contains(u"2 character(s) could not be decoded and were replaced by U+FFFD"_s), qPrintable(verdict));
}

QTEST_MAIN(ImportResultTest)
#include "import_result_test.moc"
