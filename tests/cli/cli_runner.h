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

// Standard output and error go to files, so neither can fill up and stall.
// With `terminal`, standard error is a pseudo-terminal (through script(1)), as
// for a person at a terminal; `err` then holds what the terminal received.
cCliResult runCli(const std::vector<std::string>& args, bool terminal = false);

} // namespace quarry
