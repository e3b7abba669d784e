// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "core/speech/alsa_output.h"
#include "core/speech/null_output.h"

namespace veyla::speech {
namespace {

using namespace std::chrono_literals;

TEST(NullOutput, InstantPaceConsumesEverything)
{
    NullOutput output(NullPace::Instant);
    EXPECT_FALSE(output.firstSampleTime().has_value());
    ASSERT_TRUE(output.begin(22050).ok());
    const std::vector<std::int16_t> second(22050, 100);
    for (int i = 0; i < 60; ++i)  // a minute of audio
        ASSERT_TRUE(output.write(second).ok());
    output.end(Ending::Drain);
    EXPECT_EQ(output.samplesConsumed(), 60u * 22050u);
    EXPECT_TRUE(output.firstSampleTime().has_value());
}

TEST(NullOutput, FirstSampleTimeIsKeptUntilCleared)
{
    NullOutput output(NullPace::Instant);
    ASSERT_TRUE(output.begin(8000).ok());
    ASSERT_TRUE(output.write(std::vector<std::int16_t>{}).ok());
    EXPECT_FALSE(output.firstSampleTime().has_value()) << "an empty write hands over no sample";
    ASSERT_TRUE(output.write(std::vector<std::int16_t>{1}).ok());
    const auto first = output.firstSampleTime();
    ASSERT_TRUE(first.has_value());
    std::this_thread::sleep_for(2ms);
    ASSERT_TRUE(output.write(std::vector<std::int16_t>{1}).ok());
    EXPECT_EQ(output.firstSampleTime(), first);
    output.clearFirstSampleTime();
    EXPECT_FALSE(output.firstSampleTime().has_value());
}

TEST(NullOutput, InterruptEndsARealTimeDrainAndLaterWritesUntilTheNextUtterance)
{
    NullOutput output(NullPace::RealTime);
    ASSERT_TRUE(output.begin(8000).ok());
    // An hour of audio: the drain would wait that long without the interrupt.
    ASSERT_TRUE(output.write(std::vector<std::int16_t>(800, 0)).ok());
    std::vector<std::int16_t> hour(8000 * 3600, 0);
    auto writer = std::async(std::launch::async, [&] { return output.write(hour); });
    std::this_thread::sleep_for(20ms);
    output.interrupt();
    const Status written = writer.get();
    ASSERT_FALSE(written.ok());
    EXPECT_EQ(written.code(), ErrorCode::Cancelled);
    EXPECT_EQ(output.write(std::vector<std::int16_t>{1}).code(), ErrorCode::Cancelled);
    output.end(Ending::Drain);  // returns at once: interrupted
    ASSERT_TRUE(output.begin(8000).ok());
    EXPECT_TRUE(output.write(std::vector<std::int16_t>{1}).ok());
}

TEST(NullOutput, RefusesANonPositiveSampleRate)
{
    NullOutput output(NullPace::Instant);
    EXPECT_EQ(output.begin(0).code(), ErrorCode::InvalidArgument);
}

TEST(AlsaOutput, UnknownDeviceIsReportedNotThrown)
{
    const auto output = AlsaOutput::open("veyla-no-such-device");
    ASSERT_FALSE(output.ok());
    EXPECT_EQ(output.code(), ErrorCode::DeviceUnavailable);
    EXPECT_NE(output.error().detail.find("veyla-no-such-device"), std::string::npos);
}

// ALSA's "null" plugin accepts samples without hardware: it runs the same
// open, configure, write, drain and drop calls a sound card gets.
TEST(AlsaOutput, PlaysOnTheNullPluginDevice)
{
    auto output = AlsaOutput::open("null");
    if (!output.ok())
        GTEST_SKIP() << "no ALSA null device: " << output.error().detail;
    AlsaOutput& alsa = **output;
    EXPECT_EQ(alsa.kind(), OutputKind::Alsa);
    ASSERT_TRUE(alsa.begin(22050).ok());
    ASSERT_TRUE(alsa.write(std::vector<std::int16_t>(2205, 7)).ok());
    alsa.end(Ending::Drain);
    EXPECT_TRUE(alsa.firstSampleTime().has_value());
    // A second utterance at another rate, cut off.
    ASSERT_TRUE(alsa.begin(16000).ok());
    ASSERT_TRUE(alsa.write(std::vector<std::int16_t>(1600, 7)).ok());
    alsa.interrupt();
    EXPECT_EQ(alsa.write(std::vector<std::int16_t>(1600, 7)).code(), ErrorCode::Cancelled);
    alsa.end(Ending::Drop);
    ASSERT_TRUE(alsa.begin(16000).ok());
    EXPECT_TRUE(alsa.write(std::vector<std::int16_t>(160, 7)).ok());
    alsa.end(Ending::Drain);
}

TEST(OutputFactory, FallsBackToTheNullOutputAndSaysWhy)
{
    const OutputChoice choice = openDefaultOutput(NullPace::Instant);
    ASSERT_NE(choice.output, nullptr);
    EXPECT_EQ(choice.output->kind(), choice.kind);
    if (choice.kind == OutputKind::Null)
        EXPECT_FALSE(choice.reason.empty());
    else
        EXPECT_TRUE(choice.reason.empty());
}

}  // namespace
}  // namespace veyla::speech
