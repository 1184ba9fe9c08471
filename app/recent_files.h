// The item files imported last, newest first, at most five. The settings
// store keeps each file name's bytes, so any name comes back as it was.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class QSettings;

namespace quarry {

class cRecentFiles {
public:
    static constexpr std::size_t kMaxEntries = 5;

    // Puts `path` first, in its absolute form; an older entry of it goes, and
    // the oldest beyond five.
    void add(const std::string& path);
    void remove(const std::string& path);
    // Newest first; the first is the file imported last.
    const std::vector<std::string>& paths() const { return paths_; }

    void load(QSettings& settings);
    void save(QSettings& settings) const;

private:
    std::vector<std::string> paths_;
};

} // namespace quarry
