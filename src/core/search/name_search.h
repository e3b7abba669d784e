// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <stop_token>
#include <string>

#include "core/library/library_tree.h"

namespace veyla::search {

enum class Direction { Forward, Backward };

// Which nodes a name search walks into.
enum class NodeScope {
    ExpandedOnly,  // the children of closed folders are skipped
    AllNodes,      // closed folders are walked as if open
};

// Finds books, folders and chapters by a part of the name the tree shows
// (case-sensitive), walking the tree in the order the tree pane lists it:
// forwards, a node, then its children when it is open (or has children and
// all nodes are walked), then its next sibling, else the next sibling of
// the nearest ancestor that has one; backwards, the exact reverse. The root
// (the library folder itself) is never a match. Folders are listed on the
// way as the walk needs them; the tree is the searcher's own, so it may run
// on a worker thread while the tree pane shows another.
class NameSearch {
public:
    using Node = library::LibraryTree::Node;
    // Whether the tree pane shows a folder open.
    using IsExpanded = std::function<bool(const Node&)>;

    NameSearch(library::LibraryTree& tree, std::u16string text, Direction direction, NodeScope scope,
               IsExpanded isExpanded = {});

    // The first match after from in walk order, or nullptr when the walk
    // ends (or stop is requested) first.
    Node* findAfter(Node* from, std::stop_token stop = {});
    // The first match of a walk of the whole tree (from its first node
    // forwards, from its last node backwards).
    Node* findFirst(std::stop_token stop = {});

    // One step of the walk; nullptr at its end.
    Node* step(Node* node);

private:
    bool walksInto(Node* node);
    // A folder that is (through a link) one of its own ancestors: walking
    // all nodes never opens it, or the walk would not end.
    bool insideItself(const Node* node) const;
    Node* lastOfOpen(Node* node);
    bool matches(const Node* node) const;

    library::LibraryTree& m_tree;
    std::u16string m_text;
    Direction m_direction;
    NodeScope m_scope;
    IsExpanded m_isExpanded;
};

}  // namespace veyla::search
