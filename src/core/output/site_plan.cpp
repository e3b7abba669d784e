// SPDX-License-Identifier: MIT
#include "core/output/site_generator.h"

#include "core/library/library_folder.h"
#include "core/output/vocabulary.h"
#include "core/util/utf16.h"

namespace veyla::output {

namespace {

using Node = library::LibraryTree::Node;

bool isCategoryFolder(std::u16string_view text)
{
    return lowerCased(text) == lowerCased(library::kCategoryFolderName);
}

std::u16string recordLabel(const library::LibraryItem& item)
{
    if (item.order < 1)
        return item.text;
    std::u16string digits = utf16::number(item.order);
    while (digits.size() < 4)
        digits.insert(digits.begin(), u'0');
    return digits + u"_" + item.text;
}

std::u16string pageNameOf(const std::filesystem::path& chapterFile)
{
    std::u16string name = library::pathText(chapterFile.filename());
    if (name.ends_with(u".xml"))
        name.resize(name.size() - 4);
    return name + u".html";
}

// The folder's path below the data folder: the library folder's own name
// followed by the names from the tree's root down to node.
std::filesystem::path relativeOf(const library::LibraryTree& tree, const Node* node)
{
    std::filesystem::path relative = tree.rootFolder().filename();
    for (const auto& name : tree.namesFromRoot(node))
        relative /= library::pathFromText(name);
    return relative;
}

std::u16string headingOf(const library::LibraryTree& tree, const Node* node)
{
    return node->isRoot() ? library::pathText(tree.rootFolder().filename()) : node->item.text;
}

// Adds node (a folder with items) and the folders below it; returns its index.
std::size_t walk(library::LibraryTree& tree, Node* node, SitePlan& plan)
{
    const std::size_t index = plan.folders.size();
    plan.folders.push_back({relativeOf(tree, node), headingOf(tree, node),
                            node->isRoot() ? headingOf(tree, node) : recordLabel(node->item), {}, {}});
    tree.load(node);
    for (const auto& child : node->children) {
        if (child->isChapter()) {
            plan.folders[index].chapters.push_back(
                {tree.pathOf(child.get()), recordLabel(child->item), pageNameOf(child->item.fileName)});
            ++plan.chapterCount;
        } else if (!isCategoryFolder(child->item.text) && tree.hasChildren(child.get())) {
            const std::size_t sub = walk(tree, child.get(), plan);
            plan.folders[index].subFolders.push_back(sub);
        }
    }
    return index;
}

}  // namespace

SitePlan planSite(library::LibraryTree& tree, Node* item)
{
    SitePlan plan;
    if (item == nullptr)
        return plan;
    Node* target = item;
    if (!tree.hasChildren(target) && target->parent != nullptr)
        target = target->parent;
    if (!tree.hasChildren(target))
        return plan;
    walk(tree, target, plan);
    for (Node* up = target->parent; up != nullptr; up = up->parent) {
        SiteAncestor ancestor{relativeOf(tree, up), headingOf(tree, up), {}};
        tree.load(up);
        for (const auto& child : up->children) {
            if (!child->isChapter() && !isCategoryFolder(child->item.text))
                ancestor.subFolders.emplace_back(relativeOf(tree, child.get()), recordLabel(child->item));
        }
        plan.ancestors.push_back(std::move(ancestor));
    }
    return plan;
}

std::filesystem::path siteFolderOf(const std::filesystem::path& dataFolder, const library::LibraryTree& tree,
                                   const Node* item)
{
    const Node* folder = item;
    if (folder != nullptr && folder->isChapter() && folder->parent != nullptr)
        folder = folder->parent;
    if (folder == nullptr)
        return dataFolder / "HTML";
    return dataFolder / "HTML" / relativeOf(tree, folder);
}

}  // namespace veyla::output
