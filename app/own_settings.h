// For programs that run the window but are not the user's (the window tests,
// the window benchmark, the screenshot tool): settings of the run's own, in a
// temporary folder removed at the end, so what the window keeps (recent files,
// its size and bars, the file dialog's state, the import cache) never reaches the user's
// settings, and no earlier run's settings reach this one.
//
// Made before the application object: Qt settles where settings live when
// the first are read, and the folder stays the configuration home of every
// process the program starts.
#pragma once

#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

namespace quarry {

class cOwnSettings {
public:
    cOwnSettings() {
        if (!folder_.isValid())
            qFatal("no temporary folder for the settings: %s", qPrintable(folder_.errorString()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder_.path()));
        // The import cache too (cache/cache_folder.h).
        qputenv("XDG_CACHE_HOME", QFile::encodeName(folder_.path() + QStringLiteral("/cache")));
    }
    cOwnSettings(const cOwnSettings&) = delete;
    cOwnSettings& operator=(const cOwnSettings&) = delete;

private:
    QTemporaryDir folder_;
};

} // namespace quarry
