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

struct cCliRunOptions {
    // Standard output goes here instead of being collected (e.g. "/dev/full").
    std::string outputPath = {};
    // Standard error on a pseudo-terminal (through script(1)), as for a person
    // at a terminal; `err` then holds what the terminal received.
    bool terminal = false;
    // A run still going after this long is ended; its status is then not 0-3.
    unsigned timeLimitSeconds = 120;
    // The working folder of the run, when not the test's own.
    std::string folder = {};
    // The run's XDG_CACHE_HOME; empty: a folder of the run's own, removed
    // after it, so no run reads another's cache or the user's.
    std::string cacheHome = {};
};

// Standard output and error go to files, so neither can fill up and stall.
cCliResult runCli(const std::vector<std::string>& args, const cCliRunOptions& options = {});

} // namespace quarry
