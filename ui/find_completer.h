// Completion in the Find box. As the user types, the word at the cursor is
// completed: to a field name with its colon; after type:, slot: and is: to
// the values those take; after attr:, req:, atk:, def:, action:, event: and
// func: to the names the imported file holds, most frequent first. The
// history (the queries that showed results) is offered for the whole box.
#pragma once

#include <QObject>
#include <QStringList>

class QCompleter;
class QLineEdit;
class QStringListModel;

namespace quarry {

class cQueryIndex;

class cFindCompleter : public QObject {
    Q_OBJECT
public:
    cFindCompleter(QLineEdit* box, const cQueryIndex& names);

    // What completes `word` (the word at the cursor, operators in front of it
    // taken off): each a whole word, in the order offered.
    static QStringList choicesFor(const cQueryIndex& names, const QString& word);

    // Offers these queries for the whole box.
    void offerQueries(const QStringList& queries);
    QCompleter* completer() const { return completer_; }

private:
    void offerWordChoices();
    void insertChoice(const QString& choice);

    QLineEdit* box_;
    const cQueryIndex& names_;
    QCompleter* completer_;
    QStringListModel* choices_;
    bool wholeBox_ = false; // the choices replace the whole box (the history)
};

} // namespace quarry
