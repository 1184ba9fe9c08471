// The category tree's model: plain nodes in flat arrays, built for appending
// hundreds of thousands of nodes in one import. Appends are cheap (no view
// signal each); views learn of them in batches when commitPending() runs,
// which the frame does before it lets the window repaint and at the end of a
// build, so a view always sees a consistent tree. The store builds the tree
// through cItemTreeFeed (item_tree_feed.h).
//
// Handles are stable values: the node's index in this tree plus the tree's
// generation, which every clear() advances, so a handle kept from an earlier
// tree is recognised as stale instead of naming a stranger.
#pragma once

#include "store/store_host.h"

#include <QAbstractItemModel>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace quarry {

class cItemTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    // The role under which data() answers a node's ZRID (0 for folders).
    static constexpr int kZridRole = Qt::UserRole;

    explicit cItemTreeModel(QObject* parent = nullptr);

    // --- building ------------------------------------------------------------
    // Removes every node; handles given out so far go stale.
    void clear();
    // Appends a node after the parent's last child (parent 0: the top level),
    // unseen by views until the next commit, and returns its handle. Answers
    // 0 (and appends nothing) for a parent that is stale or unknown.
    TreeItemHandle appendNode(const std::string& label, ZRID zrid, TreeItemHandle parent);
    // Makes room for `nodes` more nodes and `labelBytes` more bytes of
    // labels, so that appending them moves nothing already there.
    void reserve(std::size_t nodes, std::size_t labelBytes);
    // Commits pending nodes and asks views to expand the node.
    void requestExpand(TreeItemHandle handle);
    // Shows views every node appended since the last commit.
    void commitPending();
    bool hasPending() const { return !dirtyParents_.empty(); }

    // --- handles -------------------------------------------------------------
    // Whether the handle names a node of the present tree.
    bool isValidHandle(TreeItemHandle handle) const;
    // The committed node's index, or an invalid index.
    QModelIndex indexOf(TreeItemHandle handle) const;
    TreeItemHandle handleOf(const QModelIndex& index) const;
    ZRID itemZrid(TreeItemHandle handle) const;
    std::string itemLabel(TreeItemHandle handle) const;
    // The first node in pre-order that carries the item `zrid`; 0 when none,
    // and for 0, which folders carry. A lookup in a table the first call
    // after the tree changed builds, so showing items stays cheap.
    TreeItemHandle findFirstItem(ZRID zrid) const;
    // Children of a node (0: the top level), pending ones included.
    std::vector<TreeItemHandle> children(TreeItemHandle parent) const;
    std::size_t nodeCount() const { return nodes_.size() - 1; }

    // QAbstractItemModel
    QModelIndex index(int row, int column,
                      const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

signals:
    void expandRequested(const QModelIndex& index);

private:
    struct Node {
        std::uint32_t parent = 0;
        std::uint32_t row = 0;       // position among the parent's children
        std::uint32_t committed = 0; // children the views know of
        ZRID data = 0;
        std::uint32_t labelLength = 0;
        std::uint64_t labelOffset = 0;
        std::vector<std::uint32_t> children;
    };

    // Node number of a handle of this tree; 0 when stale or unknown.
    std::uint32_t nodeOf(TreeItemHandle handle) const;
    TreeItemHandle handleFor(std::uint32_t node) const;
    bool isCommitted(std::uint32_t node) const;
    QModelIndex indexOfNode(std::uint32_t node) const;
    void indexFirstNodes() const;

    std::vector<Node> nodes_;                 // nodes_[0] is the invisible root
    std::string labels_;                      // every label, back to back
    std::vector<std::uint32_t> dirtyParents_; // nodes with uncommitted children
    std::uint32_t generation_ = 1;
    // findFirstItem's table: (identifier, its first node in pre-order), by
    // identifier, for the tree of that generation and size.
    mutable std::vector<std::pair<ZRID, std::uint32_t>> firstNodes_;
    mutable std::uint32_t firstNodesGeneration_ = 0;
    mutable std::size_t firstNodesSize_ = 0;
};

} // namespace quarry
