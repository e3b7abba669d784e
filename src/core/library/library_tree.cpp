// SPDX-License-Identifier: MIT
#include "core/library/library_tree.h"

#include <algorithm>

namespace veyla::library {

namespace fs = std::filesystem;

LibraryTree::LibraryTree(fs::path rootFolder) : m_rootFolder(std::move(rootFolder)), m_root(std::make_unique<Node>())
{
    m_root->item.kind = ItemKind::Folder;
    m_root->item.text = pathText(m_rootFolder);
    m_root->item.hasChildren = true;
}

bool LibraryTree::load(Node* node)
{
    if (node == nullptr || node->isChapter())
        return false;
    if (!node->loaded)
        reload(node);
    return true;
}

void LibraryTree::reload(Node* node)
{
    setChildren(node, listFolder(pathOf(node)));
}

void LibraryTree::refresh(Node* node)
{
    if (node == nullptr || node->isChapter())
        return;
    if (!node->loaded) {
        node->item.hasChildren = !listFolder(pathOf(node)).empty();
        return;
    }
    const std::vector<LibraryItem> listed = listFolder(pathOf(node));
    auto isListed = [&](const fs::path& name) {
        return std::any_of(listed.begin(), listed.end(), [&](const LibraryItem& i) { return i.fileName == name; });
    };
    for (std::size_t row = node->children.size(); row-- > 0;) {
        if (!isListed(node->children[row]->item.fileName))
            remove(node->children[row].get());
    }
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const bool present = std::any_of(node->children.begin(), node->children.end(),
                                         [&](const auto& child) { return child->item.fileName == listed[i].fileName; });
        if (!present)
            insert(node, i, listed[i]);
    }
}

void LibraryTree::setChildren(Node* node, std::vector<LibraryItem> items)
{
    if (!node->children.empty()) {
        if (m_observer)
            m_observer->beginRemove(node, 0, node->children.size() - 1);
        node->children.clear();
        if (m_observer)
            m_observer->endRemove();
    }
    node->loaded = true;
    node->item.hasChildren = !items.empty();
    if (items.empty())
        return;
    if (m_observer)
        m_observer->beginInsert(node, 0, items.size() - 1);
    for (auto& item : items) {
        auto child = std::make_unique<Node>();
        child->item = std::move(item);
        child->parent = node;
        node->children.push_back(std::move(child));
    }
    if (m_observer)
        m_observer->endInsert();
}

bool LibraryTree::hasChildren(const Node* node) const
{
    if (node->isChapter())
        return false;
    return node->loaded ? !node->children.empty() : node->item.hasChildren;
}

fs::path LibraryTree::pathOf(const Node* node) const
{
    std::vector<const Node*> chain;
    for (const Node* n = node; n != nullptr && !n->isRoot(); n = n->parent)
        chain.push_back(n);
    fs::path path = m_rootFolder;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        path /= (*it)->item.fileName;
    return path;
}

std::vector<std::u16string> LibraryTree::namesFromRoot(const Node* node) const
{
    std::vector<std::u16string> names;
    for (const Node* n = node; n != nullptr && !n->isRoot(); n = n->parent)
        names.push_back(pathText(n->item.fileName));
    std::reverse(names.begin(), names.end());
    return names;
}

LibraryTree::Node* LibraryTree::findByNames(const std::vector<std::u16string>& names)
{
    Node* node = m_root.get();
    for (const auto& name : names) {
        if (!load(node))
            return nullptr;
        const auto found = std::find_if(node->children.begin(), node->children.end(),
                                        [&](const auto& child) { return pathText(child->item.fileName) == name; });
        if (found == node->children.end())
            return nullptr;
        node = found->get();
    }
    return node;
}

LibraryTree::Node* LibraryTree::findByPath(const fs::path& path)
{
    const fs::path relative = path.lexically_relative(m_rootFolder);
    if (relative.empty() || *relative.begin() == "..")
        return nullptr;
    std::vector<std::u16string> names;
    for (const auto& part : relative) {
        if (part != ".")
            names.push_back(pathText(part));
    }
    return findByNames(names);
}

int LibraryTree::rowOf(const Node* node) const
{
    if (node->parent == nullptr)
        return 0;
    const auto& siblings = node->parent->children;
    for (std::size_t i = 0; i < siblings.size(); ++i) {
        if (siblings[i].get() == node)
            return static_cast<int>(i);
    }
    return -1;
}

LibraryTree::Node* LibraryTree::nextSibling(const Node* node) const
{
    if (node->parent == nullptr)
        return nullptr;
    const auto row = static_cast<std::size_t>(rowOf(node));
    const auto& siblings = node->parent->children;
    return row + 1 < siblings.size() ? siblings[row + 1].get() : nullptr;
}

LibraryTree::Node* LibraryTree::previousSibling(const Node* node) const
{
    if (node->parent == nullptr)
        return nullptr;
    const int row = rowOf(node);
    return row > 0 ? node->parent->children[static_cast<std::size_t>(row - 1)].get() : nullptr;
}

LibraryTree::Node* LibraryTree::nextChapter(Node* node)
{
    if (node == nullptr)
        return nullptr;
    Node* next = nextSibling(node);
    if (next == nullptr && node->parent != nullptr)
        next = nextSibling(node->parent);
    while (next != nullptr && load(next) && !next->children.empty())
        next = next->children.front().get();
    return next;
}

LibraryTree::Node* LibraryTree::previousChapter(Node* node)
{
    if (node == nullptr)
        return nullptr;
    Node* previous = previousSibling(node);
    if (previous == nullptr && node->parent != nullptr)
        previous = previousSibling(node->parent);
    while (previous != nullptr && load(previous) && !previous->children.empty())
        previous = previous->children.back().get();
    return previous;
}

LibraryTree::Node* LibraryTree::insert(Node* folder, std::size_t row, LibraryItem item)
{
    load(folder);
    auto child = std::make_unique<Node>();
    child->item = std::move(item);
    child->parent = folder;
    child->loaded = child->item.kind == ItemKind::Folder && !child->item.hasChildren;
    Node* raw = child.get();
    row = std::min(row, folder->children.size());
    if (m_observer)
        m_observer->beginInsert(folder, row, row);
    folder->children.insert(folder->children.begin() + static_cast<std::ptrdiff_t>(row), std::move(child));
    folder->item.hasChildren = true;
    if (m_observer)
        m_observer->endInsert();
    return raw;
}

void LibraryTree::remove(Node* node)
{
    if (node == nullptr || node->parent == nullptr)
        return;
    Node* parent = node->parent;
    auto& siblings = parent->children;
    const int row = rowOf(node);
    if (m_observer)
        m_observer->beginRemove(parent, static_cast<std::size_t>(row), static_cast<std::size_t>(row));
    siblings.erase(siblings.begin() + row);
    parent->item.hasChildren = !siblings.empty();
    if (m_observer)
        m_observer->endRemove();
}

void LibraryTree::rename(Node* node, const fs::path& newFileName)
{
    node->item.fileName = newFileName;
    const std::u16string name = pathText(newFileName);
    node->item.text = itemText(name, node->item.kind);
    node->item.order = orderPrefix(name).value_or(0);
}

}  // namespace veyla::library
