// Test helper: writes a small item file into a fresh temporary folder and
// removes the folder when done.
#pragma once

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace quarry {

class cTempItemFile {
public:
    explicit cTempItemFile(const std::string& content) {
        static std::atomic<int> counter{0};
        folder_ =
            std::filesystem::temp_directory_path() /
            ("quarry-store-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(folder_);
        path_ = (folder_ / "items.xml").string();
        write(content);
    }
    ~cTempItemFile() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    cTempItemFile(const cTempItemFile&) = delete;
    cTempItemFile& operator=(const cTempItemFile&) = delete;

    void write(const std::string& content) const {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
    }
    const std::string& path() const { return path_; }
    std::string missingPath() const { return (folder_ / "missing.xml").string(); }

private:
    std::filesystem::path folder_;
    std::string path_;
};

} // namespace quarry
