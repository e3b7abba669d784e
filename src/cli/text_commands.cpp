// SPDX-License-Identifier: MIT
#include "cli/text_commands.h"

#include <ostream>

#include "cli/cli_context.h"
#include "core/text/pinyin_spelling.h"
#include "core/text/pinyin_table.h"
#include "core/util/utf16.h"

namespace veyla::cli {

int runPinyin(CliContext& context, const std::vector<std::string>& args)
{
    std::filesystem::path tablePath = text::PinyinTable::shippedPath(context.folders());
    std::string words;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--table" && i + 1 < args.size()) {
            tablePath = args[++i];
        } else if (args[i].rfind("--", 0) == 0) {
            return context.usage("pinyin", "unknown option " + args[i]);
        } else {
            words += (words.empty() ? "" : " ") + args[i];
        }
    }
    if (words.empty())
        return context.usage("pinyin", "expects a text");
    if (!utf16::isValidUtf8(words))
        return context.fail("pinyin", "the text is not UTF-8");
    text::PinyinTable table(tablePath);
    auto spelled = text::spellInPinyin(table, utf16::fromUtf8(words));
    if (!spelled)
        return context.fail("pinyin", spelled.error());
    for (const auto& spelling : spelled->spellings)
        context.out() << "spelling: " << utf16::toUtf8(spelling) << '\n';
    for (const auto& initials : spelled->initials)
        context.out() << "initials: " << utf16::toUtf8(initials) << '\n';
    return kExitOk;
}

}  // namespace veyla::cli
