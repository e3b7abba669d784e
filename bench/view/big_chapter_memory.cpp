// SPDX-License-Identifier: MIT
// Peak memory of the reading view's model on a chapter with one huge
// paragraph. Run it twice, so that making the file does not count:
//   big_chapter_memory --make FILE [UNITS]   writes a chapter whose one
//                                            paragraph has UNITS characters
//                                            (default 5,000,000: a 10 MB file)
//   big_chapter_memory --open FILE           reads it, lays it out, re-flows it,
//                                            types into it and prepares saving,
//                                            printing the peak resident size
//                                            after each step
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/library/chapter_file.h"
#include "core/view/reading_model.h"
#include "support/test_support.h"

namespace {

using namespace veyla;

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void report(const char* step)
{
    std::printf("%-28s peak %7.1f MB\n", step, static_cast<double>(peakKilobytes()) / 1024.0);
    std::fflush(stdout);
}

int make(const std::filesystem::path& path, std::size_t units)
{
    // Novel text with its line breaks removed, repeated: one paragraph.
    std::u16string sample;
    for (char16_t c : test::novelText(200000))
        if (c != u'\r' && c != u'\n')
            sample += c;
    std::u16string text;
    text.reserve(units);
    while (text.size() < units)
        text.append(sample, 0, std::min(sample.size(), units - text.size()));
    const Status written = library::writeChapterFromText(path, text, library::TextForm::Import);
    if (!written) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}

int open(const std::filesystem::path& path)
{
    report("start");
    view::ReadingModel model;
    model.resize({1400, 900, 1400, 17, view::ScreenMode::Window});
    {
        auto chapter = library::readChapter(path, {});
        if (!chapter) {
            std::fprintf(stderr, "cannot read %s\n", path.c_str());
            return 1;
        }
        report("chapter read");
        model.open(*chapter);
        report("opened and laid out");
    }
    // The layout's own bytes: glyph storage (capacity, not size) and line records.
    std::size_t bytes = 0;
    std::size_t lines = 0;
    for (const auto& paragraph : model.document().paragraphs) {
        bytes += paragraph.lines.capacity() * sizeof(view::TextLine);
        for (const auto& line : paragraph.lines)
            bytes += line.glyphs.capacity() * sizeof(view::GlyphNode);
        lines += paragraph.lines.size();
    }
    const std::size_t glyphs = model.document().glyphCount();
    std::printf("glyphs %zu, lines %zu, layout %.1f MB = %.1f bytes per glyph\n", glyphs, lines,
                static_cast<double>(bytes) / (1 << 20), static_cast<double>(bytes) / static_cast<double>(glyphs));
    model.resize({1100, 900, 1100, 17, view::ScreenMode::Window});
    report("re-flowed for a new width");
    model.setTextSize(30);
    report("re-flowed for a text size");
    (void)model.typeCharacter(u'新');
    report("typed one character");
    auto saving = model.chapterForSaving();
    report("chapter made for saving");
    return saving.chapter.paragraphs.empty() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "--make" && argc >= 3)
        return make(argv[2], argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 5000000);
    if (mode == "--open" && argc == 3)
        return open(argv[2]);
    std::fprintf(stderr, "usage: big_chapter_memory --make FILE [UNITS] | --open FILE\n");
    return 2;
}
