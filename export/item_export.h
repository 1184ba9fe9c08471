// Export of an imported item file into a file of another format, shared by
// the command-line tool and the window: the category tree build loads every
// item once more and hands it to the format's writer; the file takes its
// name only when complete, so a failed export leaves nothing behind.
#pragma once

#include "store/store_host.h"

#include <cstdint>
#include <string>

namespace quarry {

class cItemStore;

enum class eExportFormat { jsonLines, sqlite };

struct cExportResult {
    bool ok = false;
    std::string error; // why the file could not be written, when not ok
    std::uint64_t items = 0;
};

// Writes every item of the scanned store that loads into `path`. An existing
// file there is replaced only when `replace` is set. Progress goes to
// `progress`, which the caller has begun; messages about the file to `messages`.
cExportResult exportItems(const cItemStore& store, eExportFormat format, const std::string& path,
                          bool replace, cProgressHost& progress, cMessageSink& messages);

} // namespace quarry
