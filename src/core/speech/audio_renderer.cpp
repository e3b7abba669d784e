// SPDX-License-Identifier: MIT
#include "core/speech/audio_renderer.h"

#include "core/platform/app_folders.h"
#include "core/speech/audio_path.h"
#include "core/speech/chapter_text.h"

namespace veyla::speech {

namespace fs = std::filesystem;
using Node = library::LibraryTree::Node;

namespace {

void collect(library::LibraryTree& tree, Node* node, std::vector<AudioJobItem>& items)
{
    if (node->isChapter()) {
        items.push_back({tree.pathOf(node), node->item.text});
        return;
    }
    tree.load(node);
    for (const auto& child : node->children)
        collect(tree, child.get(), items);
}

// Renders one chapter; returns whether the walk goes on.
bool renderChapter(SpeechEngine& engine, const fs::path& dataFolder, const AudioJobItem& item,
                   const std::stop_token& stop, RenderSummary& summary)
{
    auto text = readChapterPlainText(item.chapter);
    if (!text) {
        summary.failures.emplace_back(item.chapter, text.error());
        return !stop.stop_requested();
    }
    if (stop.stop_requested())
        return false;
    const auto target = audioTargetFor(dataFolder, item.chapter);
    if (!target) {
        ++summary.outside;
        return true;
    }
    platform::makeFoldersForPath(target->file);
    std::error_code ec;
    if (fs::exists(target->file, ec)) {
        ++summary.existing;
        return true;
    }
    // Not stoppable: a chapter that has begun is written whole.
    const auto seconds = engine.speakToFile(target->file, *text);
    if (!seconds) {
        summary.failures.emplace_back(item.chapter, seconds.error());
    } else {
        ++summary.rendered;
        summary.audioSeconds += *seconds;
    }
    return !stop.stop_requested();
}

}  // namespace

std::vector<AudioJobItem> chaptersToRender(library::LibraryTree& tree, Node* item)
{
    std::vector<AudioJobItem> items;
    if (item == nullptr)
        return items;
    Node* first = tree.hasChildren(item) && tree.load(item) && !item->children.empty() ? item->children.front().get()
                                                                                        : item;
    if (first == item && !item->isChapter())
        return items;  // an empty folder
    for (Node* node = first; node != nullptr; node = node->isRoot() ? nullptr : tree.nextSibling(node))
        collect(tree, node, items);
    return items;
}

RenderSummary renderAudio(SpeechEngine& engine, const fs::path& dataFolder, const std::vector<AudioJobItem>& items,
                          std::stop_token stop, const RenderProgress& progress)
{
    RenderSummary summary;
    for (std::size_t i = 0; i < items.size() && !stop.stop_requested(); ++i) {
        const auto target = audioTargetFor(dataFolder, items[i].chapter);
        if (progress)
            progress({items[i].text, target ? target->folder : fs::path(), i + 1, items.size()});
        if (stop.stop_requested() || !renderChapter(engine, dataFolder, items[i], stop, summary))
            break;
    }
    summary.stopped = stop.stop_requested();
    if (!summary.stopped && progress)
        progress({std::u16string(kRenderDoneText), {}, items.size(), items.size()});
    return summary;
}

}  // namespace veyla::speech
