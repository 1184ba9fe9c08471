// The Find pane: a search box, a line that says how many items match, and
// the results, which follow every keystroke. Enter in the box shows the first
// result; Up and Down move into the results, where Enter or a click shows the
// result and Escape returns to the box; Escape in the box clears it.
//
// While an import runs the search covers the items filed so far and says
// so; a new import clears the results, and its end runs the search again.
#pragma once

#include "search/query_evaluator.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QTableView;

namespace quarry {

class cFindResultsModel;

class cFindPane : public QWidget {
    Q_OBJECT
public:
    // The pane searches `names`, which the frame fills during its imports.
    explicit cFindPane(cQueryIndex& names, QWidget* parent = nullptr);

    // An import starts (the index has been cleared) or has ended.
    void setImportRunning(bool running);
    // Runs the search again over every item the index holds now.
    void refresh();
    // Puts the focus into the box with its text selected.
    void focusSearchBox();

    QLineEdit* searchBox() const { return searchBox_; }
    QLabel* countLine() const { return countLine_; }
    QTableView* resultsView() const { return resultsView_; }
    cFindResultsModel* resultsModel() const { return model_; }

signals:
    // The user chose a result.
    void itemChosen(ZRID zrid);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showCount(const cQueryResult& result, const cParsedQuery& parsed);
    void chooseRow(int row);

    cQueryIndex& names_;
    QLineEdit* searchBox_ = nullptr;
    QLabel* countLine_ = nullptr;
    QTableView* resultsView_ = nullptr;
    cFindResultsModel* model_ = nullptr;
    bool importRunning_ = false;
};

} // namespace quarry
