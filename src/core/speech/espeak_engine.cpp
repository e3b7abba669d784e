// SPDX-License-Identifier: MIT
#include "core/speech/espeak_engine.h"

#include <pthread.h>

#include <csignal>

#include <array>
#include <cstring>

#include "core/speech/espeak_api.h"
#include "core/speech/voice_preference.h"
#include "core/speech/wav_file.h"

namespace veyla::speech {

namespace {

// Milliseconds of audio per synthesis callback. Synthesis runs hundreds of
// times faster than speech, so a buffer is made in well under a
// millisecond: the first samples still reach the output at once, and a stop
// is seen by the output's own writes, which play in short chunks.
constexpr int kBufferMilliseconds = 60;
// Samples reserved for each UTF-16 unit of a text given to speakToWave:
// about 0.6 s of speech, more than the slowest rate takes for a character,
// and at most 2^28 samples (3.4 hours).
constexpr std::size_t kReservedSamplesPerUnit = 13230;
constexpr std::size_t kMostReservedSamples = std::size_t{1} << 28;
// The voice used while none is selected.
constexpr const char* kFallbackVoice = "en";

constexpr std::array<int, 11> kFasterWordsPerMinute = {190, 205, 220, 240, 260, 280, 305, 330, 360, 390, 420};
constexpr int kSlowestWordsPerMinute = 80;

// espeak-ng keeps one state per process; this is what the engines know of
// it, guarded by the one lock every call into espeak-ng holds.
struct EspeakLibrary {
    std::mutex mutex;
    const EspeakApi* api = nullptr;  // set once started
    bool started = false;
    int sampleRate = 0;
    std::string loadedVoice;  // the identifier espeak-ng has loaded
};

EspeakLibrary& espeakLibrary()
{
    static EspeakLibrary library;
    return library;
}

std::string statusText(const EspeakApi& api, espeak_ng_STATUS status)
{
    std::array<char, 512> buffer{};
    api.statusCodeMessage(status, buffer.data(), buffer.size());
    return buffer.data();
}

// espeak-ng's languages field: a priority byte, a name and a NUL, repeated,
// ending with an empty name.
std::vector<std::string> languagesOf(const char* field)
{
    std::vector<std::string> languages;
    if (field == nullptr)
        return languages;
    while (field[0] != 0 && field[1] != 0) {
        languages.emplace_back(field + 1);
        field += 1 + std::strlen(field + 1) + 1;
    }
    return languages;
}

std::vector<Voice> listVoices(const EspeakApi& api)
{
    std::vector<Voice> voices;
    const espeak_VOICE** list = api.listVoices(nullptr);
    for (; list != nullptr && *list != nullptr; ++list) {
        const espeak_VOICE& v = **list;
        Voice voice;
        voice.identifier = v.identifier != nullptr ? v.identifier : "";
        voice.displayName = voice.identifier.substr(voice.identifier.rfind('/') + 1);
        voice.description = v.name != nullptr ? v.name : voice.displayName;
        voice.languages = languagesOf(v.languages);
        voices.push_back(std::move(voice));
    }
    orderVoices(voices);
    return voices;
}

Status startLibrary(EspeakLibrary& library)
{
    if (library.started)
        return {};
    auto loaded = espeakApi();
    if (!loaded)
        return loaded.error();
    const EspeakApi& api = **loaded;
    // espeak-ng starts helper threads of its own; they inherit a mask
    // blocking every signal, so that signals (Ctrl-C) reach the program's
    // threads and never espeak-ng's.
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &previous);
    api.initializePath(nullptr);
    espeak_ng_ERROR_CONTEXT context = nullptr;
    espeak_ng_STATUS status = api.initialize(&context);
    api.clearErrorContext(&context);
    if (status == ENS_OK)
        status = api.initializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, kBufferMilliseconds, nullptr);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (status != ENS_OK)
        return Error{ErrorCode::EngineUnavailable, "espeak-ng: " + statusText(api, status)};
    library.api = &api;
    library.sampleRate = api.sampleRate();
    library.started = true;
    return {};
}

// Turns espeak-ng's code point positions into UTF-16 offsets. Positions
// mostly grow through a text, so each one is found from the last.
class CodePointCursor {
public:
    void reset(std::u16string_view text)
    {
        m_text = text;
        m_index = 0;
        m_offset = 0;
    }
    TextPos offsetOf(std::size_t index)
    {
        if (index < m_index) {
            m_index = 0;
            m_offset = 0;
        }
        const TextPos rest = utf16OffsetOfCodePoint(m_text.substr(static_cast<std::size_t>(m_offset)), index - m_index);
        m_offset += rest;
        m_index = index;
        return m_offset;
    }

private:
    std::u16string_view m_text;
    std::size_t m_index = 0;
    TextPos m_offset = 0;
};

// What one synthesis call collects; espeak-ng hands it back to the callback
// as the events' user data.
struct Synthesis {
    AudioOutput* output = nullptr;  // speak: play here
    Wave* wave = nullptr;           // speakToWave: collect here
    WavFileWriter* file = nullptr;  // speakToFile: write here
    std::u16string_view text;
    CodePointCursor positions;
    const std::atomic<bool>* cancel = nullptr;
    int sampleRate = 0;
    Status failure;
};

// The size of the blocks a long text is written to a file in (UTF-16 units).
constexpr std::size_t kFileBlockUnits = 1000;

int synthCallback(short* samples, int count, espeak_EVENT* events)
{
    if (events == nullptr || events->user_data == nullptr)
        return 0;
    auto& synthesis = *static_cast<Synthesis*>(events->user_data);
    if (synthesis.wave != nullptr) {
        for (const espeak_EVENT* e = events; e->type != espeakEVENT_LIST_TERMINATED; ++e) {
            if (e->type != espeakEVENT_WORD || e->text_position < 1)
                continue;
            const auto first = static_cast<std::size_t>(e->text_position - 1);  // positions count from 1
            const auto sample = static_cast<std::size_t>(static_cast<long long>(e->audio_position) *
                                                         synthesis.sampleRate / 1000);
            const TextPos begin = synthesis.positions.offsetOf(first);
            const TextPos end = synthesis.positions.offsetOf(first + static_cast<std::size_t>(std::max(e->length, 0)));
            synthesis.wave->words.push_back({begin, end, sample});
        }
    }
    if (synthesis.cancel->load())
        return 1;
    if (samples == nullptr || count <= 0)
        return 0;
    const std::span<const std::int16_t> chunk(samples, static_cast<std::size_t>(count));
    if (synthesis.wave != nullptr) {
        synthesis.wave->samples.insert(synthesis.wave->samples.end(), chunk.begin(), chunk.end());
        return 0;
    }
    Status written = synthesis.file != nullptr ? synthesis.file->append(chunk) : synthesis.output->write(chunk);
    if (written)
        return 0;
    if (written.code() != ErrorCode::Cancelled)
        synthesis.failure = std::move(written);
    return 1;
}

// Runs espeak-ng over text; the caller holds the library lock and has
// applied the engine's settings.
Status synthesise(std::u16string_view text, Synthesis& synthesis)
{
    synthesis.text = text;
    synthesis.positions.reset(text);
    const std::string utf8 = utf16::toUtf8(text);
    const espeak_ERROR rc = espeakLibrary().api->synth(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0,
                                         espeakCHARS_UTF8 | espeakENDPAUSE, nullptr, &synthesis);
    if (!synthesis.failure)
        return synthesis.failure;
    if (synthesis.cancel->load())
        return Error{ErrorCode::Cancelled, "speaking stopped"};
    if (rc != EE_OK)
        return Error{ErrorCode::EngineUnavailable, "espeak-ng failed to synthesise"};
    return {};
}

}  // namespace

int espeakWordsPerMinute(int rate)
{
    rate = clampRate(rate);
    if (rate >= 0)
        return kFasterWordsPerMinute[static_cast<std::size_t>(rate)];
    const int step = (kFasterWordsPerMinute[0] - kSlowestWordsPerMinute) / -kSlowestRate;
    return kFasterWordsPerMinute[0] + step * rate;
}

TextPos utf16OffsetOfCodePoint(std::u16string_view text, std::size_t codePointIndex)
{
    std::size_t pos = 0;
    for (std::size_t i = 0; i < codePointIndex && pos < text.size(); ++i) {
        const bool pair = utf16::isHighSurrogate(text[pos]) && pos + 1 < text.size() &&
                          utf16::isLowSurrogate(text[pos + 1]);
        pos += pair ? 2 : 1;
    }
    return static_cast<TextPos>(pos);
}

Result<std::unique_ptr<EspeakEngine>> EspeakEngine::create(std::unique_ptr<AudioOutput> output)
{
    if (output == nullptr)
        return Error{ErrorCode::InvalidArgument, "speech engine without an audio output"};
    auto& library = espeakLibrary();
    std::lock_guard lock(library.mutex);
    if (Status started = startLibrary(library); !started)
        return started.error();
    library.api->setSynthCallback(synthCallback);
    return std::unique_ptr<EspeakEngine>(new EspeakEngine(std::move(output), library.sampleRate,
                                                          listVoices(*library.api)));
}

EspeakEngine::EspeakEngine(std::unique_ptr<AudioOutput> output, int sampleRate, std::vector<Voice> voices)
    : m_output(std::move(output)), m_sampleRate(sampleRate), m_voices(std::move(voices)),
      m_preferredVoice(preferredChineseVoice(m_voices)), m_voice(m_preferredVoice)
{
}

EspeakEngine::~EspeakEngine()
{
    // A speak still running on another thread would use this engine: the
    // owner stops and joins its workers first. Taking the lock waits for a
    // synthesis of this engine that is finishing.
    stop();
    std::lock_guard lock(espeakLibrary().mutex);
}

Status EspeakEngine::selectVoice(std::size_t index)
{
    if (m_voices.empty())
        return Error{ErrorCode::Unsupported, "no voice is installed"};
    m_voice.store(static_cast<int>(std::min(index, m_voices.size() - 1)));
    return {};
}

bool EspeakEngine::setRate(int rate)
{
    return m_rate.exchange(clampRate(rate)) != clampRate(rate);
}

Status EspeakEngine::applySettings(int volumePercent)
{
    auto& library = espeakLibrary();
    const int voice = m_voice.load();
    const std::string wanted = voice >= 0 ? m_voices[static_cast<std::size_t>(voice)].identifier : kFallbackVoice;
    if (library.loadedVoice != wanted) {
        if (library.api->setVoiceByName(wanted.c_str()) != EE_OK) {
            library.loadedVoice.clear();
            return Error{ErrorCode::EngineUnavailable, "espeak-ng cannot load the voice " + wanted};
        }
        library.loadedVoice = wanted;
    }
    library.api->setParameter(espeakRATE, espeakWordsPerMinute(m_rate.load()), 0);
    library.api->setParameter(espeakVOLUME, volumePercent, 0);
    return {};
}

Status EspeakEngine::speak(std::u16string_view text, std::stop_token token)
{
    std::atomic<bool> cancel{false};
    {
        std::lock_guard call(m_callMutex);
        m_currentCancel = &cancel;
    }
    Status result;
    {
        std::stop_callback onStop(token, [&] {
            cancel.store(true);
            m_output->interrupt();
        });
        std::lock_guard lock(espeakLibrary().mutex);
        if (cancel.load()) {
            result = Error{ErrorCode::Cancelled, "speaking stopped"};
        } else if (result = m_output->begin(m_sampleRate); result) {
            Synthesis synthesis;
            synthesis.output = m_output.get();
            synthesis.cancel = &cancel;
            synthesis.sampleRate = m_sampleRate;
            result = applySettings(volume());
            if (result)
                result = synthesise(text, synthesis);
            m_output->end(result ? Ending::Drain : Ending::Drop);
            if (result && cancel.load())
                result = Error{ErrorCode::Cancelled, "speaking stopped"};
        }
    }
    std::lock_guard call(m_callMutex);
    m_currentCancel = nullptr;
    return result;
}

void EspeakEngine::stop()
{
    std::lock_guard call(m_callMutex);
    if (m_currentCancel == nullptr)
        return;
    m_currentCancel->store(true);
    m_output->interrupt();
}

Result<Wave> EspeakEngine::speakToWave(std::u16string_view text, std::stop_token token)
{
    std::atomic<bool> cancel{false};
    std::stop_callback onStop(token, [&] { cancel.store(true); });
    Wave wave;
    wave.sampleRate = m_sampleRate;
    // Room for the slowest speech up front: the vector never moves while
    // it grows, and pages that stay unused are never touched.
    wave.samples.reserve(std::min(text.size() * kReservedSamplesPerUnit, kMostReservedSamples));
    std::lock_guard lock(espeakLibrary().mutex);
    Synthesis synthesis;
    synthesis.wave = &wave;
    synthesis.cancel = &cancel;
    synthesis.sampleRate = m_sampleRate;
    if (Status applied = applySettings(kFullVolume); !applied)
        return applied.error();
    if (Status done = synthesise(text, synthesis); !done)
        return done.error();
    return wave;
}

Result<double> EspeakEngine::speakToFile(const std::filesystem::path& path, std::u16string_view text,
                                         std::stop_token token)
{
    std::atomic<bool> cancel{false};
    std::stop_callback onStop(token, [&] { cancel.store(true); });
    auto file = WavFileWriter::create(path, m_sampleRate);
    if (!file)
        return file.error();
    // A long text is synthesised in blocks that end at line breaks, and the
    // library lock is taken per block: reading aloud on another engine (and
    // a shutdown) waits at most for one block, not for a whole chapter.
    for (std::u16string_view rest = text; !rest.empty();) {
        std::size_t cut = rest.size();
        if (rest.size() > kFileBlockUnits) {
            const auto lineEnd = rest.find(u'\n', kFileBlockUnits);
            if (lineEnd != std::u16string_view::npos)
                cut = lineEnd + 1;
        }
        std::lock_guard lock(espeakLibrary().mutex);
        Synthesis synthesis;
        synthesis.file = &*file;
        synthesis.cancel = &cancel;
        synthesis.sampleRate = m_sampleRate;
        if (Status applied = applySettings(kFullVolume); !applied)
            return applied.error();
        if (Status done = synthesise(rest.substr(0, cut), synthesis); !done)
            return done.error();
        rest.remove_prefix(cut);
    }
    return file->finish();
}

}  // namespace veyla::speech
