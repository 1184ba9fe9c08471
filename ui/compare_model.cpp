#include "ui/compare_model.h"

#include "store/decimal_text.h"
#include "ui/compare_list.h"
#include "ui/text_conversion.h"

#include <QBrush>
#include <QColor>
#include <QFont>

namespace quarry {

namespace {

// The tint of a row whose cells differ: light enough for dark text, and
// see-through enough to darken with a dark palette.
const QColor kDifferingRowTint(255, 190, 0, 70);

// A cell of a long value (an event's functions) is cut here; its tooltip
// holds it whole.
constexpr qsizetype kMaxCellLength = 200;

} // namespace

cCompareModel::cCompareModel(const cCompareList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list) {
    chooseRows();
}

void cCompareModel::reload() {
    beginResetModel();
    chooseRows();
    endResetModel();
}

void cCompareModel::setDifferencesOnly(bool on) {
    if (on == differencesOnly_) return;
    differencesOnly_ = on;
    reload();
}

void cCompareModel::chooseRows() {
    shown_.clear();
    const std::vector<cMemberRow>& rows = list_.rows();
    for (std::size_t row = 0; row < rows.size(); ++row)
        if (!differencesOnly_ || rows[row].differs()) shown_.push_back(row);
}

int cCompareModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(shown_.size());
}

int cCompareModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(list_.items().size());
}

QString cCompareModel::cellText(std::size_t row, std::size_t column) const {
    const cMemberRow& member = list_.rows()[row];
    const cItemMember* cell = member.cells[column];
    if (cell == nullptr) return QString();
    QString text = QString::fromUtf8(cell->text.data(), qsizetype(cell->text.size()));
    const cItemMember* first = member.cells.front();
    if (column == 0 || first == nullptr) return text;
    const std::optional<std::int64_t> value = wholeNumber(cell->text);
    const std::optional<std::int64_t> base = wholeNumber(first->text);
    if (value && base && *value != *base)
        text += QStringLiteral(" (%1%2)")
                    .arg(*value > *base ? QStringLiteral("+") : QString())
                    .arg(*value - *base);
    return text;
}

QVariant cCompareModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || std::size_t(index.row()) >= shown_.size() ||
        std::size_t(index.column()) >= list_.items().size())
        return {};
    const std::size_t row = shown_[std::size_t(index.row())];
    const auto column = std::size_t(index.column());
    switch (role) {
    case Qt::DisplayRole: {
        const QString text = cellText(row, column);
        return text.size() > kMaxCellLength ? text.left(kMaxCellLength) + QChar(0x2026) : text;
    }
    case Qt::ToolTipRole:
        return cellText(row, column);
    case Qt::BackgroundRole:
        return list_.rows()[row].differs() ? QVariant(QBrush(kDifferingRowTint)) : QVariant();
    default:
        return {};
    }
}

QVariant cCompareModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        if (section < 0 || std::size_t(section) >= shown_.size()) return {};
        const cMemberRow& row = list_.rows()[shown_[std::size_t(section)]];
        if (role == Qt::DisplayRole) return textFromBytes(row.path);
        if (role == Qt::FontRole && row.differs()) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    }
    if (section < 0 || std::size_t(section) >= list_.items().size()) return {};
    const cComparedItem& item = list_.items()[std::size_t(section)];
    switch (role) {
    case Qt::DisplayRole:
        return tr("%1\nQL %2\nID %3").arg(textFromBytes(item.name)).arg(item.ql).arg(item.zrid);
    case Qt::ToolTipRole:
        return tr("Click to show this item");
    case kZridRole:
        return item.zrid;
    default:
        return {};
    }
}

} // namespace quarry
