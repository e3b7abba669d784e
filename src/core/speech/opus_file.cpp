// SPDX-License-Identifier: MIT
#include "core/speech/opus_file.h"

#include <opusenc.h>

#include <fstream>
#include <string>
#include <vector>

#include "core/platform/shared_library.h"
#include "core/speech/wav_file.h"

namespace veyla::speech {

namespace {

// The libopusenc functions the encoder calls, bound when first needed so
// that only programs that make Opus files load it.
struct OpusEncApi {
    decltype(&::ope_comments_create) commentsCreate = nullptr;
    decltype(&::ope_comments_add) commentsAdd = nullptr;
    decltype(&::ope_comments_destroy) commentsDestroy = nullptr;
    decltype(&::ope_encoder_create_file) createFile = nullptr;
    decltype(&::ope_encoder_ctl) ctl = nullptr;
    decltype(&::ope_encoder_write) write = nullptr;
    decltype(&::ope_encoder_drain) drain = nullptr;
    decltype(&::ope_encoder_destroy) destroy = nullptr;
    decltype(&::ope_strerror) strerror = nullptr;
};

Result<OpusEncApi> loadOpusEnc()
{
    auto library = platform::SharedLibrary::open("libopusenc.so.0");
    if (!library)
        return Error{ErrorCode::EngineUnavailable, "Opus needs libopusenc (Debian package libopusenc0): " +
                                                       library.error().detail};
    OpusEncApi api;
    const auto& lib = *library;
    for (Status bound : {lib.bind(api.commentsCreate, "ope_comments_create"),
                         lib.bind(api.commentsAdd, "ope_comments_add"),
                         lib.bind(api.commentsDestroy, "ope_comments_destroy"),
                         lib.bind(api.createFile, "ope_encoder_create_file"), lib.bind(api.ctl, "ope_encoder_ctl"),
                         lib.bind(api.write, "ope_encoder_write"), lib.bind(api.drain, "ope_encoder_drain"),
                         lib.bind(api.destroy, "ope_encoder_destroy"), lib.bind(api.strerror, "ope_strerror")}) {
        if (!bound)
            return bound.error();
    }
    return api;
}

const Result<OpusEncApi>& opusEnc()
{
    static const Result<OpusEncApi> loaded = loadOpusEnc();
    return loaded;
}

// Samples are read and encoded in blocks, so a long chapter never sits in memory whole.
constexpr std::size_t kBlockSamples = 1 << 16;

}  // namespace

Status encodeOpusFile(const std::filesystem::path& wavPath, const std::filesystem::path& opusPath,
                      const AudioTags& tags)
{
    const auto& loaded = opusEnc();
    if (!loaded)
        return loaded.error();
    const OpusEncApi& api = *loaded;
    auto info = readWavInfo(wavPath);
    if (!info)
        return info.error();
    if (info->formatTag != 1 || info->channels != 1 || info->bitsPerSample != 16)
        return Error{ErrorCode::Unsupported, wavPath.string() + ": not 16-bit PCM mono"};
    std::ifstream wav(wavPath, std::ios::binary);
    wav.seekg(static_cast<std::streamoff>(info->dataOffset));
    if (!wav)
        return Error{ErrorCode::FileUnavailable, wavPath.string() + ": cannot be read"};

    OggOpusComments* comments = api.commentsCreate();
    if (comments == nullptr)
        return Error{ErrorCode::WriteFailed, "libopusenc: out of memory"};
    const std::pair<const char*, std::string> fields[] = {
        {"TITLE", tags.title}, {"ALBUM", tags.album}, {"ARTIST", tags.artist},
        {"TRACKNUMBER", tags.track > 0 ? std::to_string(tags.track) : std::string()},
        {"TRACKTOTAL", tags.tracks > 0 ? std::to_string(tags.tracks) : std::string()}};
    for (const auto& [name, value] : fields) {
        if (!value.empty())
            api.commentsAdd(comments, name, value.c_str());
    }
    int error = OPE_OK;
    OggOpusEnc* encoder = api.createFile(opusPath.c_str(), comments, info->sampleRate, 1, 0, &error);
    api.commentsDestroy(comments);
    if (encoder == nullptr)
        return Error{ErrorCode::WriteFailed, opusPath.string() + ": " + api.strerror(error)};
    api.ctl(encoder, OPUS_SET_BITRATE(kOpusBitsPerSecond));
    api.ctl(encoder, OPUS_SET_SIGNAL(OPUS_SIGNAL_VOICE));

    std::vector<opus_int16> block(kBlockSamples);
    std::size_t left = info->dataSize / 2;
    while (left > 0 && error == OPE_OK) {
        const std::size_t count = std::min(left, block.size());
        // WAV samples are little-endian, as this machine's are.
        wav.read(reinterpret_cast<char*>(block.data()), static_cast<std::streamsize>(count * 2));
        if (!wav) {
            error = OPE_CANNOT_OPEN;
            break;
        }
        error = api.write(encoder, block.data(), static_cast<int>(count));
        left -= count;
    }
    if (error == OPE_OK)
        error = api.drain(encoder);
    api.destroy(encoder);
    if (error != OPE_OK)
        return Error{ErrorCode::WriteFailed, opusPath.string() + ": " + api.strerror(error)};
    return {};
}

}  // namespace veyla::speech
