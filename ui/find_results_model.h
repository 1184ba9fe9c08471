// The results of a query as a table of Name, QL and ID, then one column per
// attribute asked for. It holds only item numbers of the query index and
// formats a row when a view asks for it, so a quarter of a million results
// cost nothing until they are on screen. Results belong to one import: once
// the index clears, they answer nothing until the next search replaces them.
#pragma once

#include "store/store_host.h"

#include <QAbstractTableModel>

#include <cstdint>
#include <string>
#include <vector>

namespace quarry {

class cQueryIndex;

class cFindResultsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The columns every result has; the attribute columns follow them.
    enum eColumn : int { kNameColumn, kQlColumn, kIdColumn, kFixedColumns };
    // The role under which data() answers a row's identifier.
    static constexpr int kZridRole = Qt::UserRole;

    cFindResultsModel(const cQueryIndex& names, QObject* parent = nullptr);

    // Replaces the results with item numbers of the index.
    void setResults(std::vector<std::uint32_t> items);
    void clear() { setResults({}); }
    // The attributes shown after the fixed columns, by name as the file
    // spells them.
    void setAttributeColumns(std::vector<std::string> names);
    const std::vector<std::string>& attributeColumns() const { return attributes_; }
    // The identifier of a row; 0 when there is no such row.
    ZRID zridAt(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // A click on a header sorts by that column; ties keep name order. An
    // attribute column puts whole numbers first, by value, then other texts,
    // then the rows without the attribute.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    bool isCurrent() const;
    void sortByAttribute(const std::string& name, bool ascending);

    const cQueryIndex& names_;
    std::vector<std::uint32_t> items_;
    std::vector<std::string> attributes_;
    std::uint64_t generation_ = 0;
};

} // namespace quarry
