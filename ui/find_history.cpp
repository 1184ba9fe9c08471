#include "ui/find_history.h"

#include <QSettings>

namespace quarry {

namespace {

const char kHistoryKey[] = "find/history";

} // namespace

cFindHistory::cFindHistory() : queries_(QSettings().value(kHistoryKey).toStringList()) {
    if (queries_.size() > kMostQueries) queries_.resize(kMostQueries);
}

void cFindHistory::add(const QString& query) {
    const QString trimmed = query.trimmed();
    if (trimmed.isEmpty() || (!queries_.isEmpty() && queries_.front() == trimmed)) return;
    queries_.removeAll(trimmed);
    queries_.prepend(trimmed);
    if (queries_.size() > kMostQueries) queries_.resize(kMostQueries);
    QSettings().setValue(kHistoryKey, queries_);
}

} // namespace quarry
