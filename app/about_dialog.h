// The About box: the program's icon, "quarry Version 1.0" and OK.
#pragma once

#include <QDialog>

namespace quarry {

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace quarry
