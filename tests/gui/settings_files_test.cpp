// SPDX-License-Identifier: MIT
// The settings file and the colour file: written at exit in their order, read back at start.
#include <QComboBox>
#include <QSpinBox>
#include <QTest>

#include "core/util/utf16.h"
#include "core/view/colour_schemes.h"
#include "gui/commands/command_router.h"
#include "gui/view/display_controller.h"
#include "gui/view/display_state.h"
#include "gui/view/reading_controller.h"
#include "gui/view/reading_view.h"
#include "gui/window/main_window.h"
#include "gui/window/ribbon_bar.h"
#include "gui_fixture.h"

using namespace veyla;
using namespace veyla::gui;
using namespace Qt::StringLiterals;

namespace {

// The text of a UTF-16LE file with a byte-order mark.
QString unicodeFileText(const std::filesystem::path& path)
{
    const std::string bytes = test::readBytes(path);
    if (bytes.size() < 2 || bytes.compare(0, 2, "\xFF\xFE") != 0)
        return QString();
    return QString::fromStdU16String(utf16::decodeLittleEndian(std::string_view(bytes).substr(2)));
}

// The section headers and keys of an INI text, in file order.
QStringList iniNames(const QString& text, const QString& onlySection = QString())
{
    QStringList names;
    QString section;
    for (const QString& line : text.split(u"\r\n"_s, Qt::SkipEmptyParts)) {
        if (line.startsWith(u'[')) {
            section = line.mid(1, line.size() - 2);
            if (onlySection.isEmpty())
                names << line;
        } else if (onlySection.isEmpty() || section == onlySection) {
            names << line.section(u'=', 0, 0);
        }
    }
    return names;
}

}  // namespace

class SettingsFilesTest : public QObject {
    Q_OBJECT
private slots:
    void exitWritesEveryKeyInItsOrder();
    void changedValuesAreReadBackAtStart();
    void colourFileRoundTripsThroughTheApp();
    void missingBiaozhuKeysGiveTwentyTwo();
};

void SettingsFilesTest::exitWritesEveryKeyInItsOrder()
{
    GuiFixture fixture;
    // An empty settings file of the user's: every key is then added in the order of writing.
    test::writeBytes(fixture.folders().dataControl("preSet.ini"), "\xFF\xFE");
    fixture.startWindow()->close();
    const QString text = unicodeFileText(fixture.folders().dataControl("preSet.ini"));
    QCOMPARE(iniNames(text).filter(u"["_s),
             QStringList({u"[Img]"_s, u"[Size]"_s, u"[LocalWebSet]"_s, u"[Distance]"_s, u"[Start]"_s, u"[Search]"_s,
                          u"[Biaozhu]"_s, u"[Voice]"_s, u"[Background]"_s, u"[Parse]"_s, u"[Color]"_s, u"[Page]"_s}));
    QCOMPARE(iniNames(text, u"Color"_s),
             QStringList({u"nWholeTB0"_s, u"nWholeTB1"_s, u"nWholeLR0"_s, u"nWholeLR1"_s, u"bWholeLeft"_s,
                          u"bWholeTop"_s, u"bWholeBottom"_s, u"nLineMode"_s, u"nPramMode"_s, u"nVerticalMode"_s,
                          u"nPramLen"_s, u"nPramWidth"_s, u"nHorize"_s, u"nVertical"_s, u"nVerticalWidth"_s,
                          u"nSelect"_s}));
    QCOMPARE(iniNames(text, u"Size"_s), QStringList({u"TextSize"_s, u"CodeTextSize"_s}));
    QCOMPARE(iniNames(text, u"Background"_s),
             QStringList({u"Background"_s, u"parmDir"_s, u"nPramBZ"_s, u"bVertical"_s, u"bHorizon"_s, u"bLine"_s,
                          u"bCodeBg"_s, u"verticalDir"_s, u"lineDir"_s, u"Index0"_s, u"Index1"_s, u"Count"_s}));
    // The empty file had no Biaozhu keys: 22 each.
    QVERIFY(text.contains(u"[Biaozhu]\r\nbComment=22\r\nbSingle=22\r\nnBiaozhu=22\r\n"_s));
}

void SettingsFilesTest::changedValuesAreReadBackAtStart()
{
    GuiFixture fixture;
    int pageWidth = 0;
    {
        auto window = fixture.startWindow();
        window->ribbon().control<QSpinBox>(kFontSize)->setValue(33);
        QVERIFY(window->router().trigger(kFontSize));
        window->ribbon().control<QSpinBox>(kRowSpacing)->setValue(7);
        QVERIFY(window->router().trigger(kRowSpacing));
        QVERIFY(window->router().trigger(kExpandAllAtStart));
        QVERIFY(window->router().trigger(kNarrowerPage));
        pageWidth = window->readingView().model().geometry().pageWidth();
        window->close();
    }
    const QString text = unicodeFileText(fixture.folders().dataControl("preSet.ini"));
    QVERIFY(text.contains(u"TextSize=33\r\n"_s));
    QVERIFY(text.contains(u"Row=7\r\n"_s));
    QVERIFY(text.contains(u"[Start]\r\nOpenAll=0\r\n"_s));
    QVERIFY(text.contains(u"nPageWidth=%1\r\n"_s.arg(pageWidth)));
    auto window = fixture.startWindow();
    QCOMPARE(window->display().settings.textSize, 33);
    QCOMPARE(window->readingView().model().engine().params().textSize, 33);
    QCOMPARE(window->readingView().model().engine().params().rowSpacing, 7);
    QCOMPARE(window->ribbon().control<QSpinBox>(kFontSize)->value(), 33);
    QVERIFY(!window->display().settings.openAll);
    // The page width at start is always the client width − 350.
    QCOMPARE(window->readingView().model().geometry().pageWidth(),
             window->readingView().model().geometry().area().width - 350);
}

void SettingsFilesTest::colourFileRoundTripsThroughTheApp()
{
    GuiFixture fixture;
    {
        auto window = fixture.startWindow();
        QVERIFY(window->router().trigger(kSchemeGray));
        window->displayCommands().setColourChooser([](const QColor&, const QString&) { return QColor(1, 2, 3); });
        QVERIFY(window->router().trigger(kHighlightColour));
        window->close();
    }
    const std::string bytes = test::readBytes(fixture.folders().dataControl("Color.xml"));
    const auto written = view::ColourSchemes::fromXml(utf16::decodeLittleEndian(bytes));
    QCOMPARE(written.colours().bg, view::rgb(69, 72, 74));
    QCOMPARE(written.colours().textBright, view::rgb(1, 2, 3));
    const auto shipped =
        view::ColourSchemes::fromXml(utf16::decodeLittleEndian(test::readBytes(fixture.folders().programControl("Color.xml"))));
    QVERIFY(written.schemes() == shipped.schemes());
    QCOMPARE(written.colours().comment, shipped.colours().comment);

    auto window = fixture.startWindow();
    QCOMPARE(window->display().schemes.colours().textBright, view::rgb(1, 2, 3));
    QCOMPARE(window->readingView().renderFrame().pixelColor(2, 2), QColor(69, 72, 74));
}

void SettingsFilesTest::missingBiaozhuKeysGiveTwentyTwo()
{
    GuiFixture fixture;
    const std::string settings = "\xFF\xFE" + utf16::encodeLittleEndian(u"[Size]\r\nTextSize=30\r\n");
    test::writeBytes(fixture.folders().dataControl("preSet.ini"), settings);
    auto window = fixture.startWindow();
    QCOMPARE(window->display().settings.textSize, 30);
    QCOMPARE(window->display().settings.annotation, 22);
    QCOMPARE(window->display().settings.single, 22);
    // 22 is no style: "配色" is needed before anything is annotated.
    QCOMPARE(window->display().annotationStyle(), 0);
}

QTEST_MAIN(SettingsFilesTest)
#include "settings_files_test.moc"
