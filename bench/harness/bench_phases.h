// The measured phases. Each runs once in a process of its own (the driver
// starts one child per phase and run) and prints its results on standard
// output as "key value" lines.
#pragma once

#include <cstdint>
#include <string>

namespace quarry {

struct cPhaseOptions {
    std::string path;
    std::uint32_t shows = 10000; // items shown by the show phase
    std::uint64_t seed = 1;      // picks those items
    bool verify = false;         // the pattern phase also compares every match with PCRE2
};

// Runs the named phase; 0 on success, 1 when the file cannot be read, 2 for an
// unknown phase name.
int runPhase(const std::string& name, const cPhaseOptions& options);

} // namespace quarry
