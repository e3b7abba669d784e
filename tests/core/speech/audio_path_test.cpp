// SPDX-License-Identifier: MIT
#include "core/speech/audio_path.h"

#include <gtest/gtest.h>

#include "core/speech/chapter_text.h"

namespace veyla::speech {
namespace {

namespace fs = std::filesystem;

struct PathCase {
    const char* what;
    const char* data;
    const char* chapter;
    const char* file;    // "" = no target
    const char* folder;
};

void PrintTo(const PathCase& c, std::ostream* os)
{
    *os << c.what;
}

class AudioTargetRule : public ::testing::TestWithParam<PathCase> {};

TEST_P(AudioTargetRule, MapsTheChapterBelowTheAudioFolder)
{
    const PathCase& c = GetParam();
    const auto target = audioTargetFor(fs::path(c.data), fs::path(c.chapter));
    if (std::string_view(c.file).empty()) {
        EXPECT_FALSE(target.has_value());
        return;
    }
    ASSERT_TRUE(target.has_value());
    EXPECT_EQ(target->file, fs::path(c.file));
    EXPECT_EQ(target->folder, fs::path(c.folder));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AudioTargetRule,
    ::testing::Values(
        PathCase{"plain chapter", "/d", "/d/藏书库/小说/0001_西游记/0001_第一回.xml",
                 "/d/音频/藏书库/小说/0001_西游记/0001_第一回.wav", "/d/音频/藏书库/小说/0001_西游记"},
        // Spaces leave folder names and become commas in file names.
        PathCase{"space between two Chinese characters", "/d", "/d/藏书库/小说/西 游/0001_第一 回.xml",
                 "/d/音频/藏书库/小说/西游/0001_第一,回.wav", "/d/音频/藏书库/小说/西游"},
        PathCase{"ideographic spaces", "/d", "/d/藏书库/小　说/0002_　第二回　.xml",
                 "/d/音频/藏书库/小说/0002_,第二回,.wav", "/d/音频/藏书库/小说"},
        PathCase{"data folder with a trailing slash", "/d/", "/d/藏书库/a b/c d.xml", "/d/音频/藏书库/ab/c,d.wav",
                 "/d/音频/藏书库/ab"},
        PathCase{"only the file's .xml changes", "/d", "/d/藏书库/a.xml书/0001_章.xml",
                 "/d/音频/藏书库/a.xml书/0001_章.wav", "/d/音频/藏书库/a.xml书"},
        PathCase{"name without .xml", "/d", "/d/藏书库/书/章", "/d/音频/藏书库/书/章.wav", "/d/音频/藏书库/书"},
        PathCase{"outside the data folder", "/d", "/e/藏书库/书/0001_章.xml", "", ""},
        PathCase{"a sibling folder sharing the prefix", "/d", "/data/藏书库/0001_章.xml", "", ""},
        PathCase{"climbing out with ..", "/d", "/d/../e/0001_章.xml", "", ""},
        PathCase{"the data folder itself", "/d", "/d", "", ""}));

struct MarkCase {
    std::u16string text;
    std::u16string plain;
};

TEST(ChapterText, InlineMarksAreRemovedAndTheirContentKept)
{
    for (const MarkCase& c : {
             MarkCase{u"[F3]美猴王[/F]出世", u"美猴王出世"},
             MarkCase{u"[T12]整段装饰[/T]", u"整段装饰"},
             MarkCase{u"[T1]甲[F2]乙[/F]丙[/T]", u"甲乙丙"},
             MarkCase{u"[F-1]负数[/F]", u"负数"},
             // Brackets that are not marks stay.
             MarkCase{u"[注]见上文[F]x[/F", u"[注]见上文[F]x[/F"},
             MarkCase{u"[Fx]不是[T]也不是", u"[Fx]不是[T]也不是"},
             MarkCase{u"[", u"["},
             MarkCase{u"", u""},
         })
        EXPECT_EQ(removeInlineMarks(c.text), c.plain);
}

TEST(ChapterText, ParagraphsAreJoinedWithLineBreaks)
{
    library::Chapter chapter;
    chapter.paragraphs.resize(3);
    chapter.paragraphs[0].runs = {{u"第一段[F1]标注[/F]", {}}};
    chapter.paragraphs[1].runs = {{u"第二段", {}}, {u"两个片段\r", {}}};
    chapter.paragraphs[2].runs = {{u"[T2]第三段[/T]", {}}};
    EXPECT_EQ(chapterPlainText(chapter), u"第一段标注\n第二段两个片段\r\n第三段");
}

}  // namespace
}  // namespace veyla::speech
