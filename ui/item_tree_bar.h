// The dock bar "Items" that holds the category tree and keeps it filling the bar.
#pragma once

#include "controls/sizing_control_bar.h"

namespace quarry {

class cItemTreeBar : public CSizingControlBar {
    Q_OBJECT
public:
    explicit cItemTreeBar(QWidget* parent = nullptr);
    // Creates the bar, then lets it size its child instead of drawing edges.
    bool Create(const QString& name, QMainWindow* parent, int id);
};

} // namespace quarry
