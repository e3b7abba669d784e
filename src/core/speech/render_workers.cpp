// SPDX-License-Identifier: MIT
#include "core/speech/render_workers.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <map>
#include <optional>
#include <thread>

#include "core/platform/app_folders.h"
#include "core/platform/file_io.h"
#include "core/speech/audio_path.h"
#include "core/library/library_folder.h"
#include "core/speech/chapter_text.h"
#include "core/speech/opus_file.h"
#include "core/util/utf16.h"

extern char** environ;

namespace veyla::speech {

namespace fs = std::filesystem;

namespace {

// How often the parent looks at the stop token while workers are busy.
constexpr int kPollMilliseconds = 100;
// Workers run at this niceness, below the reading process.
constexpr int kWorkerNiceness = 10;

std::string describeExit(int status)
{
    if (WIFSIGNALED(status))
        return "the rendering process was ended by signal " + std::to_string(WTERMSIG(status));
    if (WIFEXITED(status))
        return "the rendering process exited with status " + std::to_string(WEXITSTATUS(status));
    return "the rendering process ended";
}

struct Worker {
    pid_t pid = -1;
    int socket = -1;
    std::string received;
    std::optional<std::size_t> job;  // index into items while busy
    fs::path scratch;
};

// Starts one worker with the socket's other end as its standard input and output.
Result<Worker> spawnWorker(const WorkerCommand& command)
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return Error{ErrorCode::Unsupported, std::string("socketpair: ") + std::strerror(errno)};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    std::vector<std::string> words = {command.program.string(), kRenderWorkerOption};
    words.insert(words.end(), command.arguments.begin(), command.arguments.end());
    std::vector<char*> argv;
    for (auto& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, command.program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[1]);
    if (rc != 0) {
        ::close(ends[0]);
        return Error{ErrorCode::Unsupported, "cannot start " + command.program.string() + ": " + std::strerror(rc)};
    }
    Worker worker;
    worker.pid = pid;
    worker.socket = ends[0];
    return worker;
}

// Sends all of text; false when the worker is gone (no SIGPIPE).
bool sendAll(int socket, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t sent = ::send(socket, text.data(), text.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        text.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

// Closes the socket (the worker sees the end of its input and exits) and reaps it.
int retire(Worker& worker)
{
    if (worker.socket >= 0)
        ::close(worker.socket);
    worker.socket = -1;
    int status = 0;
    if (worker.pid > 0) {
        while (::waitpid(worker.pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    worker.pid = -1;
    return status;
}

// The file a chapter's audio goes to, or nothing when the chapter needs no
// rendering: it lies outside the data folder, or its audio is there
// already (the resume rule). Either is counted in summary.
std::optional<fs::path> audioFileToMake(const std::optional<AudioTarget>& target, AudioFormat format,
                                        RenderSummary& summary)
{
    if (!target) {
        ++summary.outside;
        return std::nullopt;
    }
    platform::makeFoldersForPath(target->file);
    fs::path file = chapterAudioFile(target->file, format);
    std::error_code ec;
    if (fs::exists(file, ec)) {
        ++summary.existing;
        return std::nullopt;
    }
    return file;
}

// The hidden folder beside file in which chapter index is made.
fs::path scratchFolderFor(const fs::path& file, std::size_t index)
{
    return file.parent_path() / (".veyla-render-" + std::to_string(::getpid()) + "-" + std::to_string(index));
}

std::vector<std::string> jobFields(const AudioJobItem& item, const fs::path& file, const fs::path& scratch,
                                   const AudioTags& tags)
{
    return {"job",     item.chapter.string(), file.string(),           scratch.string(),          tags.title,
            tags.album, tags.artist,          std::to_string(tags.track), std::to_string(tags.tracks)};
}

// Counts a chapter's report ("ok SECONDS", "exists" or "fail CODE DETAIL") in summary.
void account(RenderSummary& summary, const fs::path& chapter, const std::vector<std::string>& report)
{
    if (!report.empty() && report[0] == "ok" && report.size() == 2) {
        ++summary.rendered;
        summary.audioSeconds += std::strtod(report[1].c_str(), nullptr);
    } else if (!report.empty() && report[0] == "exists") {
        ++summary.existing;
    } else if (!report.empty() && report[0] == "fail" && report.size() == 3) {
        const int code = std::atoi(report[1].c_str());
        summary.failures.emplace_back(chapter, Error{static_cast<ErrorCode>(code), report[2]});
    } else {
        summary.failures.emplace_back(chapter,
                                      Error{ErrorCode::Unsupported, "the rendering process answered something unknown"});
    }
}

std::vector<std::string> renderJob(SpeechEngine& engine, const std::vector<std::string>& job);

class Dispatcher {
public:
    Dispatcher(const WorkerCommand& command, const fs::path& dataFolder, const std::vector<AudioJobItem>& items,
               int jobs, AudioFormat format, const RenderProgress& progress)
        : m_command(command), m_dataFolder(dataFolder), m_items(items),
          m_jobs(static_cast<std::size_t>(std::max(jobs, 1))), m_format(format), m_tags(tagsOf(items)),
          m_progress(progress)
    {
    }

    RenderSummary run(const std::stop_token& stop)
    {
        for (std::size_t i = 0; i < m_items.size(); ++i)
            m_pending.push_back(i);
        while (true) {
            while (!stop.stop_requested() && !m_pending.empty() && assignNext()) {
            }
            if (busyCount() == 0 && (stop.stop_requested() || m_pending.empty()))
                break;
            if (busyCount() == 0)
                continue;  // every pending chapter was settled without a worker
            waitForReports();
        }
        for (auto& worker : m_workers)
            retire(worker);
        m_summary.stopped = stop.stop_requested() && (!m_pending.empty() || m_begun < m_items.size());
        if (!m_summary.stopped && m_progress)
            m_progress({std::u16string(kRenderDoneText), {}, m_items.size(), m_items.size()});
        return m_summary;
    }

private:
    std::size_t busyCount() const
    {
        std::size_t busy = 0;
        for (const auto& worker : m_workers)
            busy += worker.job ? 1 : 0;
        return busy;
    }

    // Takes the next pending chapter: settles it at once when it needs no
    // rendering, else gives it to an idle worker. False when no worker is free.
    bool assignNext()
    {
        const std::size_t index = m_pending.front();
        const AudioJobItem& item = m_items[index];
        const auto target = audioTargetFor(m_dataFolder, item.chapter);
        Worker* worker = target ? idleWorker() : nullptr;
        if (target && worker == nullptr && !m_spawnFailure)
            return false;
        m_pending.pop_front();
        ++m_begun;
        if (m_progress)
            m_progress({item.text, target ? target->folder : fs::path(), m_begun, m_items.size()});
        const auto file = audioFileToMake(target, m_format, m_summary);
        if (!file)
            return true;
        if (worker == nullptr) {
            m_summary.failures.emplace_back(item.chapter, *m_spawnFailure);
            return true;
        }
        worker->scratch = scratchFolderFor(*file, index);
        std::error_code ec;
        fs::remove_all(worker->scratch, ec);
        worker->job = index;
        const std::string line = joinWorkerFields(jobFields(item, *file, worker->scratch, m_tags[index]));
        if (!sendAll(worker->socket, line))
            workerDied(*worker);
        return true;
    }

    // An idle worker, started when fewer than jobs run; null when all are
    // busy or a worker cannot be started (m_spawnFailure says why).
    Worker* idleWorker()
    {
        for (auto& worker : m_workers) {
            if (!worker.job && worker.pid > 0)
                return &worker;
        }
        std::erase_if(m_workers, [](const Worker& w) { return w.pid <= 0; });
        if (m_workers.size() >= m_jobs)
            return nullptr;
        auto spawned = spawnWorker(m_command);
        if (!spawned) {
            m_spawnFailure = spawned.error();
            return nullptr;
        }
        m_workers.push_back(std::move(*spawned));
        return &m_workers.back();
    }

    void waitForReports()
    {
        std::vector<pollfd> fds;
        std::vector<Worker*> owners;
        for (auto& worker : m_workers) {
            if (worker.job) {
                fds.push_back({worker.socket, POLLIN, 0});
                owners.push_back(&worker);
            }
        }
        if (::poll(fds.data(), fds.size(), kPollMilliseconds) <= 0)
            return;
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].revents == 0)
                continue;
            Worker& worker = *owners[i];
            char buffer[4096];
            const ssize_t got = ::recv(worker.socket, buffer, sizeof buffer, 0);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                workerDied(worker);
                continue;
            }
            worker.received.append(buffer, static_cast<std::size_t>(got));
            for (auto end = worker.received.find('\n'); end != std::string::npos && worker.job;
                 end = worker.received.find('\n')) {
                const std::string line = worker.received.substr(0, end);
                worker.received.erase(0, end + 1);
                settle(worker, splitWorkerFields(line));
            }
        }
    }

    void settle(Worker& worker, const std::vector<std::string>& report)
    {
        account(m_summary, m_items[*worker.job].chapter, report);
        std::error_code ec;
        fs::remove_all(worker.scratch, ec);
        worker.job.reset();
    }

    void workerDied(Worker& worker)
    {
        const int status = retire(worker);
        if (worker.job) {
            m_summary.failures.emplace_back(m_items[*worker.job].chapter,
                                            Error{ErrorCode::WriteFailed, describeExit(status)});
            worker.job.reset();
        }
        std::error_code ec;
        fs::remove_all(worker.scratch, ec);  // what the worker left half made
    }

    const WorkerCommand& m_command;
    const fs::path& m_dataFolder;
    const std::vector<AudioJobItem>& m_items;
    const std::size_t m_jobs;
    const AudioFormat m_format;
    const std::vector<AudioTags> m_tags;
    const RenderProgress& m_progress;
    std::deque<std::size_t> m_pending;
    std::size_t m_begun = 0;
    std::vector<Worker> m_workers;
    std::optional<Error> m_spawnFailure;
    RenderSummary m_summary;
};

std::string escapeField(std::string_view field)
{
    std::string out;
    for (const char c : field) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

// Links a finished file of the scratch folder to its place; false with
// errno EEXIST when a file is there already.
bool publish(const fs::path& made, const fs::path& target)
{
    return ::link(made.c_str(), target.c_str()) == 0;
}

// Renders one chapter in the worker; returns the report fields.
std::vector<std::string> renderJob(SpeechEngine& engine, const std::vector<std::string>& job)
{
    const fs::path chapter = job[1];
    const fs::path target = job[2];
    const fs::path scratch = job[3];
    const AudioTags tags{job[4], job[5], job[6], std::atoi(job[7].c_str()), std::atoi(job[8].c_str())};
    const auto failure = [](const Error& error) {
        return std::vector<std::string>{"fail", std::to_string(static_cast<int>(error.code)), error.detail};
    };
    auto text = readChapterPlainText(chapter);
    if (!text)
        return failure(text.error());
    std::error_code ec;
    if (!fs::create_directory(scratch, ec))
        return failure(Error{ErrorCode::WriteFailed, scratch.string() + ": cannot make the scratch folder"});
    const fs::path wav = scratch / fs::path(target.filename()).replace_extension(".wav");
    fs::path made = wav;
    auto audio = renderChapterAudio(engine, wav, *text);
    Status done = audio ? Status() : Status(audio.error());
    if (done && target.extension() == ".opus") {
        made = scratch / target.filename();
        done = encodeOpusFile(wav, made, tags);
    }
    const fs::path lrc = scratch / fs::path(target.filename()).replace_extension(".lrc");
    if (done)
        done = platform::writeFileAtomically(lrc, lrcText(audio->lyrics, tags));
    std::vector<std::string> report;
    if (!done) {
        report = failure(done.error());
    } else if (!publish(made, target)) {
        report = errno == EEXIST ? std::vector<std::string>{"exists"}
                                 : failure(Error{ErrorCode::WriteFailed, target.string() + ": " + std::strerror(errno)});
    } else {
        // The lyrics go beside the audio unless a file is there already.
        (void)publish(lrc, fs::path(target).replace_extension(".lrc"));
        char number[32];
        std::snprintf(number, sizeof number, "%.3f", audio->seconds);
        report = {"ok", number};
    }
    fs::remove_all(scratch, ec);
    return report;
}

}  // namespace

int defaultRenderJobs()
{
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

std::string joinWorkerFields(const std::vector<std::string>& fields)
{
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i)
        line += (i == 0 ? "" : "\t") + escapeField(fields[i]);
    return line + '\n';
}

std::vector<std::string> splitWorkerFields(std::string_view line)
{
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\t') {
            fields.emplace_back();
        } else if (c == '\\' && i + 1 < line.size()) {
            const char next = line[++i];
            fields.back() += next == 't' ? '\t' : next == 'n' ? '\n' : next;
        } else if (c != '\n') {
            fields.back() += c;
        }
    }
    return fields;
}

std::optional<AudioFormat> audioFormatNamed(std::string_view name)
{
    for (AudioFormat format : {AudioFormat::Wav, AudioFormat::Opus, AudioFormat::M4b}) {
        if (audioFormatName(format) == name)
            return format;
    }
    return std::nullopt;
}

std::string_view audioFormatName(AudioFormat format)
{
    switch (format) {
    case AudioFormat::Opus: return "opus";
    case AudioFormat::M4b: return "m4b";
    case AudioFormat::Wav: break;
    }
    return "wav";
}

fs::path chapterAudioFile(const fs::path& wavTarget, AudioFormat format)
{
    return format == AudioFormat::Opus ? fs::path(wavTarget).replace_extension(".opus") : wavTarget;
}

std::vector<AudioTags> tagsOf(const std::vector<AudioJobItem>& items)
{
    std::vector<AudioTags> tags;
    std::map<fs::path, int> counts;
    for (const auto& item : items)
        ++counts[item.chapter.parent_path()];
    std::map<fs::path, int> seen;
    for (const auto& item : items) {
        const fs::path book = item.chapter.parent_path();
        AudioTags tag;
        tag.title = utf16::toUtf8(item.text);
        tag.album = utf16::toUtf8(library::itemText(library::pathText(book.filename()), library::ItemKind::Folder));
        tag.artist = "Veyla";
        tag.track = ++seen[book];
        tag.tracks = counts[book];
        tags.push_back(std::move(tag));
    }
    return tags;
}

RenderSummary renderInWorkers(const WorkerCommand& command, const fs::path& dataFolder,
                              const std::vector<AudioJobItem>& items, int jobs, AudioFormat format,
                              std::stop_token stop, const RenderProgress& progress)
{
    Dispatcher dispatcher(command, dataFolder, items, jobs, format, progress);
    return dispatcher.run(stop);
}

RenderSummary renderInThisProcess(SpeechEngine& engine, const fs::path& dataFolder,
                                  const std::vector<AudioJobItem>& items, AudioFormat format, std::stop_token stop,
                                  const RenderProgress& progress)
{
    RenderSummary summary;
    const std::vector<AudioTags> tags = tagsOf(items);
    std::size_t begun = 0;
    for (; begun < items.size() && !stop.stop_requested(); ++begun) {
        const AudioJobItem& item = items[begun];
        const auto target = audioTargetFor(dataFolder, item.chapter);
        if (progress)
            progress({item.text, target ? target->folder : fs::path(), begun + 1, items.size()});
        const auto file = audioFileToMake(target, format, summary);
        if (!file)
            continue;
        const fs::path scratch = scratchFolderFor(*file, begun);
        std::error_code ec;
        fs::remove_all(scratch, ec);
        // Not stoppable: a chapter that has begun is written whole.
        account(summary, item.chapter, renderJob(engine, jobFields(item, *file, scratch, tags[begun])));
        fs::remove_all(scratch, ec);
    }
    summary.stopped = stop.stop_requested() && begun < items.size();
    if (!summary.stopped && progress)
        progress({std::u16string(kRenderDoneText), {}, items.size(), items.size()});
    return summary;
}

int runRenderWorker(const EngineFactory& makeEngine, std::istream& in, std::ostream& out)
{
    // Below the reading process: a chapter waits, a spoken piece does not.
    ::setpriority(PRIO_PROCESS, 0, kWorkerNiceness);
    std::unique_ptr<SpeechEngine> engine;
    std::optional<Error> engineFailure;
    std::string line;
    while (std::getline(in, line)) {
        const auto job = splitWorkerFields(line);
        std::vector<std::string> report;
        if (job.size() != 9 || job[0] != "job") {
            report = {"fail", std::to_string(static_cast<int>(ErrorCode::InvalidArgument)), "not a job: " + line};
        } else {
            if (engine == nullptr && !engineFailure) {
                auto made = makeEngine();
                if (made)
                    engine = std::move(*made);
                else
                    engineFailure = made.error();
            }
            report = engine != nullptr ? renderJob(*engine, job)
                                       : std::vector<std::string>{"fail",
                                                                  std::to_string(static_cast<int>(engineFailure->code)),
                                                                  engineFailure->detail};
        }
        out << joinWorkerFields(report) << std::flush;
    }
    return 0;
}

}  // namespace veyla::speech
