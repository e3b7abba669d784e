// SPDX-License-Identifier: MIT
// --screenshot never waits for a click: message boxes are drawn into the
// picture and the program exits.
#include <QMessageBox>
#include <QProcess>
#include <QTest>

#include "core/util/utf16.h"
#include "gui/app/screenshot_mode.h"
#include "gui/tree/library_controller.h"
#include "gui/window/main_window.h"
#include "gui_fixture.h"

using namespace veyla;
using namespace veyla::gui;
using namespace Qt::StringLiterals;
namespace fs = std::filesystem;

class ScreenshotModeTest : public QObject {
    Q_OBJECT
private slots:
    void messageBoxesAreShownWithoutWaitingAndDrawnIntoThePicture();
    void theProgramExitsWithAMessageBoxOpen();
};

void ScreenshotModeTest::messageBoxesAreShownWithoutWaitingAndDrawnIntoThePicture()
{
    GuiFixture fixture;
    test::writeBytes(fixture.library() / "书/0001_坏.xml", "not a chapter");
    auto window = fixture.startWindow();
    auto* mode = new ScreenshotMode(*window);
    const QImage before = mode->render();
    // Opening a file that is no chapter shows a message; here it returns at once.
    QVERIFY(window->library().selectPath(fixture.library() / "书/0001_坏.xml"));
    QVERIFY(fixture.messages.isEmpty());
    const auto boxes = window->findChildren<QMessageBox*>();
    QCOMPARE(boxes.size(), 1);
    QVERIFY(boxes.front()->isVisible());
    QCOMPARE(boxes.front()->text(), u"不是Veyla所需格式,请重新建立！"_s);

    const QImage picture = mode->render();
    QCOMPARE(picture.size(), before.size());
    const QImage box = boxes.front()->grab().toImage();
    const QPoint at = picture.rect().center() - box.rect().center();
    const QPoint inside = box.rect().center() + QPoint(0, box.height() / 4);
    QCOMPARE(QColor(picture.pixel(at + inside)), QColor(box.pixel(inside)));
    QVERIFY(picture != window->grab().toImage());
}

void ScreenshotModeTest::theProgramExitsWithAMessageBoxOpen()
{
    test::TempDir dir;
    test::writeBytes(dir / "data/藏书库/书/0001_坏.xml", "not a chapter");
    const QString shot = QString::fromStdString((dir / "shot.png").string());
    QProcess veyla;
    veyla.setProgram(QString::fromStdString((fs::path(VEYLA_STAGE_DIR) / "veyla").string()));
    veyla.setArguments({u"--data"_s, QString::fromStdString((dir / "data").string()), u"--no-demo"_s,
                        u"--select"_s, u"书/0001_坏.xml"_s, u"--screenshot"_s, shot});
    veyla.start();
    QVERIFY(veyla.waitForStarted());
    const bool finished = veyla.waitForFinished(180000);
    if (!finished)
        veyla.kill();
    QVERIFY2(finished, "veyla --screenshot did not exit");
    QCOMPARE(veyla.exitCode(), 0);
    QImage picture(shot);
    QVERIFY(!picture.isNull());
}

QTEST_MAIN(ScreenshotModeTest)
#include "screenshot_mode_test.moc"
