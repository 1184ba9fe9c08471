#include "store/item_import.h"

#include "store/item_file_check.h"

namespace quarry {

cImportResult cItemImport::check(const std::string& path) {
    if (std::string reason = whyUnreadable(path); !reason.empty())
        return {cImportResult::eOutcome::unreadable, std::move(reason)};
    return {};
}

cImportResult cItemImport::scan(const std::string& path) {
    return store_.scanItemFile(path, progress_, identifierPattern_);
}

cImportResult cItemImport::buildTree(cTreeControl& tree, cLoadedItemSink* gatherer) {
    progress_.beginProgress(kImportingLabel, 0);
    cImportResult built = store_.buildCategoryTree(tree, progress_, messages_, gatherer);
    progress_.endProgress();
    return built;
}

cImportResult cItemImport::run(const std::string& path, cTreeControl& tree,
                               cLoadedItemSink* gatherer) {
    if (cImportResult refused = check(path); !refused) return refused;
    cImportResult scanned = scan(path);
    if (scanned.outcome == cImportResult::eOutcome::stopped) return scanned;
    cImportResult built = buildTree(tree, gatherer);
    if (!scanned) return scanned;
    // A tree build that read a failing or changing file built nothing; its
    // index goes too.
    if (!built && built.outcome != cImportResult::eOutcome::stopped) store_.forgetIndex();
    return built;
}

} // namespace quarry
