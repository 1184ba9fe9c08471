// Runs a program as a child process and reports what it printed, how long it
// took and its peak resident memory. Each phase of the benchmark runs in a
// child of its own, so one phase's memory never shows in another's peak.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace quarry {

struct cChildResult {
    bool started = false;
    int exitStatus = -1;      // the exit code, or -1 when it did not exit normally
    double wallSeconds = 0.0; // from start to exit, as the parent saw it
    double cpuSeconds = 0.0;  // user and system time the child used
    double peakMiB = 0.0;     // the child's maximum resident set size
    std::string output;       // standard output, when captured
};

// argv[0] is the program's path. With captureOutput false the child's
// standard output and standard error go to /dev/null.
cChildResult runChild(const std::vector<std::string>& argv, bool captureOutput);

// Reads "key value" lines, as the phases print them.
std::map<std::string, double> parseKeyValues(const std::string& output);

} // namespace quarry
