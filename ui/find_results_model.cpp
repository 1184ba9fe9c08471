#include "ui/find_results_model.h"

#include "search/name_text.h"
#include "search/query_index.h"
#include "store/decimal_text.h"
#include "ui/text_conversion.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <tuple>

namespace quarry {

cFindResultsModel::cFindResultsModel(const cQueryIndex& names, QObject* parent)
    : QAbstractTableModel(parent), names_(names), generation_(names.generation()) {}

void cFindResultsModel::setResults(std::vector<std::uint32_t> items) {
    beginResetModel();
    items_ = std::move(items);
    generation_ = names_.generation();
    endResetModel();
}

void cFindResultsModel::setAttributeColumns(std::vector<std::string> names) {
    if (names == attributes_) return;
    beginResetModel();
    attributes_ = std::move(names);
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
    return parent.isValid() ? 0 : kFixedColumns + static_cast<int>(attributes_.size());
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
    default: {
        std::string text;
        if (names_.attributeText(item, attributes_[std::size_t(index.column() - kFixedColumns)],
                                 text))
            return textFromBytes(text);
        return QVariant();
    }
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
        if (section < kFixedColumns || section >= columnCount()) return QVariant();
        return textFromBytes(attributes_[std::size_t(section - kFixedColumns)]);
    }
}

void cFindResultsModel::sort(int column, Qt::SortOrder order) {
    // Column -1 is the view taking its sort indicator away: the search's own
    // order stays.
    if (!isCurrent() || column < 0 || column >= columnCount()) return;
    const bool ascending = order == Qt::AscendingOrder;
    if (column >= kFixedColumns) {
        sortByAttribute(attributes_[std::size_t(column - kFixedColumns)], ascending);
        return;
    }
    // Ties keep name order.
    const auto key = [&](std::uint32_t item) -> std::int64_t {
        return column == kQlColumn   ? names_.ql(item)
               : column == kIdColumn ? names_.zrid(item)
                                     : names_.namePosition(item);
    };
    beginResetModel();
    std::sort(items_.begin(), items_.end(), [&](std::uint32_t a, std::uint32_t b) {
        const std::int64_t x = key(a), y = key(b);
        if (x != y) return ascending ? x < y : x > y;
        return names_.namePosition(a) < names_.namePosition(b);
    });
    endResetModel();
}

void cFindResultsModel::sortByAttribute(const std::string& name, bool ascending) {
    // Each row's value read once: a whole number, or the folded text.
    struct cKeyed {
        bool isText;
        std::int64_t number;
        std::string text;
        std::uint32_t namePosition;
        std::uint32_t item;
    };
    std::vector<cKeyed> keyed;
    std::vector<std::uint32_t> without; // rows without the attribute, last either way
    std::string text;
    for (const std::uint32_t item : items_) {
        if (!names_.attributeText(item, name, text)) {
            without.push_back(item);
            continue;
        }
        const std::optional<std::int64_t> number = wholeNumber(text);
        std::string folded;
        if (!number) appendFolded(text, folded);
        keyed.push_back(
            {!number, number.value_or(0), std::move(folded), names_.namePosition(item), item});
    }
    std::sort(keyed.begin(), keyed.end(), [&](const cKeyed& a, const cKeyed& b) {
        const auto x = std::tie(a.isText, a.number, a.text);
        const auto y = std::tie(b.isText, b.number, b.text);
        if (x != y) return ascending ? x < y : y < x;
        return a.namePosition < b.namePosition;
    });
    std::sort(without.begin(), without.end(), [&](std::uint32_t a, std::uint32_t b) {
        return names_.namePosition(a) < names_.namePosition(b);
    });
    beginResetModel();
    items_.clear();
    for (const cKeyed& row : keyed)
        items_.push_back(row.item);
    items_.insert(items_.end(), without.begin(), without.end());
    endResetModel();
}

} // namespace quarry
