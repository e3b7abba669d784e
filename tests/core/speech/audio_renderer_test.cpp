// SPDX-License-Identifier: MIT
#include "core/speech/audio_renderer.h"

#include <gtest/gtest.h>

#include "core/library/chapter_file.h"
#include "core/speech/espeak_engine.h"
#include "core/speech/fake_speech_engine.h"
#include "core/speech/null_output.h"
#include "core/speech/wav_file.h"
#include "core/util/utf16.h"
#include "support/test_support.h"

namespace veyla::speech {
namespace {

namespace fs = std::filesystem;
using Node = library::LibraryTree::Node;

// A data folder whose library holds 小说/西游记 (two chapters), 小说/红楼梦
// (one) and 散文/文集 with two volume folders and an afterword.
class AudioRendererTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        chapter("小说/0001_西游记/0001_第一回.xml", u"第一回的正文。\n第二段。");
        chapter("小说/0001_西游记/0002_第二回.xml", u"第二回[F1]的[/F]正文。");
        chapter("小说/0002_红楼梦/0001_第一回.xml", u"红楼梦第一回。");
        chapter("散文/0001_文集/0001_卷一/0001_甲.xml", u"甲。");
        chapter("散文/0001_文集/0002_卷二/0001_乙.xml", u"乙。");
        chapter("散文/0001_文集/0003_后记.xml", u"后记。");
        fs::create_directories(library() / "空");
    }

    fs::path data() const { return m_dir / "data"; }
    fs::path library() const { return data() / "藏书库"; }
    void chapter(const std::string& relative, std::u16string_view text)
    {
        ASSERT_TRUE(library::writeChapterFromText(library() / relative, text, library::TextForm::Import).ok());
    }
    Node* node(const std::string& relative) { return m_tree.findByPath(library() / relative); }
    std::vector<std::string> texts(const std::vector<AudioJobItem>& items) const
    {
        std::vector<std::string> out;
        for (const auto& item : items)
            out.push_back(utf16::toUtf8(item.text));
        return out;
    }
    fs::path audio(const std::string& relative) const { return data() / "音频" / "藏书库" / relative; }
    std::vector<std::string> wavFiles() const
    {
        std::vector<std::string> out;
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(data() / "音频", ec); !ec && it != fs::recursive_directory_iterator();
             ++it) {
            if (it->is_regular_file())
                out.push_back(it->path().lexically_relative(data() / "音频" / "藏书库").string());
        }
        std::sort(out.begin(), out.end());
        return out;
    }

    test::TempDir m_dir;
    library::LibraryTree m_tree{library()};
};

TEST_F(AudioRendererTest, ABookCoversItsChapters)
{
    const auto items = chaptersToRender(m_tree, node("小说/0001_西游记"));
    EXPECT_EQ(texts(items), (std::vector<std::string>{"第一回", "第二回"}));
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].chapter, library() / "小说/0001_西游记/0002_第二回.xml");
}

TEST_F(AudioRendererTest, ACategoryCoversEveryBookInTreeOrder)
{
    EXPECT_EQ(texts(chaptersToRender(m_tree, node("小说"))),
              (std::vector<std::string>{"第一回", "第二回", "第一回"}));
    EXPECT_EQ(texts(chaptersToRender(m_tree, node("散文/0001_文集"))),
              (std::vector<std::string>{"甲", "乙", "后记"}));
}

TEST_F(AudioRendererTest, AChapterCoversItselfAndTheChaptersAfterIt)
{
    EXPECT_EQ(texts(chaptersToRender(m_tree, node("小说/0001_西游记/0002_第二回.xml"))),
              (std::vector<std::string>{"第二回"}));
    EXPECT_EQ(texts(chaptersToRender(m_tree, node("小说/0001_西游记/0001_第一回.xml"))),
              (std::vector<std::string>{"第一回", "第二回"}));
}

TEST_F(AudioRendererTest, AnEmptyFolderCoversNothing)
{
    EXPECT_TRUE(chaptersToRender(m_tree, node("空")).empty());
    EXPECT_TRUE(chaptersToRender(m_tree, nullptr).empty());
}

TEST_F(AudioRendererTest, RendersEachChapterOnceAndReportsProgress)
{
    FakeSpeechEngine engine;
    std::vector<std::pair<std::string, fs::path>> steps;
    const auto progress = [&](const RenderStep& step) { steps.emplace_back(utf16::toUtf8(step.text), step.audioFolder); };
    const auto items = chaptersToRender(m_tree, node("小说/0001_西游记"));
    const RenderSummary first = renderAudio(engine, data(), items, {}, progress);
    EXPECT_EQ(first.rendered, 2);
    EXPECT_EQ(first.existing, 0);
    EXPECT_FALSE(first.stopped);
    EXPECT_TRUE(first.failures.empty());
    EXPECT_EQ(wavFiles(), (std::vector<std::string>{"小说/0001_西游记/0001_第一回.wav", "小说/0001_西游记/0002_第二回.wav"}));
    // The text spoken is the chapter's paragraphs without inline marks.
    EXPECT_EQ(utf16::toUtf8(engine.synthesised().at(1)), "第二回的正文。");
    const auto info = readWavInfo(audio("小说/0001_西游记/0002_第二回.wav"));
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info->dataSize, 7 * FakeSpeechEngine::kSamplesPerGlyph * 2);
    EXPECT_DOUBLE_EQ(first.audioSeconds, 19.0 * FakeSpeechEngine::kSamplesPerGlyph / FakeSpeechEngine::kSampleRate);
    const fs::path folder = audio("小说/0001_西游记");
    EXPECT_EQ(steps, (std::vector<std::pair<std::string, fs::path>>{
                         {"第一回", folder}, {"第二回", folder}, {"已生成完毕", fs::path()}}));

    // A second run finds every file and renders nothing.
    const RenderSummary second = renderAudio(engine, data(), items);
    EXPECT_EQ(second.rendered, 0);
    EXPECT_EQ(second.existing, 2);
    EXPECT_EQ(engine.synthesised().size(), 2u);
}

TEST_F(AudioRendererTest, StopDuringTheFirstChapterFinishesItsFileAndRendersNothingMore)
{
    FakeSpeechEngine engine;
    std::stop_source stop;
    engine.setSynthesisHook([&](std::u16string_view, std::size_t) { stop.request_stop(); });
    std::vector<std::string> steps;
    const RenderSummary summary =
        renderAudio(engine, data(), chaptersToRender(m_tree, node("小说")), stop.get_token(),
                    [&](const RenderStep& step) { steps.push_back(utf16::toUtf8(step.text)); });
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(summary.rendered, 1);
    EXPECT_EQ(wavFiles(), (std::vector<std::string>{"小说/0001_西游记/0001_第一回.wav"}));
    const auto info = readWavInfo(audio("小说/0001_西游记/0001_第一回.wav"));
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info->dataSize, 12 * FakeSpeechEngine::kSamplesPerGlyph * 2) << "the file is complete";
    EXPECT_EQ(steps, (std::vector<std::string>{"第一回"})) << "no done message after a stop";
}

TEST_F(AudioRendererTest, StopBeforeAChapterIsReadRendersNothing)
{
    FakeSpeechEngine engine;
    std::stop_source stop;
    const RenderSummary summary = renderAudio(engine, data(), chaptersToRender(m_tree, node("小说")), stop.get_token(),
                                              [&](const RenderStep&) { stop.request_stop(); });
    EXPECT_TRUE(summary.stopped);
    EXPECT_TRUE(engine.synthesised().empty());
    EXPECT_TRUE(wavFiles().empty());
}

TEST_F(AudioRendererTest, UnreadableAndOutsideChaptersAreSkippedAndTheWalkGoesOn)
{
    FakeSpeechEngine engine;
    test::TempDir elsewhere;
    ASSERT_TRUE(library::writeChapterFromText(elsewhere / "0001_外.xml", u"外面。", library::TextForm::Import).ok());
    const std::vector<AudioJobItem> items = {{library() / "小说/不存在.xml", u"不存在"},
                                             {elsewhere / "0001_外.xml", u"外"},
                                             {library() / "小说/0002_红楼梦/0001_第一回.xml", u"第一回"}};
    const RenderSummary summary = renderAudio(engine, data(), items);
    ASSERT_EQ(summary.failures.size(), 1u);
    EXPECT_EQ(summary.failures[0].second.code, ErrorCode::FileUnavailable);
    EXPECT_EQ(summary.outside, 1);
    EXPECT_EQ(summary.rendered, 1);
    EXPECT_EQ(wavFiles(), (std::vector<std::string>{"小说/0002_红楼梦/0001_第一回.wav"}));
}

TEST_F(AudioRendererTest, EngineFailureIsReportedPerChapter)
{
    FakeSpeechEngine engine;
    engine.setFailure(Error{ErrorCode::EngineUnavailable, "broken"});
    const RenderSummary summary = renderAudio(engine, data(), chaptersToRender(m_tree, node("小说/0001_西游记")));
    EXPECT_EQ(summary.rendered, 0);
    EXPECT_EQ(summary.failures.size(), 2u);
    EXPECT_TRUE(wavFiles().empty());
}

// The real engine: short chapters, so the suite stays quick.
TEST_F(AudioRendererTest, RealEngineWritesValidWavFilesAtTheCleanedPath)
{
    chapter("小说/西 游/0001_第一 回.xml", u"话说天下大势。\n分久必合，合久必分。");
    chapter("小说/西 游/0002_第二回.xml", u"第二回很短。");
    auto engine = EspeakEngine::create(std::make_unique<NullOutput>(NullPace::Instant));
    ASSERT_TRUE(engine.ok()) << engine.error().detail;
    const auto items = chaptersToRender(m_tree, node("小说/西 游"));
    const RenderSummary summary = renderAudio(**engine, data(), items);
    EXPECT_EQ(summary.rendered, 2);
    EXPECT_GT(summary.audioSeconds, 1.0);
    EXPECT_EQ(wavFiles(), (std::vector<std::string>{"小说/西游/0001_第一,回.wav", "小说/西游/0002_第二回.wav"}));
    double seconds = 0;
    for (const char* name : {"小说/西游/0001_第一,回.wav", "小说/西游/0002_第二回.wav"}) {
        const fs::path file = audio(name);
        const auto info = readWavInfo(file);
        ASSERT_TRUE(info.ok()) << name;
        EXPECT_EQ(info->formatTag, 1);
        EXPECT_EQ(info->channels, 1);
        EXPECT_EQ(info->sampleRate, 22050);
        EXPECT_EQ(info->bitsPerSample, 16);
        EXPECT_EQ(info->byteRate, 44100);
        EXPECT_EQ(info->blockAlign, 2);
        EXPECT_EQ(info->riffSize, fs::file_size(file) - 8);
        EXPECT_EQ(info->dataOffset + info->dataSize, fs::file_size(file));
        EXPECT_GT(info->seconds(), 0.5) << name;
        seconds += info->seconds();
    }
    EXPECT_NEAR(seconds, summary.audioSeconds, 1e-6);
    EXPECT_EQ(renderAudio(**engine, data(), items).rendered, 0);
}

// Asks for a stop while a chapter is being synthesised by the real engine.
class StopWhileSynthesising final : public SpeechEngine {
public:
    StopWhileSynthesising(SpeechEngine& inner, std::stop_source stop) : m_inner(inner), m_stop(std::move(stop)) {}
    std::vector<Voice> voices() const override { return m_inner.voices(); }
    int preferredVoice() const override { return m_inner.preferredVoice(); }
    Status selectVoice(std::size_t index) override { return m_inner.selectVoice(index); }
    int selectedVoice() const override { return m_inner.selectedVoice(); }
    bool setRate(int rate) override { return m_inner.setRate(rate); }
    int rate() const override { return m_inner.rate(); }
    Status speak(std::u16string_view text, std::stop_token token) override { return m_inner.speak(text, token); }
    void stop() override { m_inner.stop(); }
    Result<Wave> speakToWave(std::u16string_view text, std::stop_token token) override
    {
        m_stop.request_stop();
        return m_inner.speakToWave(text, token);
    }

private:
    SpeechEngine& m_inner;
    std::stop_source m_stop;
};

TEST_F(AudioRendererTest, RealEngineStopLeavesTheFirstFileCompleteAndNothingMore)
{
    auto engine = EspeakEngine::create(std::make_unique<NullOutput>(NullPace::Instant));
    ASSERT_TRUE(engine.ok());
    std::stop_source stop;
    StopWhileSynthesising stopping(**engine, stop);
    const RenderSummary summary =
        renderAudio(stopping, data(), chaptersToRender(m_tree, node("小说")), stop.get_token());
    EXPECT_TRUE(summary.stopped);
    ASSERT_EQ(wavFiles(), (std::vector<std::string>{"小说/0001_西游记/0001_第一回.wav"}));
    const fs::path file = audio("小说/0001_西游记/0001_第一回.wav");
    const auto info = readWavInfo(file);
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info->dataOffset + info->dataSize, fs::file_size(file));
    EXPECT_NEAR(info->seconds(), summary.audioSeconds, 1e-6);
    EXPECT_GT(info->seconds(), 1.0);
}

}  // namespace
}  // namespace veyla::speech
