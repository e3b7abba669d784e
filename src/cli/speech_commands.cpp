// SPDX-License-Identifier: MIT
#include "cli/speech_commands.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <ostream>

#include "cli/cli_context.h"
#include "cli/interrupt_watcher.h"
#include "cli/progress_bar.h"
#include "cli/speech_options.h"
#include "core/import/text_decoder.h"
#include "core/library/chapter_file.h"
#include "core/speech/alsa_output.h"
#include "core/speech/audio_path.h"
#include "core/speech/audio_renderer.h"
#include "core/speech/book_file.h"
#include "core/speech/chapter_text.h"
#include "core/speech/null_output.h"
#include "core/speech/read_aloud_runner.h"
#include "core/speech/render_workers.h"
#include "core/speech/sleep_timer.h"
#include "core/util/utf16.h"

namespace veyla::cli {

namespace fs = std::filesystem;
using namespace speech;

namespace {

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool isChapterPath(const std::string& argument)
{
    return argument.size() > 4 && argument.substr(argument.size() - 4) == ".xml";
}

// The paragraphs of a chapter file (inline marks removed) or of a text
// file in any encoding the import reads (one paragraph per line that is
// not blank).
Result<ChapterTexts> readParagraphs(CliContext& context, const std::string& argument)
{
    ChapterTexts paragraphs;
    if (isChapterPath(argument)) {
        auto chapter = library::readChapter(context.libraryPath(argument), {});
        if (!chapter)
            return chapter.error();
        for (const auto& paragraph : chapter->paragraphs)
            paragraphs.push_back(removeInlineMarks(paragraph.text()));
        return paragraphs;
    }
    std::error_code ec;
    const fs::path path = fs::exists(argument, ec) ? fs::path(argument) : context.libraryPath(argument);
    auto decoded = import::decodeTextFile(path);
    if (!decoded)
        return decoded.error();
    const std::u16string& text = decoded->text;
    for (TextPos pos = 0; pos < static_cast<TextPos>(text.size());) {
        const TextPos end = utf16::lineEndOf(pos, text);
        std::u16string line = text.substr(static_cast<std::size_t>(pos), static_cast<std::size_t>(end - pos));
        std::erase(line, u'\n');
        if (!utf16::trim(line, u" \t\r\u3000").empty())
            paragraphs.push_back(line.back() == u'\r' ? line : line + u'\r');
        pos = end;
    }
    return paragraphs;
}

// Prints each piece as it is spoken. The run ends with the text, or, when
// following chapters are given, goes on into them (printing each one's
// name first) and ends after the last.
class PrintingSink final : public ReadAloudSink {
public:
    PrintingSink(std::ostream& out, ChapterSnapshot first, std::vector<AudioJobItem> following = {})
        : m_out(out), m_current(std::move(first)), m_following(std::move(following))
    {
    }

    void paragraphStarted(std::size_t) override {}
    void pieceStarted(std::size_t paragraph, TextPos begin, TextPos end) override
    {
        std::u16string piece = (*current())[paragraph].substr(static_cast<std::size_t>(begin),
                                                              static_cast<std::size_t>(end - begin));
        std::erase(piece, u'\r');
        m_out << utf16::toUtf8(piece) << std::endl;
    }
    void pieceFinished(std::size_t, TextPos, TextPos) override {}
    ChapterSnapshot nextChapter(std::stop_token) override
    {
        while (m_next < m_following.size()) {
            const AudioJobItem& item = m_following[m_next++];
            auto chapter = library::readChapter(item.chapter, {});
            if (!chapter)
                continue;  // an unreadable chapter is passed over, as the view would show nothing
            ChapterTexts paragraphs;
            for (const auto& paragraph : chapter->paragraphs)
                paragraphs.push_back(removeInlineMarks(paragraph.text()));
            m_out << "[" << utf16::toUtf8(item.text) << "]" << std::endl;
            std::lock_guard lock(m_mutex);
            m_current = std::make_shared<const ChapterTexts>(std::move(paragraphs));
            m_currentPath = item.chapter;
            return m_current;
        }
        return nullptr;
    }
    void runEnded(RunEnd end, const std::string& detail) override
    {
        std::lock_guard lock(m_mutex);
        m_end = end;
        m_detail = detail;
    }
    RunEnd end() const
    {
        std::lock_guard lock(m_mutex);
        return m_end;
    }
    std::string detail() const
    {
        std::lock_guard lock(m_mutex);
        return m_detail;
    }
    // The chapter read last (empty while the first one is read).
    fs::path currentPath() const
    {
        std::lock_guard lock(m_mutex);
        return m_currentPath;
    }

private:
    ChapterSnapshot current() const
    {
        std::lock_guard lock(m_mutex);
        return m_current;
    }

    std::ostream& m_out;
    mutable std::mutex m_mutex;
    ChapterSnapshot m_current;
    fs::path m_currentPath;
    std::vector<AudioJobItem> m_following;
    std::size_t m_next = 0;
    RunEnd m_end = RunEnd::Stopped;
    std::string m_detail;
};

// The chapters after the given chapter of the library, in reading order.
std::vector<AudioJobItem> chaptersAfter(CliContext& context, const std::string& argument)
{
    if (!isChapterPath(argument))
        return {};
    library::LibraryTree tree(context.folders().libraryFolder());
    auto items = chaptersToRender(tree, tree.findByPath(context.libraryPath(argument)));
    if (!items.empty())
        items.erase(items.begin());
    return items;
}

std::unique_ptr<AudioOutput> speakingOutput(CliContext& context, const SpeechArguments& arguments, int& exitCode)
{
    if (arguments.to)
        return std::make_unique<NullOutput>(NullPace::Instant);
    if (arguments.device) {
        auto alsa = AlsaOutput::open(*arguments.device);
        if (!alsa) {
            exitCode = context.fail("speak", alsa.error());
            return nullptr;
        }
        return std::move(*alsa);
    }
    OutputChoice choice = openDefaultOutput(NullPace::RealTime);
    if (choice.kind == OutputKind::Null)
        context.err() << "veyla-cli: speak: no sound device (" << choice.reason
                      << "); speaking to the null output in real time\n";
    return std::move(choice.output);
}

int speakToWavFile(CliContext& context, SpeechEngine& engine, const ChapterTexts& paragraphs, const fs::path& to)
{
    std::u16string text;
    for (const auto& paragraph : paragraphs)
        text += (text.empty() ? u"" : u"\n") + paragraph;
    std::error_code ec;
    if (to.has_parent_path())
        fs::create_directories(to.parent_path(), ec);
    const auto seconds = engine.speakToFile(to, text);
    if (!seconds)
        return context.fail("speak", seconds.error());
    context.out() << to.string() << ": " << clockTime(*seconds) << " of audio\n";
    return kExitOk;
}

}  // namespace

int runVoices(CliContext& context, const std::vector<std::string>& args)
{
    if (!args.empty())
        return context.usage("voices", "takes no arguments");
    int exitCode = kExitOk;
    auto engine = makeEngine(context, "voices", std::make_unique<NullOutput>(NullPace::Instant), {}, exitCode);
    if (engine == nullptr)
        return exitCode;
    const auto voices = engine->voices();
    for (std::size_t i = 0; i < voices.size(); ++i) {
        std::string languages;
        for (const auto& language : voices[i].languages)
            languages += (languages.empty() ? "" : ",") + language;
        char line[256];
        std::snprintf(line, sizeof line, "%c %3zu  %-22s %-28s %s\n",
                      static_cast<int>(i) == engine->preferredVoice() ? '*' : ' ', i, voices[i].displayName.c_str(),
                      languages.c_str(), voices[i].description.c_str());
        context.out() << line;
    }
    if (voices.empty())
        context.out() << "请先下载语音包\n";
    else if (engine->preferredVoice() >= 0)
        context.out() << "* the Chinese voice used unless --voice names another\n";
    return kExitOk;
}

int runSpeak(CliContext& context, const std::vector<std::string>& args)
{
    const SpeechArguments arguments = parseSpeechArguments(args, {"--to", "--device", "--for", "--chapters"});
    if (!arguments.problem.empty())
        return context.usage("speak", arguments.problem);
    if (arguments.positional.size() != 1)
        return context.usage("speak", "expects one chapter or text file");
    const bool timed = arguments.sleepFor || arguments.sleepChapters;
    if (timed && arguments.to)
        return context.usage("speak", "--for and --chapters are for reading aloud, not --to");
    if (arguments.sleepFor && arguments.sleepChapters)
        return context.usage("speak", "give either --for or --chapters");
    auto paragraphs = readParagraphs(context, arguments.positional.front());
    if (!paragraphs)
        return context.fail("speak", paragraphs.error());
    // Ctrl-C stops reading after the current piece. The watcher exists
    // before any other thread, so the signal reaches it.
    std::stop_source interrupted;
    InterruptWatcher watcher([&interrupted] { interrupted.request_stop(); });
    int exitCode = kExitOk;
    auto output = speakingOutput(context, arguments, exitCode);
    if (output == nullptr)
        return exitCode;
    auto engine = makeEngine(context, "speak", std::move(output), arguments, exitCode);
    if (engine == nullptr)
        return exitCode;
    if (arguments.to)
        return speakToWavFile(context, *engine, *paragraphs, *arguments.to);

    // With a sleep timer, reading goes on into the chapters that follow
    // until the timer ends it.
    const SteadySleepClock clock;
    SleepTimer timer(clock);
    if (arguments.sleepFor)
        timer.armFor(*arguments.sleepFor);
    else if (arguments.sleepChapters)
        timer.arm({SleepKind::Chapters, *arguments.sleepChapters});
    const auto snapshot = std::make_shared<const ChapterTexts>(std::move(*paragraphs));
    PrintingSink sink(context.out(), snapshot, timed ? chaptersAfter(context, arguments.positional.front())
                                                     : std::vector<AudioJobItem>{});
    ReadAloudRunner runner(*engine, sink, timed ? &timer : nullptr);
    if (Status started = runner.start({ReadAloudMode::WholeChapter, snapshot, 0, 0}); !started)
        return context.fail("speak", started.error());
    std::stop_callback onInterrupt(interrupted.get_token(), [&runner] { runner.stop(); });
    runner.wait();
    if (sink.end() == RunEnd::Failed)
        return context.fail("speak", sink.detail());
    if (sink.end() == RunEnd::TimerEnded) {
        const fs::path at = sink.currentPath();
        context.err() << "veyla-cli: speak: the sleep timer ended reading"
                      << (at.empty() ? std::string() : " at " + at.lexically_relative(context.folders().libraryFolder()).string()) << '\n';
    }
    return interrupted.stop_requested() ? kExitInterrupted : kExitOk;
}

int runAudio(CliContext& context, const std::vector<std::string>& args)
{
    const SpeechArguments arguments = parseSpeechArguments(args, {"--jobs", "--format"});
    if (!arguments.problem.empty())
        return context.usage("audio", arguments.problem);
    if (arguments.positional.size() != 1)
        return context.usage("audio", "expects one book, folder or chapter of the library");
    library::LibraryTree tree(context.folders().libraryFolder());
    library::LibraryTree::Node* item = tree.findByPath(context.libraryPath(arguments.positional.front()));
    if (item == nullptr)
        return context.fail("audio", arguments.positional.front() + ": not in the library");
    const auto items = chaptersToRender(tree, item);
    std::stop_source stop;
    InterruptWatcher watcher([&] {
        stop.request_stop();
        context.err() << "\nveyla-cli: audio: stopping after the chapters being rendered\n";
    });
    // The engine here only checks that speech works and finds the voice;
    // the workers render, each with an engine of its own.
    int exitCode = kExitOk;
    auto engine = makeEngine(context, "audio", std::make_unique<NullOutput>(NullPace::Instant), arguments, exitCode);
    if (engine == nullptr)
        return exitCode;
    const AudioFormat format = arguments.format.value_or(AudioFormat::Wav);
    WorkerCommand worker{fs::read_symlink("/proc/self/exe"),
                         {"--voice", std::to_string(engine->selectedVoice()), "--rate", std::to_string(engine->rate())}};
    engine.reset();

    const auto start = std::chrono::steady_clock::now();
    RenderSummary summary;
    fs::path folder;
    {
        ProgressBar bar(context.out(), context.outputIsTerminal(), "audio");
        summary = renderInWorkers(worker, context.folders().dataFolder, items, arguments.jobs.value_or(defaultRenderJobs()),
                                  format, stop.get_token(), [&](const RenderStep& step) {
                                      if (!step.audioFolder.empty())
                                          folder = step.audioFolder;
                                      bar.update(step.index - (step.text == kRenderDoneText ? 0 : 1), step.total);
                                  });
    }
    auto& out = context.out();
    char line[160];
    std::snprintf(line, sizeof line, "%d rendered, %d skipped (already rendered), %zu failed%s; audio %s; took %.1f s\n",
                  summary.rendered, summary.existing, summary.failures.size(), summary.stopped ? " (stopped)" : "",
                  clockTime(summary.audioSeconds).c_str(), secondsSince(start));
    out << line;
    if (summary.outside > 0)
        out << summary.outside << " chapters lie outside the data folder and have no audio file\n";
    if (!folder.empty())
        out << "audio folder: " << folder.string() << '\n';
    for (const auto& [chapter, error] : summary.failures)
        context.fail("audio", chapter.string() + ": " + error.detail);
    bool booksFailed = false;
    if (format == AudioFormat::M4b && !summary.stopped) {
        const BookFilesSummary books = makeBookFiles(context.folders().dataFolder, items);
        for (const auto& file : books.made)
            out << "book file: " << file.string() << '\n';
        for (const auto& file : books.kept)
            out << "book file (up to date): " << file.string() << '\n';
        for (const auto& [book, error] : books.failures)
            context.fail("audio", book.string() + ": " + error.detail);
        booksFailed = !books.failures.empty();
    }
    if (!summary.failures.empty() || booksFailed)
        return kExitFailure;
    return summary.stopped ? kExitInterrupted : kExitOk;
}

int runRenderWorker(CliContext& context, const std::vector<std::string>& args)
{
    const SpeechArguments arguments = parseSpeechArguments(args, {});
    if (!arguments.problem.empty() || !arguments.positional.empty())
        return context.usage(kRenderWorkerOption, arguments.problem.empty() ? "takes no arguments" : arguments.problem);
    const EngineFactory factory = [&]() -> Result<std::unique_ptr<SpeechEngine>> {
        int exitCode = kExitOk;
        auto engine =
            makeEngine(context, kRenderWorkerOption, std::make_unique<NullOutput>(NullPace::Instant), arguments, exitCode);
        if (engine == nullptr)
            return Error{ErrorCode::EngineUnavailable, "the speech engine cannot start in the rendering process"};
        return std::unique_ptr<SpeechEngine>(std::move(engine));
    };
    return speech::runRenderWorker(factory, context.in(), context.out());
}

}  // namespace veyla::cli
