// Test helper: an item file on disk, imported into a store.
#pragma once

#include "fake_hosts.h"
#include "store/item_record.h"
#include "store/item_store.h"
#include "temp_item_file.h"

#include <string>

namespace quarry {

class cImportedFile {
public:
    explicit cImportedFile(const std::string& content) : file_(content) {
        cFakeProgress progress;
        store.scanItemFile(file_.path(), progress);
    }
    // Loads into `record`; messages go to `messages`.
    bool load(ZRID zrid, cItemRecord& record) { return store.loadItem(zrid, record, messages); }

    cItemStore store;
    cFakeMessages messages;
    const cTempItemFile& file() const { return file_; }

private:
    cTempItemFile file_;
};

} // namespace quarry
