// SPDX-License-Identifier: MIT
// veyla-cli audio --format opus|m4b, checked with ffprobe and opusinfo.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <sstream>

#include "core/library/chapter_file.h"
#include "core/speech/wav_file.h"
#include "support/test_support.h"

namespace veyla {
namespace {

namespace fs = std::filesystem;

bool onPath(const std::string& program)
{
    return test::runProcess("/bin/sh", {"-c", "command -v " + program}).exitCode == 0;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty())
            out.push_back(line);
    }
    return out;
}

// A book of three chapters, rendered by veyla-cli in a private data folder.
class AudioExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* tool : {"ffmpeg", "ffprobe", "opusinfo"}) {
            if (!onPath(tool))
                GTEST_SKIP() << tool << " is not installed (Debian packages ffmpeg, opus-tools)";
        }
        chapter("小说/西游记/0001_第一回.xml", u"灵根育孕源流出，心性修持大道生。\n诗曰：混沌未分天地乱。");
        chapter("小说/西游记/0002_第二回.xml", u"悟彻菩提真妙理，断魔归本合元神。");
        chapter("小说/西游记/0003_第三回.xml", u"四海千山皆拱伏，九幽十类尽除名。\n却说美猴王荣归故里。");
    }
    test::ProcessResult cli(std::vector<std::string> args, const std::vector<std::string>& environment = {})
    {
        args.insert(args.begin(), {"--data", data().string()});
        return test::runProcess(VEYLA_CLI_PATH, args, {}, environment);
    }
    fs::path data() const { return m_dir / "data"; }
    fs::path audio(const std::string& name) const { return data() / "音频" / "藏书库" / "小说" / "西游记" / name; }
    void chapter(const std::string& relative, std::u16string_view text)
    {
        ASSERT_TRUE(library::writeChapterFromText(data() / "藏书库" / relative, text, library::TextForm::Import).ok());
    }
    static std::string probe(const fs::path& file, const std::string& entries)
    {
        const auto result = test::runProcess("/usr/bin/env", {"ffprobe", "-v", "error", "-show_entries", entries, "-of",
                                                              "default=noprint_wrappers=1", file.string()});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return result.out;
    }
    static double wavSeconds(const fs::path& file)
    {
        const auto info = speech::readWavInfo(file);
        EXPECT_TRUE(info.ok()) << file;
        return info.ok() ? info->seconds() : 0;
    }

    test::TempDir m_dir;
};

TEST_F(AudioExportTest, OpusChaptersAreTaggedSmallAndHaveLyrics)
{
    const auto wav = cli({"audio", "--jobs", "2", "小说/西游记"});
    ASSERT_EQ(wav.exitCode, 0) << wav.err;
    const auto opus = cli({"audio", "--format", "opus", "小说/西游记"});
    ASSERT_EQ(opus.exitCode, 0) << opus.err;
    EXPECT_NE(opus.out.find("3 rendered"), std::string::npos) << opus.out;
    const char* names[] = {"0001_第一回", "0002_第二回", "0003_第三回"};
    for (int i = 0; i < 3; ++i) {
        const fs::path file = audio(std::string(names[i]) + ".opus");
        const auto info = test::runProcess("/usr/bin/env", {"opusinfo", file.string()});
        ASSERT_EQ(info.exitCode, 0) << info.out << info.err;
        // Vorbis comment names are shown in the case they were written.
        const std::string tags = probe(file, "stream_tags=title,album,artist,track");
        EXPECT_NE(tags.find("TAG:TITLE=" + std::string(names[i]).substr(5)), std::string::npos) << tags;
        EXPECT_NE(tags.find("TAG:ALBUM=西游记"), std::string::npos) << tags;
        EXPECT_NE(tags.find("TAG:ARTIST=Veyla"), std::string::npos) << tags;
        EXPECT_NE(tags.find("TAG:track=" + std::to_string(i + 1)), std::string::npos) << tags;
        const fs::path wavFile = audio(std::string(names[i]) + ".wav");
        EXPECT_LT(fs::file_size(file) * 5, fs::file_size(wavFile)) << "a fraction of the WAV size";
        const double seconds = std::stod(lines(probe(file, "format=duration")).at(0).substr(9));
        EXPECT_NEAR(seconds, wavSeconds(wavFile), 0.1);

        // The lyrics: one timed line a piece, in order, the last within the audio.
        const auto lyrics = lines(test::readBytes(fs::path(file).replace_extension(".lrc")));
        double last = -1;
        int timed = 0;
        for (const auto& line : lyrics) {
            if (line.size() < 10 || line[0] != '[' || !std::isdigit(static_cast<unsigned char>(line[1])) ||
                line[3] != ':' || line[9] != ']')
                continue;
            const double at = std::stoi(line.substr(1, 2)) * 60 + std::stod(line.substr(4, 5));
            EXPECT_GT(at, last) << line;
            last = at;
            ++timed;
        }
        EXPECT_GE(timed, 2);
        EXPECT_LT(last, seconds);
    }
}

TEST_F(AudioExportTest, M4bHasAChapterMarkPerChapter)
{
    const auto result = cli({"audio", "--format", "m4b", "小说/西游记"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const fs::path book = audio("西游记.m4b");
    EXPECT_NE(result.out.find("book file: " + book.string()), std::string::npos) << result.out;
    const auto chapters = lines(probe(book, "chapter=start_time:chapter_tags=title"));
    // start_time then TAG:title, per chapter.
    ASSERT_EQ(chapters.size(), 6u) << probe(book, "chapter=start_time:chapter_tags=title");
    double sum = 0;
    const char* titles[] = {"第一回", "第二回", "第三回"};
    const char* names[] = {"0001_第一回.wav", "0002_第二回.wav", "0003_第三回.wav"};
    double previous = -1;
    for (int i = 0; i < 3; ++i) {
        const double start = std::stod(chapters[2 * i].substr(std::string("start_time=").size()));
        EXPECT_GT(start, previous);
        EXPECT_NEAR(start, sum, 0.05) << "each chapter starts where the one before ends";
        previous = start;
        EXPECT_EQ(chapters[2 * i + 1], std::string("TAG:title=") + titles[i]);
        sum += wavSeconds(audio(names[i]));
    }
    const double duration = std::stod(lines(probe(book, "format=duration")).at(0).substr(9));
    EXPECT_NEAR(duration, sum, 0.01 * sum);
    EXPECT_NE(probe(book, "format_tags=album").find("TAG:album=西游记"), std::string::npos);

    // Up to date: kept as it is.
    const auto again = cli({"audio", "--format", "m4b", "小说/西游记"});
    ASSERT_EQ(again.exitCode, 0) << again.err;
    EXPECT_NE(again.out.find("book file (up to date): "), std::string::npos) << again.out;
}

TEST_F(AudioExportTest, WithoutFfmpegTheChaptersAreStillRenderedAndThePackageIsNamed)
{
    const auto result = cli({"audio", "--format", "m4b", "小说/西游记"}, {"PATH=/nonexistent"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("Debian package ffmpeg"), std::string::npos) << result.err;
    EXPECT_TRUE(fs::exists(audio("0001_第一回.wav")));
    EXPECT_FALSE(fs::exists(audio("西游记.m4b")));
    for (const auto& entry : fs::directory_iterator(audio("")))
        EXPECT_NE(entry.path().filename().string().rfind(".veyla", 0), 0u) << "nothing half made is left";
}

}  // namespace
}  // namespace veyla
