// SPDX-License-Identifier: MIT
#include "core/speech/espeak_api.h"

#include "core/platform/shared_library.h"

namespace veyla::speech {

namespace {

Result<EspeakApi> loadEspeak()
{
    auto library = platform::SharedLibrary::open(kEspeakLibraryName);
    if (!library)
        return library.error();
    EspeakApi api;
    const auto& lib = *library;
    for (Status bound : {lib.bind(api.initializePath, "espeak_ng_InitializePath"),
                         lib.bind(api.initialize, "espeak_ng_Initialize"),
                         lib.bind(api.clearErrorContext, "espeak_ng_ClearErrorContext"),
                         lib.bind(api.initializeOutput, "espeak_ng_InitializeOutput"),
                         lib.bind(api.sampleRate, "espeak_ng_GetSampleRate"),
                         lib.bind(api.statusCodeMessage, "espeak_ng_GetStatusCodeMessage"),
                         lib.bind(api.listVoices, "espeak_ListVoices"),
                         lib.bind(api.setSynthCallback, "espeak_SetSynthCallback"),
                         lib.bind(api.synth, "espeak_Synth"),
                         lib.bind(api.setVoiceByName, "espeak_SetVoiceByName"),
                         lib.bind(api.setParameter, "espeak_SetParameter")}) {
        if (!bound)
            return bound.error();
    }
    return api;
}

}  // namespace

Result<const EspeakApi*> espeakApi()
{
    // Loaded once: a function-local static is initialised by one thread
    // while others wait.
    static const Result<EspeakApi> loaded = loadEspeak();
    if (!loaded)
        return Error{ErrorCode::EngineUnavailable, "espeak-ng: " + loaded.error().detail};
    return &*loaded;
}

}  // namespace veyla::speech
