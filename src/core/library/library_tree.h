// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/library/library_folder.h"

namespace veyla::library {

// The library as a tree of folders and chapters, loaded lazily: a folder's
// items are listed the first time they are needed, and each listed folder
// already knows whether it has items (so a tree can show an expander
// without listing further). The GUI's tree model and the command-line tool
// sit on this class.
class LibraryTree {
public:
    struct Node {
        LibraryItem item;
        Node* parent = nullptr;
        std::vector<std::unique_ptr<Node>> children;
        bool loaded = false;

        bool isChapter() const { return item.kind == ItemKind::Chapter; }
        bool isRoot() const { return parent == nullptr; }
    };

    // Told before and after rows of a folder change, so that a view over
    // the tree (the GUI's item model) stays in step with every change,
    // including folders loaded while walking the tree.
    class Observer {
    public:
        virtual ~Observer() = default;
        virtual void beginInsert(Node* folder, std::size_t first, std::size_t last) = 0;
        virtual void endInsert() = 0;
        virtual void beginRemove(Node* folder, std::size_t first, std::size_t last) = 0;
        virtual void endRemove() = 0;
    };

    // The root item stands for the folder itself; its text is the full path.
    explicit LibraryTree(std::filesystem::path rootFolder);

    void setObserver(Observer* observer) { m_observer = observer; }

    Node* root() { return m_root.get(); }
    const Node* root() const { return m_root.get(); }
    const std::filesystem::path& rootFolder() const { return m_rootFolder; }

    // Lists a folder's items once. Returns false for chapters.
    bool load(Node* node);
    // Lists a folder again, replacing its items.
    void reload(Node* node);
    // Lists a loaded folder again and brings its items in line with the disk:
    // new items are inserted in listing order, vanished ones removed, and the
    // items still there keep their nodes (and what is loaded below them).
    void refresh(Node* node);
    // Gives a folder the items listed for it (listFolder), replacing any it had.
    void setChildren(Node* node, std::vector<LibraryItem> items);
    // Whether a node has (or, unloaded, would have) items.
    bool hasChildren(const Node* node) const;

    std::filesystem::path pathOf(const Node* node) const;
    // The on-disk names from below the root down to node.
    std::vector<std::u16string> namesFromRoot(const Node* node) const;
    // Finds the node of names below the root, loading folders on the way.
    Node* findByNames(const std::vector<std::u16string>& names);
    // Finds the node of a path inside the root folder.
    Node* findByPath(const std::filesystem::path& path);

    int rowOf(const Node* node) const;
    Node* nextSibling(const Node* node) const;
    Node* previousSibling(const Node* node) const;

    // The next chapter after node: its next sibling, else its parent's next
    // sibling; from a folder, down to its first leaf. nullptr at the end.
    Node* nextChapter(Node* node);
    // The mirror image: previous sibling, else the parent's previous
    // sibling; from a folder, down to its last leaf.
    Node* previousChapter(Node* node);

    // Inserts an item at row of a loaded folder and returns its node.
    Node* insert(Node* folder, std::size_t row, LibraryItem item);
    // Removes node (not the root) from the tree.
    void remove(Node* node);
    // Sets node's on-disk name and shown text after a rename.
    void rename(Node* node, const std::filesystem::path& newFileName);

private:
    std::filesystem::path m_rootFolder;
    std::unique_ptr<Node> m_root;
    Observer* m_observer = nullptr;
};

}  // namespace veyla::library
