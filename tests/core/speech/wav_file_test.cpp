// SPDX-License-Identifier: MIT
#include "core/speech/wav_file.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace veyla::speech {
namespace {

namespace fs = std::filesystem;

TEST(WavFile, HeaderDescribesSixteenBitMonoPcm)
{
    const std::vector<std::int16_t> samples = {0, 1, -1, 32767, -32768};
    const auto bytes = encodeWav(22050, samples);
    ASSERT_TRUE(bytes.ok());
    ASSERT_EQ(bytes->size(), 44u + 10u);
    EXPECT_EQ(bytes->substr(0, 4), "RIFF");
    EXPECT_EQ(bytes->substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(bytes->substr(36, 4), "data");
    const auto info = parseWav(*bytes);
    ASSERT_TRUE(info.ok()) << info.error().detail;
    EXPECT_EQ(info->riffSize, bytes->size() - 8);
    EXPECT_EQ(info->formatTag, 1);
    EXPECT_EQ(info->channels, 1);
    EXPECT_EQ(info->sampleRate, 22050);
    EXPECT_EQ(info->byteRate, 44100);
    EXPECT_EQ(info->blockAlign, 2);
    EXPECT_EQ(info->bitsPerSample, 16);
    EXPECT_EQ(info->dataSize, 10u);
    EXPECT_EQ(info->dataOffset, 44u);
    // Samples are little-endian.
    EXPECT_EQ(static_cast<unsigned char>((*bytes)[44 + 6]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>((*bytes)[44 + 7]), 0x7F);
}

TEST(WavFile, WrittenFileReadsBackSampleForSample)
{
    test::TempDir dir;
    std::vector<std::int16_t> samples(16000);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(static_cast<int>(i * 37 % 65536) - 32768);
    const fs::path path = dir / "one.wav";
    ASSERT_TRUE(writeWavFile(path, 16000, samples).ok());
    const auto info = readWavInfo(path);
    ASSERT_TRUE(info.ok());
    EXPECT_DOUBLE_EQ(info->seconds(), 1.0);
    EXPECT_EQ(info->fileSize, fs::file_size(path));
    EXPECT_EQ(test::readBytes(path), *encodeWav(16000, samples));
    const auto back = readWavSamples(path);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(*back, samples);
    // Nothing but the file is left in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(WavFile, StreamedFileEqualsTheFileWrittenAtOnce)
{
    test::TempDir dir;
    std::vector<std::int16_t> samples(300000);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(i * 7);
    auto writer = WavFileWriter::create(dir / "streamed.wav", 22050);
    ASSERT_TRUE(writer.ok());
    // Uneven chunks, more than one flush of the writer's buffer.
    for (std::size_t at = 0; at < samples.size();) {
        const std::size_t count = std::min<std::size_t>(1323 + at % 17, samples.size() - at);
        ASSERT_TRUE(writer->append(std::span(samples).subspan(at, count)).ok());
        at += count;
    }
    EXPECT_FALSE(fs::exists(dir / "streamed.wav"));
    const auto seconds = writer->finish();
    ASSERT_TRUE(seconds.ok());
    EXPECT_DOUBLE_EQ(*seconds, 300000.0 / 22050);
    EXPECT_EQ(test::readBytes(dir / "streamed.wav"), *encodeWav(22050, samples));
}

TEST(WavFile, UnfinishedStreamLeavesNoFile)
{
    test::TempDir dir;
    {
        auto writer = WavFileWriter::create(dir / "never.wav", 22050);
        ASSERT_TRUE(writer.ok());
        ASSERT_TRUE(writer->append(std::vector<std::int16_t>(200000, 3)).ok());
    }
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(WavFile, EmptySpeechIsAValidFile)
{
    const auto bytes = encodeWav(22050, {});
    ASSERT_TRUE(bytes.ok());
    const auto info = parseWav(*bytes);
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info->dataSize, 0u);
    EXPECT_EQ(info->seconds(), 0.0);
}

TEST(WavFile, ReaderSkipsChunksBeforeTheData)
{
    auto bytes = *encodeWav(8000, std::vector<std::int16_t>{5, 6});
    // Insert an odd-sized LIST chunk (padded to even) between fmt and data.
    const std::string list = std::string("LIST") + std::string("\x03\0\0\0", 4) + "abc" + std::string(1, '\0');
    bytes.insert(36, list);
    const auto info = parseWav(bytes);
    ASSERT_TRUE(info.ok()) << info.error().detail;
    EXPECT_EQ(info->dataOffset, 44u + list.size());
    EXPECT_EQ(info->dataSize, 4u);
}

TEST(WavFile, RefusesBrokenHeaders)
{
    const std::string good = *encodeWav(8000, std::vector<std::int16_t>{1, 2, 3});
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::string truncated = good.substr(0, good.size() - 2);
    std::string noWave = good;
    noWave.replace(8, 4, "AVI ");
    std::string hugeChunk = good;
    hugeChunk.replace(16, 4, std::string("\xFF\xFF\xFF\x7F", 4));
    for (const Case& c : {Case{"empty", ""}, Case{"data cut short", truncated}, Case{"not WAVE", noWave},
                          Case{"fmt size beyond the end", hugeChunk}, Case{"header only", good.substr(0, 12)}}) {
        const auto info = parseWav(c.bytes);
        EXPECT_FALSE(info.ok()) << c.what;
        if (!info.ok()) {
            EXPECT_EQ(info.code(), ErrorCode::Unsupported) << c.what;
        }
    }
}

TEST(WavFile, RefusesANonPositiveSampleRate)
{
    EXPECT_EQ(encodeWav(0, std::vector<std::int16_t>{1}).code(), ErrorCode::InvalidArgument);
}

}  // namespace
}  // namespace veyla::speech
