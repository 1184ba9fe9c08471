// The queries that showed results, newest first, kept in the settings so the
// Find box offers them again in the next session.
#pragma once

#include <QStringList>

namespace quarry {

class cFindHistory {
public:
    static constexpr int kMostQueries = 20;

    // Reads the list the settings keep.
    cFindHistory();

    // Puts `query` first (once) and keeps the list in the settings.
    void add(const QString& query);
    const QStringList& queries() const { return queries_; }

private:
    QStringList queries_;
};

} // namespace quarry
