// quarry-cli: the item store without a window, for scripts, tests and people.
#include "cli/cli_common.h"
#include "platform/process_heap.h"

#include <cstdio>

namespace quarry {

namespace {

struct cCommand {
    const char* name;
    int (*run)(const cArguments& args, cCliOutput& out);
};

constexpr cCommand kCommands[] = {
    {"index", runIndexCommand}, {"tree", runTreeCommand},       {"show", runShowCommand},
    {"find", runFindCommand},   {"stats", runStatsCommand},     {"export", runExportCommand},
    {"diff", runDiffCommand},   {"compare", runCompareCommand},
};

const cCommand* findCommand(const std::string& name) {
    for (const cCommand& command : kCommands)
        if (name == command.name) return &command;
    return nullptr;
}

} // namespace

} // namespace quarry

int main(int argc, char** argv) {
    using namespace quarry;
    useLargeHeapPages();
    // Large outputs (a whole tree) go out in big writes.
    static char outputBuffer[1 << 16];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);

    if (argc < 2) return usageError("no command given");
    const std::string name = argv[1];
    cCliOutput out(stdout);
    int status = kExitOk;
    if (name == "--help" || name == "-h" || name == "help") {
        out.write(usageText());
    } else if (name == "--version") {
        out.write("quarry-cli " QUARRY_VERSION "\n");
    } else {
        const cCommand* command = findCommand(name);
        if (command == nullptr) return usageError("unknown command: " + name);
        status = command->run(cArguments(argv + 2, argv + argc), out);
    }
    // Results that did not all arrive are a failure, whatever the command found.
    if (!out.close()) {
        printMessage("write error: " + out.error());
        return kExitWriteFailed;
    }
    return status;
}
