// The category tree. A selection the user makes with the mouse or the
// keyboard asks for that item to be shown; a folder (data 0) shows nothing;
// selections the program makes (Back, Forward, rebuilding) are not reported.
#pragma once

#include "store/store_host.h"

#include <QTimer>
#include <QTreeView>

#include <optional>

namespace quarry {

class cItemTreeModel;

class cItemTree : public QTreeView {
    Q_OBJECT
public:
    explicit cItemTree(QWidget* parent = nullptr);

    void setItemModel(cItemTreeModel* model);
    cItemTreeModel* itemModel() const { return model_; }

    // The handle of the selected (caret) item, or of the one a selection the
    // program made will select; 0 when none.
    TreeItemHandle caretItem() const;
    // Makes `handle` the selection without reporting it and scrolls to it; a
    // handle that names no committed node clears the selection. The view
    // follows on the event loop's next turn, once for a burst of selections:
    // opening folders and finding rows in a tree of hundreds of thousands of
    // open rows costs a millisecond, which the shown report need not wait for.
    void selectItem(TreeItemHandle handle);
    // The width that shows a typical item's label whole where items are
    // filed (below the top node, a type and a slot or skill), beside a
    // vertical scroll bar.
    int typicalLabelWidth() const;

signals:
    // The user selected an item whose data is not 0.
    void itemChosen(ZRID zrid);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Brings the view to the selection the program made last, if it has not yet.
    void applyPendingSelection();

    // Set while a mouse or key event of the user is being handled: only
    // selection changes made then come from the user.
    int userInput_ = 0;
    cItemTreeModel* model_ = nullptr;
    std::optional<TreeItemHandle> pendingSelection_;
    QTimer* pendingTimer_ = nullptr;
};

} // namespace quarry
