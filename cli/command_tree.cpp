// quarry-cli tree FILE: import, then print the category tree.
#include "cli/cli_common.h"
#include "cli/recorded_tree.h"

namespace quarry {

int runTreeCommand(const cArguments& args, cCliOutput& out) {
    bool noCache = false;
    const cCommandLine line = readCommandLine(args, {{kNoCacheOption, &noCache}});
    if (!line.wrong.empty()) return usageError(line.wrong);
    if (line.operands.size() != 1) return usageError("tree takes one FILE");
    cCliSession session(line.quiet, !noCache);
    cRecordedTree tree;
    if (const int status = session.import(line.operands[0], tree); status != kExitOk) return status;
    tree.print(out);
    return kExitOk;
}

} // namespace quarry
