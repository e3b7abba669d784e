// SPDX-License-Identifier: MIT
#include "core/speech/espeak_engine.h"

#include <gtest/gtest.h>

#include <future>

#include "core/speech/null_output.h"
#include "core/speech/voice_preference.h"
#include "core/speech/wav_file.h"
#include "support/test_support.h"

namespace veyla::speech {
namespace {

using namespace std::chrono_literals;

constexpr std::u16string_view kSentence = u"却说那石猴在花果山水帘洞中，每日与群猴游戏。";

// espeak-ng's synthesis varies by a few hundred samples from call to call
// (its noise sources), so lengths are compared within 2%.
void expectNearlySameLength(std::size_t a, std::size_t b)
{
    EXPECT_NEAR(static_cast<double>(a), static_cast<double>(b), 0.02 * static_cast<double>(b));
}

std::unique_ptr<EspeakEngine> makeEngine(NullPace pace = NullPace::Instant)
{
    auto engine = EspeakEngine::create(std::make_unique<NullOutput>(pace));
    EXPECT_TRUE(engine.ok()) << (engine.ok() ? "" : engine.error().detail);
    return engine.ok() ? std::move(*engine) : nullptr;
}

NullOutput& nullOutput(EspeakEngine& engine)
{
    return dynamic_cast<NullOutput&>(engine.output());
}

int indexOf(const std::vector<Voice>& voices, std::string_view displayName)
{
    for (std::size_t i = 0; i < voices.size(); ++i) {
        if (voices[i].displayName == displayName)
            return static_cast<int>(i);
    }
    return -1;
}

TEST(EspeakRate, WordsPerMinuteRiseWithTheRate)
{
    for (int rate = kSlowestRate; rate < kFastestRate; ++rate)
        EXPECT_LT(espeakWordsPerMinute(rate), espeakWordsPerMinute(rate + 1)) << rate;
    EXPECT_EQ(espeakWordsPerMinute(kNormalRate), 190);
    EXPECT_EQ(espeakWordsPerMinute(-50), espeakWordsPerMinute(kSlowestRate));
    EXPECT_EQ(espeakWordsPerMinute(50), espeakWordsPerMinute(kFastestRate));
    EXPECT_GE(espeakWordsPerMinute(kSlowestRate), 80);
    EXPECT_LT(espeakWordsPerMinute(kFastestRate), 450);
}

TEST(EspeakPositions, CodePointIndexBecomesUtf16Offset)
{
    const std::u16string text = u"a𨀁b𨀁";
    EXPECT_EQ(utf16OffsetOfCodePoint(text, 0), 0);
    EXPECT_EQ(utf16OffsetOfCodePoint(text, 1), 1);
    EXPECT_EQ(utf16OffsetOfCodePoint(text, 2), 3);
    EXPECT_EQ(utf16OffsetOfCodePoint(text, 3), 4);
    EXPECT_EQ(utf16OffsetOfCodePoint(text, 4), 6);
    EXPECT_EQ(utf16OffsetOfCodePoint(text, 99), 6);
}

TEST(EspeakEngine, ListsItsVoicesWithThePinyinMandarinVoicePreferred)
{
    auto engine = makeEngine();
    ASSERT_NE(engine, nullptr);
    const auto voices = engine->voices();
    ASSERT_GT(voices.size(), 10u);
    const int pinyin = indexOf(voices, "cmn-Latn-pinyin");
    const int plain = indexOf(voices, "cmn");
    ASSERT_GE(pinyin, 0);
    ASSERT_GE(plain, 0);
    EXPECT_LT(pinyin, plain) << "the pinyin voice comes first among the Mandarin voices";
    EXPECT_EQ(engine->preferredVoice(), pinyin);
    EXPECT_EQ(engine->selectedVoice(), pinyin);
    EXPECT_EQ(voices[static_cast<std::size_t>(pinyin)].identifier, "sit/cmn-Latn-pinyin");
    EXPECT_EQ(engine->sampleRate(), 22050);
}

TEST(EspeakEngine, SelectingBeyondTheListSelectsTheLastVoice)
{
    auto engine = makeEngine();
    ASSERT_NE(engine, nullptr);
    ASSERT_TRUE(engine->selectVoice(100000).ok());
    EXPECT_EQ(engine->selectedVoice(), static_cast<int>(engine->voices().size()) - 1);
    ASSERT_TRUE(engine->selectVoice(2).ok());
    EXPECT_EQ(engine->selectedVoice(), 2);
}

TEST(EspeakEngine, RateIsClampedAndReportsChanges)
{
    auto engine = makeEngine();
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(engine->rate(), 0);
    EXPECT_TRUE(engine->setRate(3));
    EXPECT_FALSE(engine->setRate(3));
    EXPECT_TRUE(engine->setRate(99));
    EXPECT_EQ(engine->rate(), kFastestRate);
    EXPECT_FALSE(engine->setRate(11));
    EXPECT_TRUE(engine->setRate(-99));
    EXPECT_EQ(engine->rate(), kSlowestRate);
}

TEST(EspeakEngine, FasterRatesGiveShorterSpeech)
{
    auto engine = makeEngine();
    ASSERT_NE(engine, nullptr);
    double previous = 1e9;
    for (int rate : {-10, 0, 3, 7, 10}) {
        engine->setRate(rate);
        const auto wave = engine->speakToWave(kSentence);
        ASSERT_TRUE(wave.ok());
        EXPECT_LT(wave->seconds(), previous) << "rate " << rate;
        previous = wave->seconds();
    }
}

TEST(EspeakEngine, SpeakPlaysTheSamplesThatSpeakToWaveMakes)
{
    auto engine = makeEngine();
    ASSERT_NE(engine, nullptr);
    const auto wave = engine->speakToWave(kSentence);
    ASSERT_TRUE(wave.ok());
    ASSERT_GT(wave->samples.size(), 22050u) << "a sentence lasts more than a second";
    ASSERT_TRUE(engine->speak(kSentence).ok());
    expectNearlySameLength(nullOutput(*engine).samplesConsumed(), wave->samples.size());
    EXPECT_TRUE(engine->output().firstSampleTime().has_value());
}

TEST(EspeakEngine, WordMarksCountUtf16UnitsPastSurrogatePairs)
{
    auto engine = makeEngine();
    ASSERT_NE(engine, nullptr);
    ASSERT_TRUE(engine->selectVoice(static_cast<std::size_t>(indexOf(engine->voices(), "en"))).ok());
    const std::u16string text = u"𨀁 hello world";
    const auto wave = engine->speakToWave(text);
    ASSERT_TRUE(wave.ok());
    std::vector<std::u16string> words;
    for (const WordMark& mark : wave->words)
        words.push_back(text.substr(static_cast<std::size_t>(mark.begin), static_cast<std::size_t>(mark.end - mark.begin)));
    EXPECT_NE(std::find(words.begin(), words.end(), u"hello"), words.end());
    EXPECT_NE(std::find(words.begin(), words.end(), u"world"), words.end());
    for (std::size_t i = 1; i < wave->words.size(); ++i)
        EXPECT_LE(wave->words[i - 1].sample, wave->words[i].sample);
}

TEST(EspeakEngine, EnginesKeepTheirOwnVoiceAndRate)
{
    auto chinese = makeEngine();
    auto english = makeEngine();
    ASSERT_NE(chinese, nullptr);
    ASSERT_NE(english, nullptr);
    const auto before = chinese->speakToWave(kSentence);
    ASSERT_TRUE(english->selectVoice(static_cast<std::size_t>(indexOf(english->voices(), "en"))).ok());
    english->setRate(10);
    ASSERT_TRUE(english->speakToWave(u"Something else entirely.").ok());
    const auto after = chinese->speakToWave(kSentence);
    ASSERT_TRUE(before.ok());
    ASSERT_TRUE(after.ok());
    expectNearlySameLength(before->samples.size(), after->samples.size());
}

TEST(EspeakEngine, StopEndsASpeakBeingPlayed)
{
    auto engine = makeEngine(NullPace::RealTime);
    ASSERT_NE(engine, nullptr);
    std::u16string longText;
    for (int i = 0; i < 40; ++i)
        longText += kSentence;  // minutes of audio
    auto speaking = std::async(std::launch::async, [&] { return engine->speak(longText); });
    while (!engine->output().firstSampleTime().has_value())
        std::this_thread::sleep_for(1ms);
    engine->stop();
    ASSERT_EQ(speaking.wait_for(30s), std::future_status::ready) << "stop did not end the speak";
    EXPECT_EQ(speaking.get().code(), ErrorCode::Cancelled);
    // The next speak is not affected by the earlier stop.
    EXPECT_TRUE(engine->speak(u"好。").ok());
}

TEST(EspeakEngine, StopRequestOnTheTokenEndsASpeak)
{
    auto engine = makeEngine(NullPace::RealTime);
    ASSERT_NE(engine, nullptr);
    std::stop_source source;
    source.request_stop();
    EXPECT_EQ(engine->speak(kSentence, source.get_token()).code(), ErrorCode::Cancelled);
    EXPECT_EQ(engine->speakToWave(kSentence, source.get_token()).code(), ErrorCode::Cancelled);
}

TEST(EspeakEngine, SpeakToFileWritesAWavFile)
{
    auto engine = makeEngine();
    ASSERT_NE(engine, nullptr);
    test::TempDir dir;
    const auto seconds = engine->speakToFile(dir / "s.wav", kSentence);
    ASSERT_TRUE(seconds.ok());
    const auto info = readWavInfo(dir / "s.wav");
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info->formatTag, 1);
    EXPECT_EQ(info->channels, 1);
    EXPECT_EQ(info->bitsPerSample, 16);
    EXPECT_EQ(info->sampleRate, 22050);
    EXPECT_GT(info->seconds(), 1.0);
    EXPECT_DOUBLE_EQ(info->seconds(), *seconds);
    const auto wave = engine->speakToWave(kSentence);
    ASSERT_TRUE(wave.ok());
    expectNearlySameLength(info->dataSize / 2, wave->samples.size());
    EXPECT_EQ(engine->speakToFile(dir / "missing-folder" / "s.wav", kSentence).code(), ErrorCode::WriteFailed);
}

}  // namespace
}  // namespace veyla::speech
