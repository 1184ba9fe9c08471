// A short help for the Find box's query language: each field with an
// example, the operators, and example queries the user can click to run.
#pragma once

#include <QDialog>

namespace quarry {

class cFindHelp : public QDialog {
    Q_OBJECT
public:
    explicit cFindHelp(QWidget* parent = nullptr);

signals:
    // An example query was clicked.
    void queryChosen(const QString& query);
};

} // namespace quarry
