// SPDX-License-Identifier: MIT
#include "cli/library_commands.h"

#include <filesystem>
#include <ostream>

#include "cli/cli_context.h"
#include "core/library/library_folder.h"
#include "core/util/utf16.h"

namespace veyla::cli {

namespace fs = std::filesystem;

namespace {

void printFolder(std::ostream& out, const fs::path& folder, const std::string& indent, int depthLeft)
{
    const auto items = library::listFolder(folder);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const bool last = i + 1 == items.size();
        out << indent << (last ? "└── " : "├── ") << utf16::toUtf8(items[i].text) << '\n';
        if (items[i].kind == library::ItemKind::Folder && depthLeft != 1)
            printFolder(out, folder / items[i].fileName, indent + (last ? "    " : "│   "), depthLeft - 1);
    }
}

}  // namespace

int runTree(CliContext& context, const std::vector<std::string>& args)
{
    int depth = 0;  // 0: all levels
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--depth" && i + 1 < args.size()) {
            depth = static_cast<int>(utf16::toInteger(utf16::fromUtf8(args[++i])));
            if (depth < 1)
                return context.usage("tree", "--depth needs a number of 1 or more");
        } else if (args[i].rfind("--", 0) == 0) {
            return context.usage("tree", "unknown option " + args[i]);
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() > 1)
        return context.usage("tree", "expects at most one folder");
    const fs::path root = positional.empty() ? context.folders().libraryFolder() : context.libraryPath(positional[0]);
    std::error_code ec;
    if (!fs::is_directory(root, ec))
        return context.fail("tree", root.string() + ": no such folder");
    context.out() << root.string() << '\n';
    printFolder(context.out(), root, "", depth);
    return kExitOk;
}

}  // namespace veyla::cli
