// SPDX-License-Identifier: MIT
// Opens arbitrary bytes as an EPUB and decides its import; also reads every
// entry of the archive. Whatever opens must give a well-formed plan.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/epub/epub_import.h"
#include "core/epub/zip_archive.h"

using namespace veyla::epub;

namespace {

void checkPlan(const veyla::import::ImportPlan& plan)
{
    if (plan.nodes.empty() || plan.nodes[0].parent != -1 || plan.nodes[0].kind != veyla::import::NodeKind::Folder)
        std::abort();
    for (std::size_t i = 1; i < plan.nodes.size(); ++i) {
        const auto& node = plan.nodes[i];
        if (node.parent < 0 || static_cast<std::size_t>(node.parent) >= i ||
            plan.nodes[static_cast<std::size_t>(node.parent)].kind != veyla::import::NodeKind::Folder)
            std::abort();
        if (node.name.find(u'/') != std::u16string::npos || node.name.size() < 5)
            std::abort();
        if (node.kind == veyla::import::NodeKind::Folder && !node.text.empty())
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (auto archive = ZipArchive::open(bytes, RefusalPolicy::RefuseEntry)) {
        for (const ZipEntry& entry : archive->entries())
            (void)archive->read(entry.name);
    }
    auto result = readEpubForImport(bytes, u"/books/fuzz.epub");
    if (result && result->mode == EpubImportMode::Catalog)
        checkPlan(result->plan);
    return 0;
}
