// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

#include <functional>
#include <string>

#include "core/speech/read_aloud_runner.h"

namespace veyla::gui {

// Relays what a read-aloud worker reports to the GUI thread. Each call is
// queued to the context object's thread and returns at once; only
// nextChapter waits, for the GUI thread's answer or a stop request,
// whichever comes first, so the GUI thread may wait for the worker to end
// without a deadlock. The handlers run on the context's thread and never on
// the worker. The context must outlive every runner using this sink;
// calls still queued when it is destroyed are dropped.
class QueuedReadAloudSink final : public speech::ReadAloudSink {
public:
    struct Handlers {
        std::function<void(std::size_t paragraph)> paragraphStarted;
        std::function<void(std::size_t paragraph, TextPos begin, TextPos end)> pieceStarted;
        std::function<void(std::size_t paragraph, TextPos begin, TextPos end)> pieceFinished;
        // Opens the next chapter and returns its texts (see ReadAloudSink::nextChapter).
        std::function<speech::ChapterSnapshot()> nextChapter;
        std::function<void(speech::RunEnd end, const std::string& detail)> runEnded;
    };

    QueuedReadAloudSink(QObject& context, Handlers handlers);

    void paragraphStarted(std::size_t paragraph) override;
    void pieceStarted(std::size_t paragraph, TextPos begin, TextPos end) override;
    void pieceFinished(std::size_t paragraph, TextPos begin, TextPos end) override;
    speech::ChapterSnapshot nextChapter(std::stop_token stop) override;
    void runEnded(speech::RunEnd end, const std::string& detail) override;

private:
    void post(std::function<void()> call);

    QObject& m_context;
    const Handlers m_handlers;
};

}  // namespace veyla::gui
