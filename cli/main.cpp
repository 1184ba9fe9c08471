// quarry-cli: the item store without a window, for scripts, tests and people.
#include "cli/cli_common.h"

#include <cstdio>

namespace quarry {

namespace {

struct cCommand {
    const char* name;
    int (*run)(const cArguments& args);
};

constexpr cCommand kCommands[] = {
    {"index", runIndexCommand},
    {"tree", runTreeCommand},
    {"show", runShowCommand},
    {"stats", runStatsCommand},
};

} // namespace

} // namespace quarry

int main(int argc, char** argv) {
    using namespace quarry;
    // Large outputs (a whole tree) go out in big writes.
    static char outputBuffer[1 << 16];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);

    if (argc < 2) return usageError("no command given");
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        std::fputs(usageText(), stdout);
        return kExitOk;
    }
    if (name == "--version") {
        std::puts("quarry-cli " QUARRY_VERSION);
        return kExitOk;
    }
    for (const cCommand& command : kCommands) {
        if (name == command.name) {
            const int status = command.run(cArguments(argv + 2, argv + argc));
            std::fflush(stdout);
            return status;
        }
    }
    return usageError("unknown command: " + name);
}
