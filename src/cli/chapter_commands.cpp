// SPDX-License-Identifier: MIT
#include "cli/chapter_commands.h"

#include <filesystem>
#include <ostream>

#include "cli/cli_context.h"
#include "core/library/chapter_file.h"
#include "core/platform/file_io.h"
#include "core/util/utf16.h"

namespace veyla::cli {

namespace fs = std::filesystem;

namespace {

// Splits args into flags (starting with "--") and positional arguments.
struct Arguments {
    std::vector<std::string> flags;
    std::vector<std::string> positional;

    explicit Arguments(const std::vector<std::string>& args)
    {
        for (const auto& arg : args)
            (arg.rfind("--", 0) == 0 && arg.size() > 2 ? flags : positional).push_back(arg);
    }
    bool has(const std::string& flag) const
    {
        for (const auto& f : flags) {
            if (f == flag)
                return true;
        }
        return false;
    }
};

}  // namespace

int runCat(CliContext& context, const std::vector<std::string>& args)
{
    const Arguments arguments(args);
    if (!arguments.flags.empty())
        return context.usage("cat", "unknown option " + arguments.flags.front());
    if (arguments.positional.size() != 1)
        return context.usage("cat", "expects one chapter file");
    const fs::path path = context.libraryPath(arguments.positional.front());
    auto chapter = library::readChapter(path, {});
    if (!chapter)
        return context.fail("cat", chapter.error());
    for (const auto& paragraph : chapter->paragraphs) {
        std::u16string text = paragraph.text();
        if (!text.empty() && text.back() == u'\r')
            text.pop_back();
        context.out() << utf16::toUtf8(text) << '\n';
    }
    // What could not be read is said on one line, and the exit code tells a script.
    const auto& problems = chapter->problems;
    if (problems.any()) {
        context.out().flush();
        return context.fail("cat", "warning: " + path.string() + ": " + std::to_string(problems.count) +
                                       " part(s) could not be read as written, the text shown may be incomplete (" +
                                       problems.descriptions.front() + ")");
    }
    return kExitOk;
}

int runNew(CliContext& context, const std::vector<std::string>& args)
{
    std::vector<std::string> rest;
    std::string from;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--from" && i + 1 < args.size())
            from = args[++i];
        else
            rest.push_back(args[i]);
    }
    const Arguments arguments(rest);
    for (const auto& flag : arguments.flags) {
        if (flag != "--force")
            return context.usage("new", "unknown option " + flag);
    }
    if (arguments.positional.size() != 1)
        return context.usage("new", "expects one chapter file");
    const fs::path path = context.libraryPath(arguments.positional.front());
    if (path.filename().string().find(".xml") == std::string::npos)
        return context.usage("new", "a chapter file name must contain \".xml\"");
    std::error_code ec;
    if (fs::exists(path, ec) && !arguments.has("--force"))
        return context.fail("new", path.string() + " exists; use --force to replace it");
    if (fs::is_directory(path, ec))
        return context.fail("new", path.string() + " is a folder");

    std::string bytes;
    if (from.empty()) {
        bytes = readAll(context.in());
    } else {
        auto read = platform::readWholeFile(from);
        if (!read)
            return context.fail("new", read.error());
        bytes = std::move(*read);
    }
    const std::u16string text = utf16::fromUtf8(bytes);
    if (auto written = library::writeChapterFromText(path, text, library::TextForm::NewFile); !written)
        return context.fail("new", written.error());
    return kExitOk;
}

int runAppend(CliContext& context, const std::vector<std::string>& args)
{
    const Arguments arguments(args);
    if (!arguments.flags.empty())
        return context.usage("append", "unknown option " + arguments.flags.front());
    if (arguments.positional.size() != 1)
        return context.usage("append", "expects one chapter file");
    const fs::path path = context.libraryPath(arguments.positional.front());
    const std::u16string text = utf16::fromUtf8(readAll(context.in()));
    if (auto appended = library::appendTextToChapter(path, text); !appended)
        return context.fail("append", appended.error());
    return kExitOk;
}

}  // namespace veyla::cli
