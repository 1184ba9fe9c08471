#include "ui/item_tree_bar.h"

namespace quarry {

cItemTreeBar::cItemTreeBar(QWidget* parent) : CSizingControlBar(parent) {}

bool cItemTreeBar::Create(const QString& name, QMainWindow* parent, int id) {
    if (!CSizingControlBar::Create(name, parent, id)) return false;
    setBarStyle(barStyle() | sizeChild);
    return true;
}

} // namespace quarry
