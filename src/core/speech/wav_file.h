// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/atomic_file_writer.h"
#include "core/util/result.h"

namespace veyla::speech {

// The bytes of a WAV file holding 16-bit PCM mono samples: a RIFF header,
// a 16-byte "fmt " chunk (format 1) and a "data" chunk. TooLarge when the
// samples do not fit the 32-bit sizes of the format.
Result<std::string> encodeWav(int sampleRate, std::span<const std::int16_t> samples);

// Writes a 16-bit PCM mono WAV file as its samples arrive, atomically: the
// file appears at its path complete, with its sizes filled in, when
// finish() succeeds, and not at all otherwise.
class WavFileWriter {
public:
    // WriteFailed when the file cannot be made (its folder must exist).
    static Result<WavFileWriter> create(const std::filesystem::path& path, int sampleRate);

    Status append(std::span<const std::int16_t> samples);
    // Completes the file; returns the seconds of audio it holds. TooLarge
    // when the samples do not fit the format's 32-bit sizes.
    Result<double> finish();
    std::size_t samplesWritten() const { return m_samples; }

private:
    WavFileWriter(platform::AtomicFileWriter file, int sampleRate) : m_file(std::move(file)), m_sampleRate(sampleRate) {}
    Status flush();

    platform::AtomicFileWriter m_file;
    int m_sampleRate;
    std::size_t m_samples = 0;
    std::string m_buffer;
};

// Writes the samples as a WAV file atomically (a temporary file renamed
// over path), so that the file is either complete or absent.
Status writeWavFile(const std::filesystem::path& path, int sampleRate, std::span<const std::int16_t> samples);

// What the header of a PCM WAV file says.
struct WavInfo {
    std::uint32_t riffSize = 0;  // the RIFF chunk's size field
    int formatTag = 0;           // 1 = PCM
    int channels = 0;
    int sampleRate = 0;
    int byteRate = 0;
    int blockAlign = 0;
    int bitsPerSample = 0;
    std::uint32_t dataSize = 0;     // the data chunk's size field, in bytes
    std::size_t dataOffset = 0;     // where the samples start in the file
    std::size_t fileSize = 0;

    double seconds() const;
};

// Reads the header of WAV bytes, walking the chunks after "fmt " until
// "data". Unsupported for anything that is not a RIFF/WAVE file with a fmt
// and a data chunk, or whose data chunk runs past the end of the bytes.
Result<WavInfo> parseWav(std::string_view bytes);
Result<WavInfo> readWavInfo(const std::filesystem::path& path);
// The 16-bit samples of a 16-bit PCM file (all channels interleaved).
Result<std::vector<std::int16_t>> readWavSamples(const std::filesystem::path& path);

}  // namespace veyla::speech
