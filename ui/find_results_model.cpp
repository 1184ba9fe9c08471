#include "ui/find_results_model.h"

#include "search/query_index.h"
#include "ui/text_conversion.h"

#include <algorithm>
#include <climits>

namespace quarry {

cFindResultsModel::cFindResultsModel(const cQueryIndex& names, QObject* parent)
    : QAbstractTableModel(parent), names_(names), generation_(names.generation()) {}

void cFindResultsModel::setResults(std::vector<std::uint32_t> items) {
    beginResetModel();
    items_ = std::move(items);
    generation_ = names_.generation();
    endResetModel();
}

bool cFindResultsModel::isCurrent() const {
    return generation_ == names_.generation();
}

ZRID cFindResultsModel::zridAt(int row) const {
    if (!isCurrent() || row < 0 || static_cast<std::size_t>(row) >= items_.size()) return 0;
    return names_.zrid(items_[static_cast<std::size_t>(row)]);
}

int cFindResultsModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !isCurrent()) return 0;
    return static_cast<int>(std::min<std::size_t>(items_.size(), INT_MAX));
}

int cFindResultsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant cFindResultsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return QVariant();
    const std::uint32_t item = items_[static_cast<std::size_t>(index.row())];
    if (role == kZridRole) return names_.zrid(item);
    if (role == Qt::TextAlignmentRole && index.column() != kNameColumn)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && !(role == Qt::ToolTipRole && index.column() == kNameColumn))
        return QVariant();
    switch (index.column()) {
    case kNameColumn:
        return textFromBytes(names_.name(item));
    case kQlColumn:
        return names_.ql(item);
    case kIdColumn:
        return names_.zrid(item);
    default:
        return QVariant();
    }
}

QVariant cFindResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
    switch (section) {
    case kNameColumn:
        return tr("Name");
    case kQlColumn:
        return tr("QL");
    case kIdColumn:
        return tr("ID");
    default:
        return QVariant();
    }
}

void cFindResultsModel::sort(int column, Qt::SortOrder order) {
    // Column -1 is the view taking its sort indicator away: the search's own
    // order stays.
    if (!isCurrent() || column < 0 || column >= kColumnCount) return;
    // Ties keep name order.
    const auto key = [&](std::uint32_t item) -> std::int64_t {
        return column == kQlColumn   ? names_.ql(item)
               : column == kIdColumn ? names_.zrid(item)
                                     : names_.namePosition(item);
    };
    const bool ascending = order == Qt::AscendingOrder;
    beginResetModel();
    std::sort(items_.begin(), items_.end(), [&](std::uint32_t a, std::uint32_t b) {
        const std::int64_t x = key(a), y = key(b);
        if (x != y) return ascending ? x < y : x > y;
        return names_.namePosition(a) < names_.namePosition(b);
    });
    endResetModel();
}

} // namespace quarry
