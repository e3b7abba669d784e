// SPDX-License-Identifier: MIT
#pragma once

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

#include "core/util/result.h"

namespace veyla::speech {

// The espeak-ng functions the engine calls, bound from libespeak-ng at run
// time. espeak-ng brings about forty libraries with it (sound servers,
// codecs, X11); loading it only when a program first speaks keeps every
// other command's start as quick as the program's own libraries allow.
struct EspeakApi {
    decltype(&::espeak_ng_InitializePath) initializePath = nullptr;
    decltype(&::espeak_ng_Initialize) initialize = nullptr;
    decltype(&::espeak_ng_ClearErrorContext) clearErrorContext = nullptr;
    decltype(&::espeak_ng_InitializeOutput) initializeOutput = nullptr;
    decltype(&::espeak_ng_GetSampleRate) sampleRate = nullptr;
    decltype(&::espeak_ng_GetStatusCodeMessage) statusCodeMessage = nullptr;
    decltype(&::espeak_ListVoices) listVoices = nullptr;
    decltype(&::espeak_SetSynthCallback) setSynthCallback = nullptr;
    decltype(&::espeak_Synth) synth = nullptr;
    decltype(&::espeak_SetVoiceByName) setVoiceByName = nullptr;
    decltype(&::espeak_SetParameter) setParameter = nullptr;
};

// The file name the engine loads espeak-ng from.
inline constexpr const char* kEspeakLibraryName = "libespeak-ng.so.1";

// Loads espeak-ng on the first call and returns its functions; later calls
// return the same table (or the same failure). EngineUnavailable when the
// library or one of its functions is missing. Safe from any thread.
Result<const EspeakApi*> espeakApi();

}  // namespace veyla::speech
