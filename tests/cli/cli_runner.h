// Runs quarry-cli as a subprocess and collects what it wrote and how it ended.
#pragma once

#include <string>
#include <vector>

namespace quarry {

struct cCliResult {
    int status = -1; // exit status; -1 when the tool did not exit normally
    std::string out;
    std::string err;
};

// How a run is set up.
struct cCliRunOptions {
    // Standard output goes here instead of being collected (e.g. "/dev/full").
    std::string outputPath;
    // A run still going after this long is ended; its status is then -1.
    unsigned timeLimitSeconds = 120;
};

// Standard output and error go to files, so neither pipe can fill up and stall.
cCliResult runCli(const std::vector<std::string>& args, const cCliRunOptions& options = {});

// The same with standard error on a pseudo-terminal, as a person at a
// terminal would run it; `err` holds what the terminal received.
cCliResult runCliWithTerminalStderr(const std::vector<std::string>& args);

} // namespace quarry
