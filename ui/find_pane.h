// The Find pane: a search box for item queries, a line that says how many
// items match (or, in red, what is wrong with the query), and the results,
// which follow every keystroke. Enter in the box shows the first result; Up
// and Down move into the results, where Enter or a click shows the result
// and Escape returns to the box; Escape in the box clears it. The box
// completes field names and the names of the file; Up in the empty box
// offers the queries that showed results before; "?" or F1 explains the
// query language.
//
// Searches run on a worker thread (find_search.h); one that takes longer
// than a keystroke should shows its results when it ends, unless a newer
// keystroke abandoned it. A query that does not parse leaves the last
// results in place.
//
// While an import runs, the search covers the items filed so far, on the
// window's thread (the import adds to the index between its turns of the
// event loop), and says so; a new import clears the results, and its end
// runs the search again.
#pragma once

#include "search/query_evaluator.h"
#include "ui/find_history.h"

#include <QWidget>

#include <chrono>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QTableView;
class QToolButton;

namespace quarry {

class cFindCompleter;
class cFindResultsModel;
class cFindSearch;

class cFindPane : public QWidget {
    Q_OBJECT
public:
    // The pane searches `names`, which the frame fills during its imports.
    explicit cFindPane(cQueryIndex& names, QWidget* parent = nullptr);

    // An import starts (the index is about to be cleared and filled) or has
    // ended.
    void setImportRunning(bool running);
    // Runs the search again over every item the index holds now.
    void refresh();
    // Puts the focus into the box with its text selected.
    void focusSearchBox();
    // Shows the query language's help.
    void showHelp();
    // Copies the selected results, with the column names, as tab-separated lines.
    void copySelectedRows();
    // Adds a column for an attribute (as the file spells it) to every result.
    void addAttributeColumn(std::string name);
    void removeAttributeColumn(const std::string& name);
    // A search runs whose results have not come yet.
    bool searching() const;
    // How long a keystroke waits for its search before the pane says it is
    // searching: a search done by then shows at once, a slower one when it
    // ends.
    void setSearchPatience(std::chrono::milliseconds patience) { patience_ = patience; }

    QLineEdit* searchBox() const { return searchBox_; }
    QLabel* countLine() const { return countLine_; }
    QTableView* resultsView() const { return resultsView_; }
    cFindResultsModel* resultsModel() const { return model_; }
    cFindCompleter* completer() const { return completer_; }
    QAction* copyAction() const { return copyAction_; }
    const cFindHistory& history() const { return history_; }

signals:
    // The user chose a result.
    void itemChosen(ZRID zrid);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createSearchBox();
    void createResultsView();
    void showResult(const cQueryResult& result);
    // Shows these attribute columns after the fixed ones.
    void showColumns(std::vector<std::string> columns);
    // The width of a column for that many digits.
    int digitsWidth(int count) const;
    void showCount(const QString& line, bool isError = false);
    // The attributes a query's attr: terms name, as the file spells them.
    std::vector<std::string> attributesNamedIn(const cQuery& query) const;
    void showColumnMenu(QPoint at);
    void chooseRow(int row);
    void noteQueryUsed();

    cQueryIndex& names_;
    QLineEdit* searchBox_ = nullptr;
    QToolButton* helpButton_ = nullptr;
    QLabel* countLine_ = nullptr;
    QTableView* resultsView_ = nullptr;
    cFindResultsModel* model_ = nullptr;
    cFindCompleter* completer_ = nullptr;
    cFindSearch* search_ = nullptr;
    QAction* copyAction_ = nullptr;
    cFindHistory history_;
    std::vector<std::string> addedColumns_; // by the user, from the header's menu
    std::vector<std::string> queryColumns_; // of the query searched last; added ones follow
    // Well below what a user notices as a stall.
    std::chrono::milliseconds patience_{20};
    bool importRunning_ = false;
};

} // namespace quarry
