// SPDX-License-Identifier: MIT
// The read-aloud sink that carries a worker's reports to the GUI thread.
#include <QTest>
#include <QThread>

#include <atomic>
#include <future>
#include <thread>

#include "gui/speech/queued_read_aloud_sink.h"

using namespace veyla;
using namespace veyla::gui;
using speech::ChapterSnapshot;
using speech::ChapterTexts;

class QueuedReadAloudSinkTest : public QObject {
    Q_OBJECT
private slots:
    void reportsArriveOnTheGuiThreadInOrder();
    void nextChapterWaitsForTheGuiThreadsAnswer();
    void nextChapterReturnsNullOnStopWithoutAnAnswer();
    void aStoppedRunDoesNotTurnThePage();
};

void QueuedReadAloudSinkTest::reportsArriveOnTheGuiThreadInOrder()
{
    QObject context;
    std::vector<std::string> calls;
    std::atomic<bool> offThread{false};
    const auto note = [&](std::string call) {
        offThread = offThread || QThread::currentThread() != context.thread();
        calls.push_back(std::move(call));
    };
    QueuedReadAloudSink::Handlers handlers;
    handlers.paragraphStarted = [&](std::size_t p) { note("paragraph " + std::to_string(p)); };
    handlers.pieceStarted = [&](std::size_t p, TextPos b, TextPos e) {
        note("start " + std::to_string(p) + ":" + std::to_string(b) + "-" + std::to_string(e));
    };
    handlers.pieceFinished = [&](std::size_t p, TextPos b, TextPos e) {
        note("finish " + std::to_string(p) + ":" + std::to_string(b) + "-" + std::to_string(e));
    };
    handlers.runEnded = [&](speech::RunEnd end, const std::string& detail) {
        note("end " + std::to_string(static_cast<int>(end)) + " " + detail);
    };
    QueuedReadAloudSink sink(context, handlers);
    std::thread worker([&] {
        sink.paragraphStarted(2);
        sink.pieceStarted(2, 0, 11);
        sink.pieceFinished(2, 0, 11);
        sink.runEnded(speech::RunEnd::Failed, "device lost");
    });
    worker.join();
    // Nothing runs on the worker: the calls wait for the GUI thread's event loop.
    QVERIFY(calls.empty());
    QTRY_COMPARE(calls.size(), std::size_t{4});
    QCOMPARE(calls, (std::vector<std::string>{"paragraph 2", "start 2:0-11", "finish 2:0-11", "end 4 device lost"}));
    QVERIFY(!offThread);
}

void QueuedReadAloudSinkTest::nextChapterWaitsForTheGuiThreadsAnswer()
{
    QObject context;
    auto next = std::make_shared<const ChapterTexts>(ChapterTexts{u"第二章\r"});
    QueuedReadAloudSink::Handlers handlers;
    bool onGuiThread = false;
    handlers.nextChapter = [&] {
        onGuiThread = QThread::currentThread() == context.thread();
        return next;
    };
    QueuedReadAloudSink sink(context, handlers);
    std::stop_source stop;
    auto answer = std::async(std::launch::async, [&] { return sink.nextChapter(stop.get_token()); });
    QCOMPARE(answer.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    QTRY_VERIFY(answer.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready);
    QCOMPARE(answer.get(), ChapterSnapshot(next));
    QVERIFY(onGuiThread);
}

void QueuedReadAloudSinkTest::nextChapterReturnsNullOnStopWithoutAnAnswer()
{
    QObject context;
    QueuedReadAloudSink::Handlers handlers;
    handlers.nextChapter = [] { return std::make_shared<const ChapterTexts>(); };
    QueuedReadAloudSink sink(context, handlers);
    std::stop_source stop;
    // The GUI thread does not run its event loop, as while it waits for the worker.
    auto answer = std::async(std::launch::async, [&] { return sink.nextChapter(stop.get_token()); });
    QCOMPARE(answer.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    stop.request_stop();
    QCOMPARE(answer.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    QVERIFY(answer.get() == nullptr);
}

void QueuedReadAloudSinkTest::aStoppedRunDoesNotTurnThePage()
{
    QObject context;
    int turned = 0;
    QueuedReadAloudSink::Handlers handlers;
    handlers.nextChapter = [&] {
        ++turned;
        return std::make_shared<const ChapterTexts>();
    };
    QueuedReadAloudSink sink(context, handlers);
    std::stop_source stop;
    auto answer = std::async(std::launch::async, [&] { return sink.nextChapter(stop.get_token()); });
    QCOMPARE(answer.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    stop.request_stop();
    QVERIFY(answer.get() == nullptr);
    // The request still queued reaches the GUI thread after the stop.
    QTest::qWait(20);
    QCOMPARE(turned, 0);
}

QTEST_MAIN(QueuedReadAloudSinkTest)
#include "queued_read_aloud_sink_test.moc"
