// SPDX-License-Identifier: MIT
#include "gui/speech/queued_read_aloud_sink.h"

#include <condition_variable>
#include <memory>
#include <mutex>

namespace veyla::gui {

namespace {

// The GUI thread's answer to one nextChapter call. Shared, so that an
// answer arriving after the worker gave up waiting lands safely.
struct ChapterAnswer {
    std::mutex mutex;
    std::condition_variable_any ready;
    bool given = false;
    speech::ChapterSnapshot chapter;
};

}  // namespace

QueuedReadAloudSink::QueuedReadAloudSink(QObject& context, Handlers handlers)
    : m_context(context), m_handlers(std::move(handlers))
{
}

void QueuedReadAloudSink::post(std::function<void()> call)
{
    QMetaObject::invokeMethod(&m_context, std::move(call), Qt::QueuedConnection);
}

void QueuedReadAloudSink::paragraphStarted(std::size_t paragraph)
{
    post([handler = m_handlers.paragraphStarted, paragraph] { handler(paragraph); });
}

void QueuedReadAloudSink::pieceStarted(std::size_t paragraph, TextPos begin, TextPos end)
{
    post([handler = m_handlers.pieceStarted, paragraph, begin, end] { handler(paragraph, begin, end); });
}

void QueuedReadAloudSink::pieceFinished(std::size_t paragraph, TextPos begin, TextPos end)
{
    post([handler = m_handlers.pieceFinished, paragraph, begin, end] { handler(paragraph, begin, end); });
}

speech::ChapterSnapshot QueuedReadAloudSink::nextChapter(std::stop_token stop)
{
    auto answer = std::make_shared<ChapterAnswer>();
    post([handler = m_handlers.nextChapter, answer, stop] {
        // A run that was stopped meanwhile must not turn the page any more.
        speech::ChapterSnapshot chapter = stop.stop_requested() ? nullptr : handler();
        {
            std::lock_guard lock(answer->mutex);
            answer->chapter = std::move(chapter);
            answer->given = true;
        }
        answer->ready.notify_all();
    });
    std::unique_lock lock(answer->mutex);
    if (!answer->ready.wait(lock, stop, [&] { return answer->given; }))
        return nullptr;
    return answer->chapter;
}

void QueuedReadAloudSink::runEnded(speech::RunEnd end, const std::string& detail)
{
    post([handler = m_handlers.runEnded, end, detail] { handler(end, detail); });
}

}  // namespace veyla::gui
