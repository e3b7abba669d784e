// SPDX-License-Identifier: MIT
#include "core/speech/book_file.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>

#include "core/platform/file_io.h"
#include "core/speech/audio_path.h"
#include "core/speech/render_workers.h"
#include "core/speech/wav_file.h"

extern char** environ;

namespace veyla::speech {

namespace fs = std::filesystem;

namespace {

constexpr const char* kAacBitRate = "64k";

std::string escapeMetadata(const std::string& value)
{
    std::string out;
    for (const char c : value) {
        if (c == '=' || c == ';' || c == '#' || c == '\\' || c == '\n')
            out += '\\';
        out += c;
    }
    return out;
}

// Runs ffmpeg with args, its error output into errors; the exit status or the spawn failure.
Status runFfmpeg(const std::string& ffmpeg, const std::vector<std::string>& args, const fs::path& errors)
{
    std::vector<std::string> words = {ffmpeg};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    const int rc = ::posix_spawnp(&pid, ffmpeg.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return Error{ErrorCode::EngineUnavailable,
                     "M4B needs ffmpeg (Debian package ffmpeg): " + ffmpeg + ": " + std::strerror(rc)};
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return {};
    std::string said;
    if (auto bytes = platform::readWholeFile(errors); bytes)
        said = bytes->substr(0, 400);
    while (!said.empty() && (said.back() == '\n' || said.back() == '\r'))
        said.pop_back();
    return Error{ErrorCode::WriteFailed, "ffmpeg failed" + (said.empty() ? std::string() : ": " + said)};
}

fs::file_time_type modified(const fs::path& path)
{
    std::error_code ec;
    const auto time = fs::last_write_time(path, ec);
    return ec ? fs::file_time_type::min() : time;
}

// Makes one book's file from its chapters (all of which have WAV files).
Status makeBookFile(const fs::path& file, const AudioTags& book, const std::vector<BookChapter>& chapters,
                    const std::string& ffmpeg)
{
    const fs::path scratch = file.parent_path() / (".veyla-book-" + std::to_string(::getpid()));
    std::error_code ec;
    fs::remove_all(scratch, ec);
    if (!fs::create_directory(scratch, ec))
        return Error{ErrorCode::WriteFailed, scratch.string() + ": cannot make the scratch folder"};
    const fs::path list = scratch / "chapters.txt";
    const fs::path metadata = scratch / "metadata.txt";
    const fs::path made = scratch / "book.m4b";
    Status done = platform::writeFileAtomically(list, ffmpegConcatList(chapters));
    if (done)
        done = platform::writeFileAtomically(metadata, ffmpegMetadata(book, chapters));
    if (done)
        done = runFfmpeg(ffmpeg,
                         {"-nostdin", "-hide_banner", "-loglevel", "error", "-f", "concat", "-safe", "0", "-i",
                          list.string(), "-i", metadata.string(), "-map", "0:a", "-map_metadata", "1",
                          "-map_chapters", "1", "-c:a", "aac", "-b:a", kAacBitRate, "-f", "mp4", made.string()},
                         scratch / "errors.txt");
    if (done && ::rename(made.c_str(), file.c_str()) != 0)
        done = Error{ErrorCode::WriteFailed, file.string() + ": " + std::strerror(errno)};
    fs::remove_all(scratch, ec);
    return done;
}

}  // namespace

std::string ffmpegMetadata(const AudioTags& book, const std::vector<BookChapter>& chapters)
{
    std::string out = ";FFMETADATA1\n";
    out += "title=" + escapeMetadata(book.album) + "\n";
    out += "album=" + escapeMetadata(book.album) + "\n";
    out += "artist=" + escapeMetadata(book.artist) + "\n";
    out += "genre=Audiobook\n";
    long long start = 0;
    for (const auto& chapter : chapters) {
        const long long end = start + static_cast<long long>(chapter.seconds * 1000 + 0.5);
        out += "[CHAPTER]\nTIMEBASE=1/1000\nSTART=" + std::to_string(start) + "\nEND=" + std::to_string(end) +
               "\ntitle=" + escapeMetadata(chapter.title) + "\n";
        start = end;
    }
    return out;
}

std::string ffmpegConcatList(const std::vector<BookChapter>& chapters)
{
    std::string out = "ffconcat version 1.0\n";
    for (const auto& chapter : chapters) {
        std::string quoted;
        for (const char c : chapter.audio.string())
            quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        out += "file '" + quoted + "'\n";
    }
    return out;
}

BookFilesSummary makeBookFiles(const fs::path& dataFolder, const std::vector<AudioJobItem>& items,
                               const std::string& ffmpeg)
{
    // The books in the order their first chapters come.
    std::vector<fs::path> order;
    std::map<fs::path, std::vector<std::size_t>> books;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const fs::path book = items[i].chapter.parent_path();
        if (books[book].empty())
            order.push_back(book);
        books[book].push_back(i);
    }
    const auto tags = tagsOf(items);
    BookFilesSummary summary;
    for (const auto& book : order) {
        std::vector<BookChapter> chapters;
        fs::path file;
        std::optional<Error> missing;
        fs::file_time_type newest = fs::file_time_type::min();
        for (const std::size_t i : books[book]) {
            const auto target = audioTargetFor(dataFolder, items[i].chapter);
            const auto info = target ? readWavInfo(target->file) : Result<WavInfo>(Error{ErrorCode::Unsupported, ""});
            if (!info) {
                missing = Error{ErrorCode::FileUnavailable, items[i].chapter.filename().string() + " has no audio file"};
                break;
            }
            if (file.empty())
                file = target->folder / (tags[i].album + ".m4b");
            chapters.push_back({tags[i].title, target->file, info->seconds()});
            newest = std::max(newest, modified(target->file));
        }
        if (missing) {
            summary.failures.emplace_back(book, *missing);
            continue;
        }
        std::error_code ec;
        if (fs::exists(file, ec) && modified(file) >= newest) {
            summary.kept.push_back(file);
            continue;
        }
        if (Status made = makeBookFile(file, tags[books[book].front()], chapters, ffmpeg); !made)
            summary.failures.emplace_back(book, made.error());
        else
            summary.made.push_back(file);
    }
    return summary;
}

}  // namespace veyla::speech
