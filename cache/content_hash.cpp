#include "cache/content_hash.h"

#include "store/work_pacer.h"

#include <cstdio>
#include <memory>
#include <vector>

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace quarry {

namespace {

// Large enough that the system call per block costs nothing beside hashing.
constexpr std::size_t kBlockBytes = 1 << 20;

struct cCloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

std::optional<std::uint64_t> hashFileContent(const std::string& path, cProgressHost& progress) {
    const std::unique_ptr<std::FILE, cCloseFile> file(std::fopen(path.c_str(), "rb"));
    if (!file) return std::nullopt;
    std::setvbuf(file.get(), nullptr, _IONBF, 0); // blocks go straight into `block`
    XXH3_state_t state;
    XXH3_64bits_reset(&state);
    std::vector<char> block(kBlockBytes);
    cWorkPacer pacer(progress);
    for (;;) {
        const std::size_t got = std::fread(block.data(), 1, block.size(), file.get());
        XXH3_64bits_update(&state, block.data(), got);
        if (!pacer.blockRead()) return std::nullopt;
        if (got < block.size()) break;
    }
    if (std::ferror(file.get())) return std::nullopt;
    return XXH3_64bits_digest(&state);
}

std::uint64_t hashText(std::string_view text) {
    return XXH3_64bits(text.data(), text.size());
}

} // namespace quarry
