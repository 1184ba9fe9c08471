#include "export/item_json_lines.h"

#include "report/item_json.h"

namespace quarry {

void cJsonLinesExport::itemLoaded(const cItemRecord& item, const cItemFolders& folders) {
    line_.clear();
    appendItemJson(line_, item, folders);
    line_ += '\n';
    write_(line_);
    ++items_;
}

} // namespace quarry
