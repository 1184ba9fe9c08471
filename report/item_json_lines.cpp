#include "report/item_json_lines.h"

#include "report/item_json.h"

namespace quarry {

void cJsonLinesExport::itemLoaded(const cItemRecord& item) {
    line_.clear();
    appendItemJson(line_, item, tree_.takeFolders(item.zrid));
    line_ += '\n';
    write_(line_);
    ++items_;
}

} // namespace quarry
