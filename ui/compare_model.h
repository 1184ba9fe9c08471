// The compare list as a table: one column per item (its header the item's
// name, QL and identifier), one row per member (its header the member's
// path). Rows whose cells differ are marked; where a cell and the first
// column's are whole numbers, the cell adds its difference to the first
// ("12 (+4)"). With differences only, the rows whose cells are alike are
// left out. Cells are formatted when a view asks for them.
#pragma once

#include "store/store_host.h"

#include <QAbstractTableModel>

#include <vector>

namespace quarry {

class cCompareList;

class cCompareModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The role under which headerData() answers a column's identifier.
    static constexpr int kZridRole = Qt::UserRole;

    cCompareModel(const cCompareList& list, QObject* parent = nullptr);

    // The list has changed: every row and column is read again.
    void reload();
    void setDifferencesOnly(bool on);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    void chooseRows();
    QString cellText(std::size_t row, std::size_t column) const;

    const cCompareList& list_;
    bool differencesOnly_ = false;
    std::vector<std::size_t> shown_; // the list's rows shown, in order
};

} // namespace quarry
