// SPDX-License-Identifier: MIT
#include "core/speech/voice_preference.h"

#include <gtest/gtest.h>

namespace veyla::speech {
namespace {

Voice voice(std::string display, std::vector<std::string> languages)
{
    return {display, "x/" + display, display, std::move(languages)};
}

std::vector<std::string> names(const std::vector<Voice>& voices)
{
    std::vector<std::string> out;
    for (const auto& v : voices)
        out.push_back(v.displayName);
    return out;
}

TEST(VoicePreference, PinyinMandarinMovesBeforeTheOtherMandarinVoices)
{
    std::vector<Voice> voices = {voice("af", {"af"}), voice("cmn", {"cmn", "zh-cmn", "zh"}),
                                 voice("cmn-Latn-pinyin", {"cmn-latn-pinyin", "zh-cmn", "zh"}),
                                 voice("yue", {"yue", "zh-yue", "zh"}), voice("en", {"en"})};
    orderVoices(voices);
    EXPECT_EQ(names(voices), (std::vector<std::string>{"af", "cmn-Latn-pinyin", "cmn", "yue", "en"}));
    EXPECT_EQ(preferredChineseVoice(voices), 1);
}

TEST(VoicePreference, OrderStaysWhenThePinyinVoiceIsFirstOrMissing)
{
    std::vector<Voice> voices = {voice("en", {"en"}), voice("cmn", {"cmn", "zh"}), voice("yue", {"yue", "zh"})};
    orderVoices(voices);
    EXPECT_EQ(names(voices), (std::vector<std::string>{"en", "cmn", "yue"}));
}

TEST(VoicePreference, FallsBackToAnyMandarinThenAnyChineseVoice)
{
    EXPECT_EQ(preferredChineseVoice({voice("en", {"en"}), voice("yue", {"yue", "zh-yue"}), voice("cmn", {"cmn"})}), 2);
    EXPECT_EQ(preferredChineseVoice({voice("en", {"en"}), voice("yue", {"yue", "zh-yue"})}), 1);
    EXPECT_EQ(preferredChineseVoice({voice("en", {"en"}), voice("de", {"de"})}), -1);
    EXPECT_EQ(preferredChineseVoice({}), -1);
}

TEST(VoicePreference, LanguageNamesMatchWithoutRegardToCase)
{
    EXPECT_EQ(preferredChineseVoice({voice("en", {"en"}), voice("mandarin", {"CMN-Latn-Pinyin"})}), 1);
}

TEST(VoicePreference, TheStoredNameChoosesTheVoiceNotAnIndex)
{
    const std::vector<Voice> voices = {voice("en", {"en"}), voice("de", {"de"}), voice("cmn", {"cmn"})};
    struct Case {
        const char* name;
        std::string stored;
        int expected;
    };
    const Case cases[] = {
        // By the engine's identifier or by the name shown
        {"identifier", "x/de", 1},
        {"shown name", "de", 1},
        // A name the engine does not have, or none, gives the Chinese preference
        {"unknown name", "Microsoft Huihui", 2},
        {"no name", "", 2},
        // A bare index (as the Windows program wrote it) is a name like any other
        {"bare index", "0", 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(voiceByName(voices, c.stored), c.expected) << c.name;
    EXPECT_EQ(voiceByName({voice("en", {"en"})}, "nothing"), -1);
}

}  // namespace
}  // namespace veyla::speech
