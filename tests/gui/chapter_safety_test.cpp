// SPDX-License-Identifier: MIT
// Chapter files are written only when the user changed them: hostile files
// open unchanged and with a notice, a save of such a file asks first and
// keeps the original, and a save that fails is said and keeps the edits.
#include <QLabel>
#include <QTest>

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "core/library/chapter_file.h"
#include "core/platform/file_io.h"
#include "core/util/utf16.h"
#include "gui/commands/command_router.h"
#include "gui/tree/library_controller.h"
#include "gui/view/reading_controller.h"
#include "gui/view/reading_view.h"
#include "gui/window/main_window.h"
#include "gui_fixture.h"

using namespace veyla;
using namespace veyla::gui;
using namespace Qt::StringLiterals;
namespace fs = std::filesystem;

namespace {

std::u16string repeated(std::u16string_view piece, std::size_t times)
{
    std::u16string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        out += piece;
    return out;
}

std::string chapterBytes(std::u16string_view body)
{
    return library::chapterBytes(u"<Page>\r\n<Body Type=\"C1\">\r\n" + std::u16string(body) + u"</Body>\r\n</Page>\r\n");
}

struct Shape {
    const char* name;
    std::string bytes;
    bool notice;
};

// The shapes that were once saved back smaller after only being opened.
std::vector<Shape> hostileShapes()
{
    const std::size_t depth = 200000;  // about 3 MB on disk
    return {
        {"deep nesting", chapterBytes(u"<Chunk Type=\"R1\">" + repeated(u"<Chunk>", depth) + u"深处" +
                                      repeated(u"</Chunk>", depth) + u"</Chunk>\r\n"), true},
        {"unterminated CDATA", chapterBytes(u"<Chunk Type=\"R1\">\r\n<Chunk><![CDATA[未完的文字"), true},
        {"mixed text", chapterBytes(u"<Chunk Type=\"R1\">前面<Chunk>中间</Chunk>后面</Chunk>\r\n"), true},
        {"empty CDATA paragraph", chapterBytes(u"<Chunk Type=\"R1\">\r\n<Chunk><![CDATA[]]></Chunk>\r\n</Chunk>\r\n"
                                               u"<Chunk Type=\"R1\">\r\n<Chunk>丙</Chunk>\r\n</Chunk>\r\n"), false},
    };
}

bool noticeShown(MainWindow& window)
{
    auto* notice = window.findChild<QLabel*>(u"chapterNotice"_s);
    return notice != nullptr && !notice->isHidden() && !notice->text().isEmpty();
}

void edit(MainWindow& window)
{
    window.readingView().setFocus();
    typeText(window.readingView(), u"改"_s);
}

// Files larger than the limit cannot be written while it holds (EFBIG, as on a full disk).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &m_saved); }

private:
    rlimit m_saved{};
};

}  // namespace

class ChapterSafetyTest : public QObject {
    Q_OBJECT
private slots:
    void openingHostileChaptersNeverChangesThem();
    void savingAChapterReadWithProblemsAsksAndKeepsTheOriginal();
    void leavingWithoutSavingDiscardsTheEdits();
    void aFailedSaveIsSaidAndKeepsTheChapterOpen();
    void aReadOnlyFolderIsSaidWithItsReason();
    void aChapterWhoseFileVanishedIsSaid();
    void startingClearsWhatKilledSavesLeftInFoldersNeverOpened();
};

void ChapterSafetyTest::openingHostileChaptersNeverChangesThem()
{
    for (const auto& shape : hostileShapes()) {
        GuiFixture fixture;
        const fs::path hostile = fixture.library() / "书/0001_x.xml";
        const fs::path other = fixture.library() / "书/0002_y.xml";
        fixture.addChapter("书/0002_y.xml");
        test::writeBytes(hostile, shape.bytes);
        {
            auto window = fixture.startWindow();
            window->setAutosaveInterval(1);
            QVERIFY(window->library().selectPath(hostile));
            QCOMPARE(window->reading().chapterPath(), hostile);
            QCOMPARE(noticeShown(*window), shape.notice);
            QTest::qWait(20);  // the autosave runs
            QVERIFY(window->library().selectPath(other));
            QCOMPARE(window->reading().chapterPath(), other);
            QVERIFY(!noticeShown(*window));
            QVERIFY(window->library().selectPath(hostile));
            window->router().trigger(kSaveChapter);  // Ctrl+S without an edit writes nothing
            window->close();
        }
        QVERIFY2(test::readBytes(hostile) == shape.bytes, shape.name);
        QVERIFY2(!fs::exists(library::originalCopyPath(hostile)), shape.name);
        QVERIFY2(fixture.messages.isEmpty(), shape.name);
    }
}

void ChapterSafetyTest::savingAChapterReadWithProblemsAsksAndKeepsTheOriginal()
{
    GuiFixture fixture;
    const fs::path path = fixture.library() / "书/0001_x.xml";
    const std::string original = hostileShapes()[2].bytes;
    test::writeBytes(path, original);
    auto window = fixture.startWindow();
    window->setAutosaveInterval(1);
    QVERIFY(window->library().selectPath(path));
    QVERIFY(noticeShown(*window));
    edit(*window);
    QVERIFY(window->reading().isModified());
    QTest::qWait(20);  // the autosave leaves it alone, without asking
    QVERIFY(fixture.messages.isEmpty());
    QCOMPARE(test::readBytes(path), original);

    // Declined: nothing written, the edit kept.
    fixture.answerYes = false;
    window->router().trigger(kSaveChapter);
    QCOMPARE(fixture.messages.size(), 1);
    QVERIFY(fixture.messages.front().contains(u"0001_x.xml.orig"_s));
    QCOMPARE(test::readBytes(path), original);
    QVERIFY(window->reading().isModified());

    // Accepted: the original is kept beside it, then the chapter written.
    fixture.answerYes = true;
    window->router().trigger(kSaveChapter);
    QCOMPARE(test::readBytes(library::originalCopyPath(path)), original);
    QVERIFY(test::readBytes(path) != original);
    QVERIFY(!window->reading().isModified());
    QVERIFY(!noticeShown(*window));
    auto saved = library::readChapter(path, {});
    QVERIFY(saved.ok());
    QVERIFY(!saved->problems.any());
    QCOMPARE(QString::fromStdU16String(saved->paragraphs.front().text()), u"改前面中间后面"_s);

    // A kept original is never replaced, and is not listed as a chapter.
    test::writeBytes(path, original);
    QVERIFY(window->reading().openChapter(fixture.library() / "书/0001_x.xml"));
    test::writeBytes(library::originalCopyPath(path), "older");
    edit(*window);
    window->router().trigger(kSaveChapter);
    QCOMPARE(test::readBytes(library::originalCopyPath(path)), std::string("older"));
    QVERIFY(!window->library().selectPath(library::originalCopyPath(path)));
}

void ChapterSafetyTest::leavingWithoutSavingDiscardsTheEdits()
{
    GuiFixture fixture;
    const fs::path path = fixture.library() / "书/0001_x.xml";
    const std::string original = hostileShapes()[1].bytes;
    test::writeBytes(path, original);
    fixture.addChapter("书/0002_y.xml");
    fixture.answerYes = false;
    {
        auto window = fixture.startWindow();
        QVERIFY(window->library().selectPath(path));
        edit(*window);
        QVERIFY(window->library().selectPath(fixture.library() / "书/0002_y.xml"));
        QCOMPARE(fixture.messages.size(), 1);  // asked once
        QCOMPARE(window->reading().chapterPath(), fixture.library() / "书/0002_y.xml");
    }
    QCOMPARE(test::readBytes(path), original);
    QVERIFY(!fs::exists(library::originalCopyPath(path)));
}

void ChapterSafetyTest::aFailedSaveIsSaidAndKeepsTheChapterOpen()
{
    GuiFixture fixture;
    fixture.addChapter("书/0001_a.xml", u"原来的文字"_s);
    fixture.addChapter("书/0002_b.xml");
    const fs::path path = fixture.library() / "书/0001_a.xml";
    const std::string before = test::readBytes(path);
    auto window = fixture.startWindow();
    QVERIFY(window->library().selectPath(path));
    edit(*window);
    {
        const FileSizeLimit full(16);
        window->router().trigger(kSaveChapter);
        QCOMPARE(fixture.messages.size(), 1);
        QVERIFY(fixture.messages.last().contains(QString::fromStdString(path.string())));
        QVERIFY(fixture.messages.last().contains(QString::fromUtf8(std::strerror(EFBIG))));
        QVERIFY(window->reading().isModified());

        // Opening another chapter saves first: it fails, so the chapter stays open and selected.
        window->library().selectPath(fixture.library() / "书/0002_b.xml");
        QTest::qWait(0);
        QCOMPARE(window->reading().chapterPath(), path);
        QCOMPARE(window->library().selectedPath(), path);
        QVERIFY(window->reading().isModified());

        // Closing asks before the edits are discarded; "no" keeps the window.
        fixture.answerYes = false;
        fixture.messages.clear();
        QVERIFY(!window->close());
        QCOMPARE(fixture.messages.size(), 2);  // the failure, then the question
        QVERIFY(window->isVisible());
        QVERIFY(window->reading().isModified());
    }
    QCOMPARE(test::readBytes(path), before);
    window->router().trigger(kSaveChapter);
    QVERIFY(!window->reading().isModified());
    QVERIFY(test::readBytes(path) != before);
}

void ChapterSafetyTest::aReadOnlyFolderIsSaidWithItsReason()
{
    if (::geteuid() == 0)
        QSKIP("root writes into read-only folders");
    GuiFixture fixture;
    fixture.addChapter("书/0001_a.xml", u"原来的文字"_s);
    const fs::path path = fixture.library() / "书/0001_a.xml";
    const std::string before = test::readBytes(path);
    auto window = fixture.startWindow();
    QVERIFY(window->library().selectPath(path));
    edit(*window);
    fs::permissions(path.parent_path(), fs::perms::owner_read | fs::perms::owner_exec);
    window->router().trigger(kSaveChapter);
    fs::permissions(path.parent_path(), fs::perms::owner_all);
    QCOMPARE(fixture.messages.size(), 1);
    QVERIFY(fixture.messages.last().contains(QString::fromUtf8(std::strerror(EACCES))));
    QVERIFY(window->reading().isModified());
    QCOMPARE(test::readBytes(path), before);
}

void ChapterSafetyTest::aChapterWhoseFileVanishedIsSaid()
{
    GuiFixture fixture;
    fixture.addChapter("书/0001_a.xml");
    fixture.addChapter("书/0002_b.xml");
    auto window = fixture.startWindow();
    QVERIFY(window->library().selectPath(fixture.library() / "书/0001_a.xml"));
    fs::remove(fixture.library() / "书/0002_b.xml");
    QVERIFY(window->library().selectPath(fixture.library() / "书/0002_b.xml"));
    QCOMPARE(fixture.messages, QStringList({u"文件不存在或正在使用中"_s}));
    QCOMPARE(window->reading().chapterPath(), fixture.library() / "书/0001_a.xml");
}

void ChapterSafetyTest::startingClearsWhatKilledSavesLeftInFoldersNeverOpened()
{
    GuiFixture fixture;
    fixture.addChapter("书/卷/0001_a.xml");
    // A temporary file as a killed writer leaves it: closed, unlocked, age given.
    const auto leave = [](const fs::path& chapter, std::chrono::seconds age) {
        auto made = platform::createTemporaryBeside(chapter, platform::FileAccess::Default);
        if (!made.ok())
            return fs::path();
        ::close(made->fd);
        fs::last_write_time(made->path, fs::file_time_type::clock::now() - age);
        return made->path;
    };
    const fs::path deep = leave(fixture.library() / "书/卷/0001_a.xml", std::chrono::hours(2));
    const fs::path young = leave(fixture.library() / "书/0002_b.xml", std::chrono::seconds(0));
    QVERIFY(fs::exists(deep) && fs::exists(young));
    auto window = fixture.startWindow();
    QTRY_VERIFY_WITH_TIMEOUT(!fs::exists(deep), 10000);
    // One written a moment ago may belong to a writer still at work.
    QVERIFY(fs::exists(young));
}

QTEST_MAIN(ChapterSafetyTest)
#include "chapter_safety_test.moc"
