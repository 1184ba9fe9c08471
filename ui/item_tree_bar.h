// The dock bar "Items" that holds the category tree and keeps it filling the bar.
#pragma once

#include "controls/sizing_control_bar.h"

namespace quarry {

class cItemTreeBar : public CSizingControlBar {
    Q_OBJECT
public:
    explicit cItemTreeBar(QWidget* parent = nullptr);
    // Creates the bar, then lets it keep its child filling it.
    bool Create(const QString& name, QMainWindow* parent, int id);
};

} // namespace quarry
