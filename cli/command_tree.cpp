// quarry-cli tree FILE: import, then print the category tree.
#include "cli/cli_common.h"
#include "cli/recorded_tree.h"

namespace quarry {

int runTreeCommand(const cArguments& args, cCliOutput& out) {
    if (args.size() != 1) return usageError("tree takes one FILE");
    cCliSession session;
    if (const int status = session.scan(args[0]); status != kExitOk) return status;

    cRecordedTree tree;
    if (const int status = session.buildTree(tree); status != kExitOk) return status;
    tree.print(out);
    return kExitOk;
}

} // namespace quarry
