// File > Export...: asks for a file and a format, then writes every item of
// the imported file there, with progress in the status bar and the window
// answering meanwhile. The file appears only when complete.
#pragma once

#include "export/item_export.h"

#include <QCoreApplication>
#include <QString>

#include <optional>
#include <string>

namespace quarry {

class cItemStore;
class cMainframe;

struct cExportTarget {
    std::string path;
    eExportFormat format = eExportFormat::jsonLines;
};

class cExportCommand {
    Q_DECLARE_TR_FUNCTIONS(cExportCommand)
public:
    cExportCommand(cMainframe& frame, const cItemStore& store) : frame_(frame), store_(store) {}

    // The file dialog: a name and, by its file type, the format. Nothing when
    // the user cancels. The dialog itself asks before an existing file is
    // replaced.
    std::optional<cExportTarget> askTarget() const;
    // Writes the items; the outcome goes to the status bar, or to a message
    // box when the file could not be written. True when it was.
    bool run(const cExportTarget& target) const;

private:
    cMainframe& frame_;
    const cItemStore& store_;
};

} // namespace quarry
