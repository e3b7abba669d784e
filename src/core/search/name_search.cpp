// SPDX-License-Identifier: MIT
#include "core/search/name_search.h"

#include "core/search/folder_identity.h"
#include "core/util/utf16.h"

namespace veyla::search {

NameSearch::NameSearch(library::LibraryTree& tree, std::u16string text, Direction direction, NodeScope scope,
                       IsExpanded isExpanded)
    : m_tree(tree), m_text(std::move(text)), m_direction(direction), m_scope(scope), m_isExpanded(std::move(isExpanded))
{
}

bool NameSearch::walksInto(Node* node)
{
    if (node->isChapter() || !m_tree.hasChildren(node))
        return false;
    if (m_scope == NodeScope::ExpandedOnly && !(m_isExpanded && m_isExpanded(*node)))
        return false;
    if (m_scope == NodeScope::AllNodes && insideItself(node))
        return false;
    m_tree.load(node);
    return !node->children.empty();
}

bool NameSearch::insideItself(const Node* node) const
{
    const auto identity = folderIdentity(m_tree.pathOf(node));
    if (!identity)
        return true;
    for (const Node* above = node->parent; above != nullptr; above = above->parent) {
        if (folderIdentity(m_tree.pathOf(above)) == identity)
            return true;
    }
    return false;
}

NameSearch::Node* NameSearch::lastOfOpen(Node* node)
{
    while (walksInto(node))
        node = node->children.back().get();
    return node;
}

NameSearch::Node* NameSearch::step(Node* node)
{
    if (node == nullptr)
        return nullptr;
    if (m_direction == Direction::Forward) {
        if (walksInto(node))
            return node->children.front().get();
        for (; node != nullptr && !node->isRoot(); node = node->parent) {
            if (Node* next = m_tree.nextSibling(node))
                return next;
        }
        return nullptr;
    }
    if (node->isRoot())
        return nullptr;
    if (Node* previous = m_tree.previousSibling(node))
        return lastOfOpen(previous);
    return node->parent->isRoot() ? nullptr : node->parent;
}

bool NameSearch::matches(const Node* node) const
{
    return !node->isRoot() && utf16::contains(node->item.text, m_text);
}

NameSearch::Node* NameSearch::findAfter(Node* from, std::stop_token stop)
{
    for (Node* node = step(from); node != nullptr; node = step(node)) {
        if (stop.stop_requested())
            return nullptr;
        if (matches(node))
            return node;
    }
    return nullptr;
}

NameSearch::Node* NameSearch::findFirst(std::stop_token stop)
{
    Node* root = m_tree.root();
    if (m_direction == Direction::Forward)
        return findAfter(root, stop);
    Node* last = lastOfOpen(root);
    if (last == root)
        return nullptr;
    return matches(last) ? last : findAfter(last, stop);
}

}  // namespace veyla::search
