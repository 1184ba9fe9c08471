// quarry-cli tree FILE: import, then print the category tree.
#include "cli/cli_common.h"
#include "cli/recorded_tree.h"

namespace quarry {

int runTreeCommand(const cArguments& args, cCliOutput& out) {
    const cCommandLine line = readCommandLine(args, {});
    if (!line.wrong.empty()) return usageError(line.wrong);
    if (line.operands.size() != 1) return usageError("tree takes one FILE");
    cCliSession session(line.quiet);
    if (const int status = session.scan(line.operands[0]); status != kExitOk) return status;

    cRecordedTree tree;
    if (const int status = session.buildTree(tree); status != kExitOk) return status;
    tree.print(out);
    return kExitOk;
}

} // namespace quarry
