#include "ui/item_tree_model.h"

#include "store/freed_beside.h"
#include "ui/text_conversion.h"

#include <algorithm>

namespace quarry {

cItemTreeModel::cItemTreeModel(QObject* parent) : QAbstractItemModel(parent) {
    nodes_.emplace_back();
}

std::uint32_t cItemTreeModel::nodeOf(TreeItemHandle handle) const {
    if (static_cast<std::uint32_t>(handle >> 32) != generation_) return 0;
    const auto node = static_cast<std::uint32_t>(handle & 0xFFFFFFFFu);
    return node < nodes_.size() ? node : 0;
}

TreeItemHandle cItemTreeModel::handleFor(std::uint32_t node) const {
    return node == 0 ? 0 : (static_cast<TreeItemHandle>(generation_) << 32) | node;
}

bool cItemTreeModel::isValidHandle(TreeItemHandle handle) const {
    return nodeOf(handle) != 0;
}

void cItemTreeModel::clear() {
    beginResetModel();
    freeBesideWhenLarge(nodes_, nodes_.size());
    nodes_.clear();
    nodes_.emplace_back();
    labels_.clear();
    dirtyParents_.clear();
    ++generation_;
    endResetModel();
}

TreeItemHandle cItemTreeModel::appendNode(const std::string& label, ZRID zrid,
                                          TreeItemHandle parent) {
    const std::uint32_t parentNode = parent == 0 ? 0 : nodeOf(parent);
    if (parent != 0 && parentNode == 0) return 0;
    if (nodes_.size() >= 0xFFFFFFFFu) return 0;

    const auto node = static_cast<std::uint32_t>(nodes_.size());
    Node fresh;
    fresh.parent = parentNode;
    fresh.row = static_cast<std::uint32_t>(nodes_[parentNode].children.size());
    fresh.data = zrid;
    fresh.labelOffset = labels_.size();
    fresh.labelLength =
        static_cast<std::uint32_t>(std::min<std::size_t>(label.size(), 0xFFFFFFFFu));
    labels_.append(label, 0, fresh.labelLength);
    nodes_.push_back(std::move(fresh));

    Node& owner = nodes_[parentNode];
    if (owner.children.size() == owner.committed) dirtyParents_.push_back(parentNode);
    owner.children.push_back(node);
    return handleFor(node);
}

void cItemTreeModel::reserve(std::size_t nodes, std::size_t labelBytes) {
    nodes_.reserve(nodes_.size() + nodes);
    labels_.reserve(labels_.size() + labelBytes);
}

void cItemTreeModel::requestExpand(TreeItemHandle handle) {
    const std::uint32_t node = nodeOf(handle);
    if (node == 0) return;
    commitPending();
    emit expandRequested(indexOfNode(node));
}

bool cItemTreeModel::isCommitted(std::uint32_t node) const {
    // A node is known to views when it and all its ancestors lie within their
    // parents' committed children.
    while (node != 0) {
        const Node& item = nodes_[node];
        if (item.row >= nodes_[item.parent].committed) return false;
        node = item.parent;
    }
    return true;
}

void cItemTreeModel::commitPending() {
    if (dirtyParents_.empty()) return;
    // A parent is always created before its children, so in ascending node
    // order every parent is committed before its own children are announced.
    std::vector<std::uint32_t> dirty;
    dirty.swap(dirtyParents_);
    std::sort(dirty.begin(), dirty.end());
    for (std::uint32_t parentNode : dirty) {
        Node& owner = nodes_[parentNode];
        const auto total = static_cast<std::uint32_t>(owner.children.size());
        if (total == owner.committed) continue;
        beginInsertRows(indexOfNode(parentNode), static_cast<int>(owner.committed),
                        static_cast<int>(total - 1));
        nodes_[parentNode].committed = total;
        endInsertRows();
    }
}

QModelIndex cItemTreeModel::indexOfNode(std::uint32_t node) const {
    if (node == 0 || node >= nodes_.size()) return QModelIndex();
    return createIndex(static_cast<int>(nodes_[node].row), 0, static_cast<quintptr>(node));
}

QModelIndex cItemTreeModel::indexOf(TreeItemHandle handle) const {
    const std::uint32_t node = nodeOf(handle);
    if (node == 0 || !isCommitted(node)) return QModelIndex();
    return indexOfNode(node);
}

TreeItemHandle cItemTreeModel::handleOf(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this) return 0;
    const auto node = static_cast<std::uint32_t>(index.internalId());
    return node < nodes_.size() ? handleFor(node) : 0;
}

ZRID cItemTreeModel::itemZrid(TreeItemHandle handle) const {
    const std::uint32_t node = nodeOf(handle);
    return node == 0 ? 0 : nodes_[node].data;
}

std::string cItemTreeModel::itemLabel(TreeItemHandle handle) const {
    const std::uint32_t node = nodeOf(handle);
    if (node == 0) return {};
    return labels_.substr(nodes_[node].labelOffset, nodes_[node].labelLength);
}

TreeItemHandle cItemTreeModel::findFirstItem(ZRID zrid) const {
    if (zrid == 0) return 0; // folders carry 0: no node carrying it is an item's
    if (firstNodesGeneration_ != generation_ || firstNodesSize_ != nodes_.size()) indexFirstNodes();
    const auto found = std::lower_bound(
        firstNodes_.begin(), firstNodes_.end(), zrid,
        [](const std::pair<ZRID, std::uint32_t>& entry, ZRID key) { return entry.first < key; });
    return found != firstNodes_.end() && found->first == zrid ? handleFor(found->second) : 0;
}

void cItemTreeModel::indexFirstNodes() const {
    // Every item node in pre-order, walked with an explicit stack of (parent,
    // next child) pairs; then sorted by identifier, keeping the first of each.
    firstNodes_.clear();
    std::vector<std::pair<std::uint32_t, std::size_t>> stack{{0u, 0u}};
    while (!stack.empty()) {
        auto& [parentNode, next] = stack.back();
        const Node& owner = nodes_[parentNode];
        if (next == owner.children.size()) {
            stack.pop_back();
            continue;
        }
        const std::uint32_t child = owner.children[next++];
        if (nodes_[child].data != 0) firstNodes_.emplace_back(nodes_[child].data, child);
        if (!nodes_[child].children.empty()) stack.emplace_back(child, 0u);
    }
    const auto byIdentifier = [](const auto& a, const auto& b) { return a.first < b.first; };
    std::stable_sort(firstNodes_.begin(), firstNodes_.end(), byIdentifier);
    const auto sameIdentifier = [](const auto& a, const auto& b) { return a.first == b.first; };
    firstNodes_.erase(std::unique(firstNodes_.begin(), firstNodes_.end(), sameIdentifier),
                      firstNodes_.end());
    firstNodes_.shrink_to_fit();
    firstNodesGeneration_ = generation_;
    firstNodesSize_ = nodes_.size();
}

std::vector<TreeItemHandle> cItemTreeModel::children(TreeItemHandle parent) const {
    const std::uint32_t node = parent == 0 ? 0 : nodeOf(parent);
    std::vector<TreeItemHandle> result;
    if (parent != 0 && node == 0) return result;
    for (std::uint32_t child : nodes_[node].children)
        result.push_back(handleFor(child));
    return result;
}

QModelIndex cItemTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (!hasIndex(row, column, parent)) return QModelIndex();
    const auto parentNode = parent.isValid() ? static_cast<std::uint32_t>(parent.internalId()) : 0u;
    const Node& owner = nodes_[parentNode];
    return createIndex(row, column,
                       static_cast<quintptr>(owner.children[static_cast<std::size_t>(row)]));
}

QModelIndex cItemTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid()) return QModelIndex();
    const auto node = static_cast<std::uint32_t>(child.internalId());
    if (node == 0 || node >= nodes_.size()) return QModelIndex();
    return indexOfNode(nodes_[node].parent);
}

int cItemTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() && parent.column() != 0) return 0;
    const auto node = parent.isValid() ? static_cast<std::uint32_t>(parent.internalId()) : 0u;
    return node < nodes_.size() ? static_cast<int>(nodes_[node].committed) : 0;
}

int cItemTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant cItemTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return QVariant();
    const auto node = static_cast<std::uint32_t>(index.internalId());
    if (node == 0 || node >= nodes_.size()) return QVariant();
    const Node& item = nodes_[node];
    // The tooltip shows labels the narrow dock cuts short.
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return textFromBytes(std::string_view(labels_).substr(item.labelOffset, item.labelLength));
    if (role == kZridRole) return item.data;
    return QVariant();
}

} // namespace quarry
