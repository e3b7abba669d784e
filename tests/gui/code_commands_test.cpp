// SPDX-License-Identifier: MIT
// "插入代码段" (32972) and "代码格式整理" (33435) on the open chapter.
#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include "core/view/chapter_conversion.h"
#include "gui/commands/command_router.h"
#include "gui/dialogs/add_code_dialog.h"
#include "gui/dialogs/code_settings_page.h"
#include "gui/dialogs/colour_settings_dialog.h"
#include "gui/view/display_controller.h"
#include "gui/tree/library_controller.h"
#include "gui/view/reading_view.h"
#include "gui/window/main_window.h"
#include "gui_fixture.h"

using namespace veyla;
using namespace veyla::gui;
using namespace Qt::StringLiterals;

namespace {

struct Open {
    GuiFixture fixture;
    std::unique_ptr<MainWindow> window;

    Open()
    {
        fixture.addChapter("小说/0001_书/0001_代码.xml", u"代码一章\n正文"_s);
        window = fixture.startWindow();
        window->library().selectPath(fixture.library() / "小说/0001_书/0001_代码.xml");
    }
    ~Open()
    {
        if (window)
            window->close();
    }
    library::Chapter chapter() const
    {
        const auto& model = window->readingView().model();
        return view::chapterFromDocument(model.document(), model.engine());
    }
    bool modified() const { return window->readingView().model().document().modified; }
};

// Answers the next "代码" dialog with text (or cancels it).
void answerCodeDialog(const QString& text, bool ok = true)
{
    QTimer::singleShot(0, [text, ok] {
        auto* dialog = qobject_cast<AddCodeDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        QCOMPARE(dialog->windowTitle(), u"代码"_s);
        dialog->setCode(text);
        ok ? dialog->accept() : dialog->reject();
    });
}

}  // namespace

class CodeCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void insertedCodeBecomesCodeParagraphsAfterTheCaret();
    void cancelledOrEmptyCodeChangesNothing();
    void formatCodeIndentsByBraces();
    void codeSettingsPageChangesTheCodeColoursAndModes();
};

void CodeCommandsTest::insertedCodeBecomesCodeParagraphsAfterTheCaret()
{
    Open open;
    QCOMPARE(open.chapter().paragraphs.size(), std::size_t(2));
    answerCodeDialog(u"\r\n[cpp] view plaincopy\nint f()\n{\n\treturn 1;¬\n}\r\n"_s);
    QVERIFY(open.window->router().trigger(kInsertCode));
    const auto chapter = open.chapter();
    std::vector<std::u16string> code;
    for (const auto& paragraph : chapter.paragraphs) {
        if (paragraph.code != 0)
            code.push_back(paragraph.text());
    }
    // The caret was in the first paragraph: the code follows it.
    QCOMPARE(chapter.paragraphs.at(0).code, 0);
    QVERIFY(chapter.paragraphs.at(1).code != 0);
    QCOMPARE(chapter.paragraphs.back().text(), u"正文"_s.toStdU16String());
    // The listing header became an empty line, an ideographic space and the
    // empty rest of its own line; the tab four blanks; "¬" is gone.
    QStringList shown;
    for (const auto& line : code)
        shown << QString::fromStdU16String(line).remove(u'\r');
    QCOMPARE(shown, QStringList({QString(), u"\u3000"_s, QString(), u"int f()"_s, u"{"_s, u"    return 1;"_s, u"}"_s}));
    QVERIFY(open.modified());
}

void CodeCommandsTest::cancelledOrEmptyCodeChangesNothing()
{
    Open open;
    answerCodeDialog(u"int x;"_s, false);
    QVERIFY(open.window->router().trigger(kInsertCode));
    answerCodeDialog(u"\r\n\u3000\r\n"_s);
    QVERIFY(open.window->router().trigger(kInsertCode));
    QCOMPARE(open.chapter().paragraphs.size(), std::size_t(2));
    QVERIFY(!open.modified());
    // Without code paragraphs formatting changes nothing either.
    QVERIFY(open.window->router().trigger(kFormatCode));
    QVERIFY(!open.modified());
}

void CodeCommandsTest::formatCodeIndentsByBraces()
{
    Open open;
    answerCodeDialog(u"int f()\n{\nif (x)\ny();\nelse\n{\nz();\n}\n}"_s);
    QVERIFY(open.window->router().trigger(kInsertCode));
    open.window->readingView().model().document().modified = false;
    QVERIFY(open.window->router().trigger(kFormatCode));
    QStringList code;
    for (const auto& paragraph : open.chapter().paragraphs) {
        if (paragraph.code != 0)
            code << QString::fromStdU16String(paragraph.text()).remove(u'\r');
    }
    QCOMPARE(code, QStringList({u"int f()"_s, u"{"_s, u"    if (x)"_s, u"        y();"_s, u"    else"_s, u"    {"_s,
                                u"        z();"_s, u"    }"_s, u"}"_s}));
    QVERIFY(open.modified());

    // Ctrl+Z takes back the re-indenting, then the insertion; Ctrl+Y redoes.
    auto* view = &open.window->readingView();
    view->setFocus();
    const auto paragraphCount = [&] { return open.chapter().paragraphs.size(); };
    const std::size_t withCode = paragraphCount();
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(paragraphCount(), withCode);
    QVERIFY(QString::fromStdU16String(open.chapter().paragraphs.at(3).text()).startsWith(u"if (x)"_s));
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(paragraphCount(), std::size_t(2));
    QTest::keyClick(view, Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(QString::fromStdU16String(open.chapter().paragraphs.at(3).text()).startsWith(u"    if (x)"_s));
}

void CodeCommandsTest::codeSettingsPageChangesTheCodeColoursAndModes()
{
    Open open;
    auto& display = open.window->display();
    auto& colours = display.schemes.colours();
    open.window->displayCommands().setColourChooser([](const QColor&, const QString&) { return QColor(1, 2, 3); });
    bool checked = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<ColourSettingsDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        auto* tabs = dialog->findChild<QTabWidget*>(u"pages"_s);
        QCOMPARE(tabs->tabText(0), u"基本设置"_s);
        QCOMPARE(tabs->tabText(1), u"代码设置"_s);
        auto* page = dialog->findChild<CodeSettingsPage*>();
        QStringList captions;
        for (const char* key : {"CBg", "CText", "Zhuwen", "Xiaokuohao", "Dakuohao", "CurInXiao", "CurInDa", "Control",
                                "Int", "Fun", "DFun", "Var", "Yinhao", "Digit"})
            captions << page->findChild<QPushButton*>(QString::fromLatin1(key))->text();
        QCOMPARE(captions, QStringList({u"背景色:"_s, u"文字色:"_s, u"注文色:"_s, u"小括号:"_s, u"大括号:"_s,
                                        u"光标在小括号内:"_s, u"光标在大括号内:"_s, u"控制关键字如 IF:"_s,
                                        u"类型关键字如 INT:"_s, u"系统常用函数:"_s, u"自定义函数:"_s,
                                        u"自定义变量如i.j："_s, u"双引号内字符串："_s, u"数字："_s}));
        page->findChild<QPushButton*>(u"Int"_s)->click();
        QCOMPARE(colours.type, view::rgb(1, 2, 3));
        QStringList modes;
        for (auto* radio : page->findChild<QWidget*>(u"CodePubMode"_s)->findChildren<QRadioButton*>())
            modes << radio->text();
        QCOMPARE(modes, QStringList({u"所见所得"_s, u"全站统一"_s, u"兼容高亮"_s, u"确保配色"_s}));
        page->findChild<QWidget*>(u"CodePubMode"_s)->findChildren<QRadioButton*>().at(3)->click();
        QCOMPARE(colours.codePubMode, 3);
        page->findChild<QWidget*>(u"CodeHtmlMode"_s)->findChildren<QRadioButton*>().at(1)->click();
        QCOMPARE(colours.codeHtmlMode, 1);
        const bool before = display.settings.codeBackground;
        page->findChild<QCheckBox*>(u"bCodeBg"_s)->click();
        QCOMPARE(display.settings.codeBackground, !before);
        auto* classic = page->findChild<QListWidget*>(u"经典配色方案"_s);
        QVERIFY(classic->count() >= 3);
        classic->setCurrentRow(2);
        QCOMPARE(colours.codeBg, view::rgb(30, 30, 30));
        const auto previous = colours;
        page->findChild<QPushButton*>(u"randomCode"_s)->click();
        QVERIFY(!(colours == previous));
        QCOMPARE(colours.codeBg, previous.codeBg);
        checked = true;
        dialog->accept();
    });
    QVERIFY(open.window->router().trigger(kColourSettings));
    QVERIFY(checked);
}

QTEST_MAIN(CodeCommandsTest)
#include "code_commands_test.moc"
