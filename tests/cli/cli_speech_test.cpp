// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "core/library/chapter_file.h"
#include "core/speech/wav_file.h"
#include "core/util/utf16.h"
#include "support/test_support.h"

namespace veyla {
namespace {

namespace fs = std::filesystem;

// Runs veyla-cli's speech commands on a private data folder holding the
// book 小说/西 游 (a space in its name) of two short chapters.
class CliSpeechTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        chapter("小说/西 游/0001_第一 回.xml", u"话说天下大势，分久必合，合久必分。\n第二段很短。");
        chapter("小说/西 游/0002_第二回.xml", u"第二回。");
    }
    test::ProcessResult cli(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--data", data().string()});
        return test::runProcess(VEYLA_CLI_PATH, args);
    }
    fs::path data() const { return m_dir / "data"; }
    void chapter(const std::string& relative, std::u16string_view text)
    {
        ASSERT_TRUE(library::writeChapterFromText(data() / "藏书库" / relative, text, library::TextForm::Import).ok());
    }
    fs::path audio(const std::string& relative) const { return data() / "音频" / "藏书库" / relative; }
    static bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

    test::TempDir m_dir;
};

TEST_F(CliSpeechTest, VoicesMarksThePinyinMandarinVoice)
{
    const auto result = cli({"voices"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto marked = result.out.find("* ");
    ASSERT_NE(marked, std::string::npos) << result.out;
    const auto lineEnd = result.out.find('\n', marked);
    EXPECT_TRUE(contains(result.out.substr(marked, lineEnd - marked), "cmn-Latn-pinyin")) << result.out;
    EXPECT_LT(result.out.find("cmn-Latn-pinyin"), result.out.find(" cmn "));
    EXPECT_EQ(cli({"voices", "extra"}).exitCode, 2);
}

TEST_F(CliSpeechTest, AudioRendersABookOnceAndReportsIt)
{
    const auto first = cli({"audio", "--rate", "3", "小说/西 游"});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_TRUE(contains(first.out, "2 rendered, 0 skipped")) << first.out;
    EXPECT_TRUE(contains(first.out, "音频/藏书库/小说/西游")) << first.out;
    for (const char* name : {"小说/西游/0001_第一,回.wav", "小说/西游/0002_第二回.wav"}) {
        const auto info = speech::readWavInfo(audio(name));
        ASSERT_TRUE(info.ok()) << name;
        EXPECT_EQ(info->sampleRate, 22050);
        EXPECT_EQ(info->channels, 1);
        EXPECT_EQ(info->bitsPerSample, 16);
        EXPECT_GT(info->seconds(), 0.3);
    }
    const auto second = cli({"audio", "小说"});
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_TRUE(contains(second.out, "0 rendered, 2 skipped")) << second.out;
}

TEST_F(CliSpeechTest, AudioOfOneChapterRendersItAndTheChaptersAfterIt)
{
    const auto result = cli({"audio", "--voice", "cmn", "小说/西 游/0002_第二回.xml"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(fs::exists(audio("小说/西游/0002_第二回.wav")));
    EXPECT_FALSE(fs::exists(audio("小说/西游/0001_第一,回.wav")));
}

TEST_F(CliSpeechTest, SpeakToAFileWritesAWav)
{
    const fs::path wav = m_dir / "out" / "chapter.wav";
    const auto result = cli({"speak", "--to", wav.string(), "--voice", "14", "小说/西 游/0001_第一 回.xml"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto info = speech::readWavInfo(wav);
    ASSERT_TRUE(info.ok());
    EXPECT_GT(info->seconds(), 2.0);
}

// ALSA's null plugin stands in for a sound card.
TEST_F(CliSpeechTest, SpeakPrintsEachPieceAsItIsSpoken)
{
    const auto result = cli({"speak", "--device", "null", "小说/西 游/0001_第一 回.xml"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "话说天下大势，分久必合\n，合久必分。\n第二段很短。\n");
}

TEST_F(CliSpeechTest, SleepTimerCountsChaptersAndGoesOnIntoTheNextOnes)
{
    const std::string first = "小说/西 游/0001_第一 回.xml";
    const auto one = cli({"speak", "--device", "null", "--chapters", "1", first});
    ASSERT_EQ(one.exitCode, 0) << one.err;
    EXPECT_EQ(one.out, "话说天下大势，分久必合\n，合久必分。\n第二段很短。\n[第二回]\n");
    EXPECT_TRUE(contains(one.err, "the sleep timer ended reading at 小说/西 游/0002_第二回.xml")) << one.err;

    const auto two = cli({"speak", "--device", "null", "--chapters", "2", first});
    ASSERT_EQ(two.exitCode, 0) << two.err;
    EXPECT_EQ(two.out, "话说天下大势，分久必合\n，合久必分。\n第二段很短。\n[第二回]\n第二回。\n");
    EXPECT_FALSE(contains(two.err, "sleep timer")) << "the book ended first: " << two.err;

    const auto timed = cli({"speak", "--device", "null", "--for", "30m", first});
    ASSERT_EQ(timed.exitCode, 0) << timed.err;
    EXPECT_EQ(timed.out, two.out);
}

TEST_F(CliSpeechTest, SpeakReadsTextFiles)
{
    const fs::path text = m_dir / "words.txt";
    test::writeBytes(text, "Hello there.\n\nA second line.\n");
    const auto result = cli({"speak", "--device", "null", "--voice", "en", text.string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Hello there.\nA second line.\n");
}

// The dynamic loader lists every library it loads when LD_DEBUG=libs.
// None of these commands goes online, so none loads libcurl either.
TEST_F(CliSpeechTest, OnlyCommandsThatSpeakLoadTheSpeechLibraries)
{
    struct Case {
        std::vector<std::string> args;
        bool speaks;
    };
    for (const Case& c : {Case{{"--version"}, false}, Case{{"--help"}, false}, Case{{"tree", "小说"}, false},
                          Case{{"voices"}, true}, Case{{"speak", "--device", "null", "小说/西 游/0002_第二回.xml"}, true}}) {
        const auto result = test::runProcess(VEYLA_CLI_PATH, [&] {
            std::vector<std::string> args = {"--data", data().string()};
            args.insert(args.end(), c.args.begin(), c.args.end());
            return args;
        }(), {}, {"LD_DEBUG=libs"});
        ASSERT_EQ(result.exitCode, 0) << c.args.front() << ": " << result.err.substr(result.err.size() - 300);
        EXPECT_EQ(contains(result.err, "libespeak-ng.so"), c.speaks) << c.args.front();
        EXPECT_EQ(contains(result.err, "libpulse"), c.speaks) << c.args.front();
        EXPECT_EQ(contains(result.err, "libasound.so"), c.speaks) << c.args.front();
        EXPECT_FALSE(contains(result.err, "libcurl")) << c.args.front();
    }
}

TEST_F(CliSpeechTest, BadInputFailsWithAMessage)
{
    struct Case {
        std::vector<std::string> args;
        int exitCode;
    };
    for (const Case& c : {Case{{"audio"}, 2}, Case{{"audio", "--rate", "fast", "小说"}, 2},
                          Case{{"audio", "--rate", "11", "小说"}, 2}, Case{{"audio", "--voice", "no-such-voice", "小说"}, 2},
                          Case{{"audio", "没有这本书"}, 1}, Case{{"speak", "--to", "x.wav", "没有.xml"}, 1},
                          Case{{"speak", "--device", "veyla-no-such-device", "小说/西 游/0002_第二回.xml"}, 1},
                          Case{{"speak", "--bogus", "a.xml"}, 2}, Case{{"speak", "--for", "0m", "a.xml"}, 2},
                          Case{{"speak", "--for", "soon", "a.xml"}, 2}, Case{{"speak", "--chapters", "0", "a.xml"}, 2},
                          Case{{"speak", "--to", "x.wav", "--for", "5m", "a.xml"}, 2},
                          Case{{"speak", "--for", "5m", "--chapters", "2", "a.xml"}, 2}}) {
        const auto result = cli(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.args.front() << " " << c.args.back();
        EXPECT_FALSE(result.err.empty());
    }
}

}  // namespace
}  // namespace veyla
