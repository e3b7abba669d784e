// SPDX-License-Identifier: MIT
#include "core/speech/voice_preference.h"

#include <algorithm>
#include <string>

namespace veyla::speech {

namespace {

std::string lowerAscii(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return out;
}

bool hasLanguage(const Voice& voice, auto&& test)
{
    return std::any_of(voice.languages.begin(), voice.languages.end(),
                       [&](const std::string& language) { return test(lowerAscii(language)); });
}

bool isPinyinMandarin(const Voice& voice)
{
    return lowerAscii(voice.displayName) == kPreferredChineseVoice ||
           hasLanguage(voice, [](const std::string& l) { return l == kPreferredChineseVoice; });
}

bool isMandarin(const Voice& voice)
{
    return hasLanguage(voice, [](const std::string& l) { return l == "cmn" || l.rfind("cmn-", 0) == 0 || l == "zh-cmn"; });
}

bool isChinese(const Voice& voice)
{
    return hasLanguage(voice, [](const std::string& l) { return l == "zh" || l.rfind("zh-", 0) == 0 || l == "yue"; });
}

int firstIndex(const std::vector<Voice>& voices, bool (*test)(const Voice&))
{
    const auto it = std::find_if(voices.begin(), voices.end(), test);
    return it == voices.end() ? -1 : static_cast<int>(it - voices.begin());
}

}  // namespace

int preferredChineseVoice(const std::vector<Voice>& voices)
{
    for (auto test : {isPinyinMandarin, isMandarin, isChinese}) {
        const int index = firstIndex(voices, test);
        if (index >= 0)
            return index;
    }
    return -1;
}

int voiceByName(const std::vector<Voice>& voices, std::string_view storedName)
{
    if (!storedName.empty()) {
        const auto it = std::find_if(voices.begin(), voices.end(), [&](const Voice& voice) {
            return voice.identifier == storedName || voice.displayName == storedName;
        });
        if (it != voices.end())
            return static_cast<int>(it - voices.begin());
    }
    return preferredChineseVoice(voices);
}

void orderVoices(std::vector<Voice>& voices)
{
    const int preferred = firstIndex(voices, isPinyinMandarin);
    const int firstMandarin = firstIndex(voices, isMandarin);
    if (preferred < 0 || firstMandarin < 0 || firstMandarin >= preferred)
        return;
    const auto begin = voices.begin();
    std::rotate(begin + firstMandarin, begin + preferred, begin + preferred + 1);
}

}  // namespace veyla::speech
