#include "app/recent_files.h"

#include <QByteArray>
#include <QSettings>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace quarry {

namespace {

const char* const kArrayKey = "recentFiles";
const char* const kPathKey = "path";

// A name relative to the working folder is kept in its absolute form, so the
// entry names the same file when the program starts in another folder. "."
// and ".." steps go where that still names the same file.
std::string absolutePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error) return path;
    const std::filesystem::path tidy = absolute.lexically_normal();
    return std::filesystem::equivalent(tidy, absolute, error) ? tidy.string() : absolute.string();
}

} // namespace

void cRecentFiles::add(const std::string& path) {
    remove(path);
    paths_.insert(paths_.begin(), absolutePath(path));
    if (paths_.size() > kMaxEntries) paths_.resize(kMaxEntries);
}

void cRecentFiles::remove(const std::string& path) {
    paths_.erase(std::remove(paths_.begin(), paths_.end(), absolutePath(path)), paths_.end());
}

void cRecentFiles::load(QSettings& settings) {
    paths_.clear();
    const int count = settings.beginReadArray(kArrayKey);
    for (int i = 0; i < count && paths_.size() < kMaxEntries; ++i) {
        settings.setArrayIndex(i);
        const QByteArray path = settings.value(kPathKey).toByteArray();
        if (!path.isEmpty()) paths_.push_back(path.toStdString());
    }
    settings.endArray();
}

void cRecentFiles::save(QSettings& settings) const {
    settings.remove(kArrayKey);
    settings.beginWriteArray(kArrayKey, static_cast<int>(paths_.size()));
    for (std::size_t i = 0; i < paths_.size(); ++i) {
        settings.setArrayIndex(static_cast<int>(i));
        settings.setValue(kPathKey, QByteArray::fromStdString(paths_[i]));
    }
    settings.endArray();
}

} // namespace quarry
