// quarry-cli index FILE: the identifier index, one "ZRID<tab>position" line per
// entry in index order.
#include "cli/cli_common.h"

#include <cinttypes>

namespace quarry {

int runIndexCommand(const cArguments& args, cCliOutput& out) {
    bool noCache = false;
    const cCommandLine line = readCommandLine(args, {{kNoCacheOption, &noCache}});
    if (!line.wrong.empty()) return usageError(line.wrong);
    if (line.operands.size() != 1) return usageError("index takes one FILE");
    cCliSession session(line.quiet, !noCache);
    if (const int status = session.scan(line.operands[0]); status != kExitOk) return status;

    const auto index = session.store().index();
    for (const cIndexEntry& entry : *index)
        out.printf("%" PRId32 "\t%" PRIu64 "\n", entry.zrid, entry.position);
    return kExitOk;
}

} // namespace quarry
