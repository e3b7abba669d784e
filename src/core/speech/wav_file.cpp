// SPDX-License-Identifier: MIT
#include "core/speech/wav_file.h"

#include <bit>
#include <limits>

#include "core/platform/file_io.h"

namespace veyla::speech {

namespace {

constexpr std::size_t kHeaderBytes = 44;
constexpr int kBitsPerSample = 16;
constexpr int kBytesPerSample = kBitsPerSample / 8;
// The writer hands its buffer to the file in blocks of this size.
constexpr std::size_t kFlushBytes = 256 * 1024;

void putU32(std::string& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

void putU16(std::string& out, std::uint16_t value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

std::uint32_t getU32(std::string_view bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

std::uint16_t getU16(std::string_view bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

Error notWav(const std::string& why)
{
    return Error{ErrorCode::Unsupported, "not a PCM WAV file: " + why};
}

Result<std::string> wavHeader(int sampleRate, std::size_t sampleCount)
{
    if (sampleRate <= 0)
        return Error{ErrorCode::InvalidArgument, "sample rate " + std::to_string(sampleRate)};
    const std::uint64_t dataBytes = static_cast<std::uint64_t>(sampleCount) * kBytesPerSample;
    if (dataBytes + kHeaderBytes - 8 > std::numeric_limits<std::uint32_t>::max())
        return Error{ErrorCode::TooLarge, std::to_string(sampleCount) + " samples do not fit a WAV file"};

    std::string out;
    out.reserve(kHeaderBytes);
    out += "RIFF";
    putU32(out, static_cast<std::uint32_t>(dataBytes + kHeaderBytes - 8));
    out += "WAVEfmt ";
    putU32(out, 16);
    putU16(out, 1);  // PCM
    putU16(out, 1);  // mono
    putU32(out, static_cast<std::uint32_t>(sampleRate));
    putU32(out, static_cast<std::uint32_t>(sampleRate * kBytesPerSample));
    putU16(out, kBytesPerSample);
    putU16(out, kBitsPerSample);
    out += "data";
    putU32(out, static_cast<std::uint32_t>(dataBytes));
    return out;
}

void appendSamples(std::string& out, std::span<const std::int16_t> samples)
{
    if constexpr (std::endian::native == std::endian::little) {
        out.append(reinterpret_cast<const char*>(samples.data()), samples.size() * kBytesPerSample);
    } else {
        for (const std::int16_t sample : samples)
            putU16(out, static_cast<std::uint16_t>(sample));
    }
}

}  // namespace

Result<std::string> encodeWav(int sampleRate, std::span<const std::int16_t> samples)
{
    auto out = wavHeader(sampleRate, samples.size());
    if (!out)
        return out;
    out->reserve(kHeaderBytes + samples.size() * kBytesPerSample);
    appendSamples(*out, samples);
    return out;
}

Result<WavFileWriter> WavFileWriter::create(const std::filesystem::path& path, int sampleRate)
{
    auto header = wavHeader(sampleRate, 0);
    if (!header)
        return header.error();
    auto file = platform::AtomicFileWriter::create(path);
    if (!file)
        return file.error();
    WavFileWriter writer(std::move(*file), sampleRate);
    writer.m_buffer = std::move(*header);  // sizes are filled in by finish()
    return writer;
}

Status WavFileWriter::append(std::span<const std::int16_t> samples)
{
    appendSamples(m_buffer, samples);
    m_samples += samples.size();
    return m_buffer.size() >= kFlushBytes ? flush() : Status();
}

Status WavFileWriter::flush()
{
    Status written = m_file.append(m_buffer);
    m_buffer.clear();
    return written;
}

Result<double> WavFileWriter::finish()
{
    auto header = wavHeader(m_sampleRate, m_samples);
    if (!header)
        return header.error();
    if (Status flushed = flush(); !flushed)
        return flushed.error();
    if (Status patched = m_file.writeAt(0, *header); !patched)
        return patched.error();
    if (Status committed = m_file.commit(); !committed)
        return committed.error();
    return static_cast<double>(m_samples) / m_sampleRate;
}

Status writeWavFile(const std::filesystem::path& path, int sampleRate, std::span<const std::int16_t> samples)
{
    auto writer = WavFileWriter::create(path, sampleRate);
    if (!writer)
        return writer.error();
    if (Status appended = writer->append(samples); !appended)
        return appended;
    auto finished = writer->finish();
    if (!finished)
        return finished.error();
    return {};
}

double WavInfo::seconds() const
{
    if (byteRate <= 0)
        return 0.0;
    return static_cast<double>(dataSize) / byteRate;
}

Result<WavInfo> parseWav(std::string_view bytes)
{
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE")
        return notWav("no RIFF/WAVE header");
    WavInfo info;
    info.fileSize = bytes.size();
    info.riffSize = getU32(bytes, 4);
    bool haveFormat = false;
    std::size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const std::string_view id = bytes.substr(at, 4);
        const std::uint32_t size = getU32(bytes, at + 4);
        const std::size_t body = at + 8;
        if (id == "data") {
            if (!haveFormat)
                return notWav("data before fmt");
            if (size > bytes.size() - body)
                return notWav("data chunk runs past the end of the file");
            info.dataSize = size;
            info.dataOffset = body;
            return info;
        }
        if (size > bytes.size() - body)
            return notWav("chunk runs past the end of the file");
        if (id == "fmt ") {
            if (size < 16)
                return notWav("fmt chunk too short");
            info.formatTag = getU16(bytes, body);
            info.channels = getU16(bytes, body + 2);
            info.sampleRate = static_cast<int>(getU32(bytes, body + 4));
            info.byteRate = static_cast<int>(getU32(bytes, body + 8));
            info.blockAlign = getU16(bytes, body + 12);
            info.bitsPerSample = getU16(bytes, body + 14);
            haveFormat = true;
        }
        at = body + size + (size & 1);  // chunks are padded to even sizes
    }
    return notWav(haveFormat ? "no data chunk" : "no fmt chunk");
}

Result<WavInfo> readWavInfo(const std::filesystem::path& path)
{
    auto bytes = platform::readWholeFile(path);
    if (!bytes)
        return bytes.error();
    return parseWav(*bytes);
}

Result<std::vector<std::int16_t>> readWavSamples(const std::filesystem::path& path)
{
    auto bytes = platform::readWholeFile(path);
    if (!bytes)
        return bytes.error();
    auto info = parseWav(*bytes);
    if (!info)
        return info.error();
    if (info->formatTag != 1 || info->bitsPerSample != kBitsPerSample)
        return notWav("not 16-bit PCM");
    std::vector<std::int16_t> samples(info->dataSize / kBytesPerSample);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(getU16(*bytes, info->dataOffset + i * kBytesPerSample));
    return samples;
}

}  // namespace veyla::speech
