// The results of a name search as a table of Name, QL and ID. It holds only
// positions in the name index and formats a row when a view asks for it, so
// a quarter of a million results cost nothing until they are on screen.
// Results belong to one state of the index: once the index commits or
// clears, they answer nothing until the next search replaces them.
#pragma once

#include "store/store_host.h"

#include <QAbstractTableModel>

#include <cstdint>
#include <vector>

namespace quarry {

class cNameIndex;

class cFindResultsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum eColumn : int { kNameColumn, kQlColumn, kIdColumn, kColumnCount };
    // The role under which data() answers a row's identifier.
    static constexpr int kZridRole = Qt::UserRole;

    cFindResultsModel(const cNameIndex& names, QObject* parent = nullptr);

    // Replaces the results with positions in the index's present name order.
    void setResults(std::vector<std::uint32_t> positions);
    void clear() { setResults({}); }
    // The identifier of a row; 0 when there is no such row.
    ZRID zridAt(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // A click on a header sorts by that column; ties keep name order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    bool isCurrent() const;

    const cNameIndex& names_;
    std::vector<std::uint32_t> positions_;
    std::uint64_t generation_ = 0;
};

} // namespace quarry
