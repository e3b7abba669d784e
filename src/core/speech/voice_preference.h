// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>
#include <vector>

#include "core/speech/speech_engine.h"

namespace veyla::speech {

// The Mandarin voice that reads pinyin as pinyin; the plain Mandarin voice
// reads tone numbers aloud.
inline constexpr std::string_view kPreferredChineseVoice = "cmn-latn-pinyin";

// The index of the voice to start with for a Chinese reader: the pinyin
// Mandarin voice, else the first Mandarin voice, else the first voice of
// any Chinese language; -1 when there is no Chinese voice.
int preferredChineseVoice(const std::vector<Voice>& voices);

// The voice to use: the one whose engine identifier or shown name is
// storedName; without such a voice, the preferred Chinese voice; -1 when
// there is neither. A stored index is never trusted: voice lists differ
// between engines and machines.
int voiceByName(const std::vector<Voice>& voices, std::string_view storedName);

// Puts the preferred Chinese voice first among the Mandarin voices and
// leaves every other voice where it is, so the list keeps its order from
// one run to the next (the chosen voice is remembered by its index).
void orderVoices(std::vector<Voice>& voices);

}  // namespace veyla::speech
