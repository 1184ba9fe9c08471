// Shared pieces of the hostile-input tests: a temporary folder that removes
// itself, the hosts the store asks for (the tree is the command-line tool's),
// and the process's peak memory.
#pragma once

#include "store/store_host.h"

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace quarry {

class cHostileFolder {
public:
    cHostileFolder() {
        static std::atomic<int> counter{0};
        folder_ =
            std::filesystem::temp_directory_path() /
            ("quarry-hostile-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(folder_);
    }
    ~cHostileFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    cHostileFolder(const cHostileFolder&) = delete;
    cHostileFolder& operator=(const cHostileFolder&) = delete;

    std::string path(const std::string& name) const { return (folder_ / name).string(); }
    // Writes `content` to a file of the folder and answers its path.
    std::string write(const std::string& name, const std::string& content) const {
        const std::string file = path(name);
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        return file;
    }

private:
    std::filesystem::path folder_;
};

class cQuietProgress : public cProgressHost {
public:
    void beginProgress(const std::string&, std::int32_t) override {}
    void setProgress(std::int32_t position) override { positions.push_back(position); }
    void endProgress() override {}
    void pumpMessages() override {
        if (onPump) onPump();
    }
    std::vector<std::int32_t> positions;
    std::function<void()> onPump;
};

class cCountingMessages : public cMessageSink {
public:
    void showMessage(const std::string& caption, const std::string& text) override {
        ++count;
        if (first.empty()) first = caption + ": " + text;
        last = caption + ": " + text;
    }
    std::uint64_t count = 0;
    std::string first;
    std::string last;
};

// The most memory this process has held at once, in MiB.
inline std::uint64_t peakMemoryMiB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<std::uint64_t>(usage.ru_maxrss) / 1024;
}

} // namespace quarry
