// SPDX-License-Identifier: MIT
#include "core/speech/render_workers.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>

#include "core/library/chapter_file.h"
#include "core/speech/fake_speech_engine.h"
#include "core/speech/wav_file.h"
#include "support/test_support.h"

namespace veyla::speech {
namespace {

namespace fs = std::filesystem;

TEST(WorkerFields, SurviveTabsLineBreaksAndBackslashes)
{
    const std::vector<std::vector<std::string>> rows = {
        {"job", "/书/第一回.xml", "/音频/第一回.wav", "/音频/.scratch"},
        {"fail", "3", "a\ttab, a\nline break and a \\ backslash"},
        {"ok", ""},
        {"trailing\\"},
    };
    for (const auto& fields : rows) {
        const std::string line = joinWorkerFields(fields);
        ASSERT_EQ(line.back(), '\n');
        EXPECT_EQ(line.find('\n'), line.size() - 1) << "one line per message";
        EXPECT_EQ(splitWorkerFields(line), fields);
    }
}

class RenderWorkerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(library::writeChapterFromText(chapter(), u"第一回的正文。\n第二段。", library::TextForm::Import).ok());
        fs::create_directories(m_dir / "音频");
    }
    fs::path chapter() const { return m_dir / "书" / "0001_第一回.xml"; }
    fs::path target() const { return m_dir / "音频" / "0001_第一回.wav"; }
    fs::path scratch() const { return m_dir / "音频" / ".scratch-1"; }
    std::string job(const fs::path& chapterFile) const
    {
        return joinWorkerFields({"job", chapterFile.string(), target().string(), scratch().string(), "第一回", "书",
                                 "Veyla", "1", "2"});
    }
    // Runs the worker on input; returns its answers, one per line.
    std::vector<std::vector<std::string>> run(const std::string& input)
    {
        std::istringstream in(input);
        std::ostringstream out;
        const EngineFactory factory = [this]() -> Result<std::unique_ptr<SpeechEngine>> {
            ++m_enginesMade;
            if (m_engineFailure)
                return *m_engineFailure;
            return std::unique_ptr<SpeechEngine>(std::make_unique<FakeSpeechEngine>());
        };
        EXPECT_EQ(runRenderWorker(factory, in, out), 0);
        std::vector<std::vector<std::string>> answers;
        std::istringstream lines(out.str());
        for (std::string line; std::getline(lines, line);)
            answers.push_back(splitWorkerFields(line));
        return answers;
    }

    test::TempDir m_dir;
    int m_enginesMade = 0;
    std::optional<Error> m_engineFailure;
};

TEST_F(RenderWorkerTest, RendersAChapterThroughItsScratchFolder)
{
    const auto answers = run(job(chapter()));
    ASSERT_EQ(answers.size(), 1u);
    ASSERT_EQ(answers[0].size(), 2u);
    EXPECT_EQ(answers[0][0], "ok");
    const auto info = readWavInfo(target());
    ASSERT_TRUE(info.ok());
    EXPECT_NEAR(std::stod(answers[0][1]), info->seconds(), 0.001);
    EXPECT_FALSE(fs::exists(scratch()));
    EXPECT_EQ(m_enginesMade, 1);
    // The lyrics lie beside the audio: tags, then one timed line a piece.
    EXPECT_EQ(test::readBytes(fs::path(target()).replace_extension(".lrc")),
              "[ti:第一回]\n[al:书]\n[ar:Veyla]\n[00:00.00]第一回的正文。\n[00:00.07]第二段。\n");
}

TEST_F(RenderWorkerTest, StartsNoEngineWithoutAJob)
{
    EXPECT_TRUE(run("").empty());
    EXPECT_EQ(m_enginesMade, 0);
}

TEST_F(RenderWorkerTest, NeverReplacesAnExistingFile)
{
    test::writeBytes(target(), "made meanwhile");
    const auto answers = run(job(chapter()));
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0], std::vector<std::string>{"exists"});
    EXPECT_EQ(test::readBytes(target()), "made meanwhile");
    EXPECT_FALSE(fs::exists(scratch()));
}

TEST_F(RenderWorkerTest, FailuresAreReportedAndTheWorkerGoesOn)
{
    const std::string input = "nonsense\n" + job(m_dir / "书" / "没有.xml") + job(chapter());
    const auto answers = run(input);
    ASSERT_EQ(answers.size(), 3u);
    EXPECT_EQ(answers[0][0], "fail");
    EXPECT_EQ(answers[0][1], std::to_string(static_cast<int>(ErrorCode::InvalidArgument)));
    EXPECT_EQ(answers[1][0], "fail");
    EXPECT_EQ(answers[1][1], std::to_string(static_cast<int>(ErrorCode::FileUnavailable)));
    EXPECT_EQ(answers[2][0], "ok");
    EXPECT_FALSE(fs::exists(scratch()));
}

TEST_F(RenderWorkerTest, AnEngineThatCannotStartFailsEveryJobOnce)
{
    m_engineFailure = Error{ErrorCode::EngineUnavailable, "no voices"};
    const auto answers = run(job(chapter()) + job(chapter()));
    ASSERT_EQ(answers.size(), 2u);
    for (const auto& answer : answers)
        EXPECT_EQ(answer, (std::vector<std::string>{"fail", std::to_string(static_cast<int>(ErrorCode::EngineUnavailable)),
                                                    "no voices"}));
    EXPECT_EQ(m_enginesMade, 1);
    EXPECT_FALSE(fs::exists(target()));
}

// The parent's side, with a shell script standing in for veyla-cli: it
// answers each job by copying a small file through the scratch folder,
// and kills itself half way through a chapter whose name holds "崩溃".
class RenderPoolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_worker = m_dir / "worker.sh";
        test::writeBytes(m_worker,
                         "#!/bin/bash\n"
                         "[ \"$1\" = --render-worker ] || exit 3\n"
                         "while IFS=$'\\t' read -r kind chapter target scratch tags; do\n"
                         "  mkdir \"$scratch\" || { printf 'fail\\t3\\tno scratch\\n'; continue; }\n"
                         "  printf 'half' > \"$scratch/part\"\n"
                         "  case \"$chapter\" in *崩溃*) kill -9 $$ ;; esac\n"
                         "  printf 'whole' > \"$scratch/part\"\n"
                         "  if ln \"$scratch/part\" \"$target\" 2>/dev/null; then printf 'ok\\t1.5\\n'; else printf 'exists\\n'; fi\n"
                         "  rm -r \"$scratch\"\n"
                         "done\n");
        ::chmod(m_worker.c_str(), 0755);
        for (const char* name : {"0001_一", "0002_崩溃", "0003_三", "0004_四", "0005_五"})
            m_items.push_back({data() / "藏书库" / "书" / (std::string(name) + ".xml"), u"章"});
    }
    fs::path data() const { return m_dir / "data"; }
    fs::path audio(const std::string& name) const { return data() / "音频" / "藏书库" / "书" / (name + ".wav"); }
    // Every file left in the book's audio folder.
    std::vector<std::string> leftOver() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(audio("x").parent_path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TempDir m_dir;
    fs::path m_worker;
    std::vector<AudioJobItem> m_items;
};

TEST_F(RenderPoolTest, AWorkerThatDiesFailsItsChapterOnlyAndLeavesNothingHalfMade)
{
    for (int jobs : {1, 2, 3}) {
        fs::remove_all(data() / "音频");
        std::vector<std::size_t> begun;
        const auto summary = renderInWorkers({m_worker, {}}, data(), m_items, jobs, AudioFormat::Wav, {},
                                             [&](const RenderStep& step) { begun.push_back(step.index); });
        EXPECT_EQ(summary.rendered, 4) << jobs;
        ASSERT_EQ(summary.failures.size(), 1u) << jobs;
        EXPECT_EQ(summary.failures[0].first, m_items[1].chapter);
        EXPECT_NE(summary.failures[0].second.detail.find("signal 9"), std::string::npos);
        EXPECT_DOUBLE_EQ(summary.audioSeconds, 6.0);
        EXPECT_FALSE(summary.stopped);
        EXPECT_EQ(begun, (std::vector<std::size_t>{1, 2, 3, 4, 5, 5})) << "each chapter, then the end";
        EXPECT_EQ(leftOver(), (std::vector<std::string>{"0001_一.wav", "0003_三.wav", "0004_四.wav", "0005_五.wav"}));
        EXPECT_EQ(test::readBytes(audio("0004_四")), "whole");
    }
}

TEST_F(RenderPoolTest, ExistingFilesAreKeptAndAStopEndsAfterTheChaptersBegun)
{
    fs::create_directories(audio("x").parent_path());
    test::writeBytes(audio("0001_一"), "old");
    std::stop_source stop;
    const auto summary = renderInWorkers({m_worker, {}}, data(), m_items, 1, AudioFormat::Wav, stop.get_token(), [&](const RenderStep& step) {
        if (step.index == 3)
            stop.request_stop();
    });
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(summary.existing, 1);
    EXPECT_EQ(summary.rendered, 1) << "the third chapter, begun before the stop";
    EXPECT_EQ(summary.failures.size(), 1u);
    EXPECT_EQ(test::readBytes(audio("0001_一")), "old");
    EXPECT_EQ(leftOver(), (std::vector<std::string>{"0001_一.wav", "0003_三.wav"}));
}

TEST_F(RenderPoolTest, AWorkerThatCannotStartFailsEveryChapterWithTheReason)
{
    const auto summary = renderInWorkers({m_dir / "no-such-program", {}}, data(), m_items, 2, AudioFormat::Wav);
    EXPECT_EQ(summary.rendered, 0);
    ASSERT_EQ(summary.failures.size(), m_items.size());
    EXPECT_NE(summary.failures[0].second.detail.find("no-such-program"), std::string::npos);
}

}  // namespace
}  // namespace veyla::speech
