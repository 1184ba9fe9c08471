// The Compare pane: the compare list as a table of members by items, with a
// "Differences only" check box, "Remove" for the column of the current cell
// (and on each column header's context menu) and "Clear". A click on a
// column's header asks for that item. The list lasts as long as the pane.
#pragma once

#include "store/store_host.h"
#include "ui/compare_list.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class QTableView;

namespace quarry {

class cCompareModel;

class cComparePane : public QWidget {
    Q_OBJECT
public:
    explicit cComparePane(QWidget* parent = nullptr);

    // Appends an item, as cCompareList::add does.
    cCompareList::eAdded add(cComparedItem item);
    // Every item at once (after an import).
    void replace(std::vector<cComparedItem> items);
    void removeColumn(int column);
    void clear();
    const cCompareList& list() const { return list_; }

    QCheckBox* differencesOnlyBox() const { return differencesOnly_; }
    QPushButton* removeButton() const { return remove_; }
    QPushButton* clearButton() const { return clear_; }
    QTableView* table() const { return table_; }
    cCompareModel* model() const { return model_; }

signals:
    // The user clicked an item's column header.
    void itemChosen(ZRID zrid);

private:
    void listChanged();
    void showHeaderMenu(const QPoint& at);

    cCompareList list_;
    cCompareModel* model_ = nullptr;
    QCheckBox* differencesOnly_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* clear_ = nullptr;
    QLabel* emptyLine_ = nullptr;
    QTableView* table_ = nullptr;
};

} // namespace quarry
