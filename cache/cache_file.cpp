#include "cache/cache_file.h"

#include "store/work_pacer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <type_traits>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace quarry {

std::string cacheProgramVersion() {
    return QUARRY_VERSION;
}

std::string temporaryNameOf(const std::string& cachePath, long processId) {
    return cachePath + '.' + std::to_string(processId) + kTemporarySuffix;
}

namespace {

// The header's members in their order, for reading and writing alike.
template <class Io, class Header> void visitHeader(Io& io, Header& header) {
    io(header.programVersion);
    io(header.path);
    io(header.stamp.device);
    io(header.stamp.inode);
    io(header.stamp.size);
    io(header.stamp.changedSeconds);
    io(header.stamp.changedNanoseconds);
    io(header.contentHash);
    io(header.loaded);
    io(header.filed);
}

// Writes numbers and arrays in the layout, hashing every byte written.
class cOutput {
public:
    cOutput(std::FILE* file, cProgressHost& progress) : file_(file), pacer_(progress) {
        XXH3_64bits_reset(&state_);
    }

    bool ok() const { return ok_; }
    template <class T>
    requires std::is_arithmetic_v<T>
    void operator()(const T& number) { bytes(&number, sizeof number); }
    template <class T> void operator()(const std::vector<T>& array) {
        static_assert(std::is_trivially_copyable_v<T>);
        count(array.size());
        bytes(array.data(), array.size() * sizeof(T));
    }
    void operator()(const std::string& text) {
        count(text.size());
        bytes(text.data(), text.size());
    }
    template <class T, std::size_t N> void operator()(const std::array<T, N>& array) {
        count(N);
        bytes(array.data(), N * sizeof(T));
    }
    // The hash of everything written so far (itself not hashed).
    void check() {
        const std::uint64_t digest = XXH3_64bits_digest(&state_);
        ok_ = ok_ && std::fwrite(&digest, sizeof digest, 1, file_) == 1;
    }

private:
    void count(std::uint64_t elements) { bytes(&elements, sizeof elements); }
    // Large arrays go out a block at a time, window events dispatched between.
    void bytes(const void* from, std::size_t size) {
        const char* at = static_cast<const char*>(from);
        for (std::size_t done = 0; done < size && ok_; done += kBlockBytes) {
            const std::size_t step = std::min(kBlockBytes, size - done);
            ok_ = std::fwrite(at + done, 1, step, file_) == step;
            XXH3_64bits_update(&state_, at + done, step);
            pacer_.pumpIfDue();
        }
    }

    static constexpr std::size_t kBlockBytes = 1 << 20;
    std::FILE* file_;
    cWorkPacer pacer_;
    XXH3_state_t state_;
    bool ok_ = true;
};

} // namespace

// Reads numbers and arrays in the layout, hashing every byte read. The first
// failure sticks: every later read reads nothing.
class cCacheFileReader::cInput {
public:
    cInput(const std::string& path, cProgressHost& progress)
        : file_(std::fopen(path.c_str(), "rb")), pacer_(progress) {
        struct stat info {};
        ok_ = file_ != nullptr && ::fstat(::fileno(file_), &info) == 0 && S_ISREG(info.st_mode);
        if (ok_) left_ = static_cast<std::uint64_t>(info.st_size);
        XXH3_64bits_reset(&state_);
    }
    ~cInput() {
        if (file_ != nullptr) std::fclose(file_);
    }
    cInput(const cInput&) = delete;
    cInput& operator=(const cInput&) = delete;

    bool ok() const { return ok_; }
    void fail() { ok_ = false; }
    template <class T>
    requires std::is_arithmetic_v<T>
    void operator()(T& number) { bytes(&number, sizeof number); }
    template <class T> void operator()(std::vector<T>& array) {
        static_assert(std::is_trivially_copyable_v<T>);
        fill(array, sizeof(T));
    }
    void operator()(std::string& text) { fill(text, 1); }
    template <class T, std::size_t N> void operator()(std::array<T, N>& array) {
        if (count(sizeof(T)) != N) fail();
        bytes(array.data(), N * sizeof(T));
    }
    // Whether the stored hash of everything before it matches what was read.
    bool check() {
        const std::uint64_t digest = XXH3_64bits_digest(&state_);
        std::uint64_t stored = 0;
        ok_ = ok_ && left_ >= sizeof stored && std::fread(&stored, sizeof stored, 1, file_) == 1 &&
              stored == digest;
        left_ -= ok_ ? sizeof stored : 0;
        return ok_;
    }

private:
    // Reads an array through a small buffer that stays in the processor's
    // cache: the array's memory is written once, by the copy, rather than
    // zeroed first and then read into.
    template <class Array> void fill(Array& array, std::size_t elementBytes) {
        const std::uint64_t elements = count(elementBytes);
        array.clear();
        array.reserve(elements);
        Array staged(std::min<std::uint64_t>(elements, kStagedBytes / elementBytes),
                     typename Array::value_type());
        while (ok_ && array.size() < elements) {
            const std::size_t step =
                std::min<std::uint64_t>(staged.size(), elements - array.size());
            bytes(staged.data(), step * elementBytes);
            if (ok_) array.insert(array.end(), staged.begin(), staged.begin() + step);
            pacer_.pumpIfDue();
        }
    }

    // Small enough to be reused from the allocator and stay in the cache.
    static constexpr std::size_t kStagedBytes = 64 * 1024;

    // An element count, refused when that many elements cannot be in the
    // bytes left: no array is ever sized beyond the file.
    std::uint64_t count(std::size_t elementBytes) {
        std::uint64_t elements = 0;
        bytes(&elements, sizeof elements);
        if (!ok_ || elements > left_ / elementBytes) {
            ok_ = false;
            return 0;
        }
        return elements;
    }
    void bytes(void* to, std::size_t size) {
        if (!ok_ || size == 0) return;
        ok_ = size <= left_ && std::fread(to, 1, size, file_) == size;
        if (!ok_) return;
        left_ -= size;
        XXH3_64bits_update(&state_, to, size);
    }

    std::FILE* file_;
    cWorkPacer pacer_;
    std::uint64_t left_ = 0;
    XXH3_state_t state_;
    bool ok_ = false;
};

cCacheFileReader::cCacheFileReader(const std::string& cachePath, cProgressHost& progress)
    : in_(std::make_unique<cInput>(cachePath, progress)) {}

cCacheFileReader::~cCacheFileReader() = default;

std::optional<cCacheHeader> cCacheFileReader::readHeader() {
    cInput& in = *in_;
    std::uint64_t magic = 0;
    std::uint32_t format = 0;
    in(magic);
    in(format);
    if (magic != kCacheMagic || format != kCacheFormat) in.fail();
    cCacheHeader header;
    visitHeader(in, header);
    std::uint8_t misplaced = 0;
    in(misplaced);
    header.itemTagsMisplaced = misplaced != 0;
    header.stamp.readable = true;
    if (!in.check()) return std::nullopt;
    return header;
}

std::shared_ptr<const cItemIndex> cCacheFileReader::readIndex() {
    cInput& in = *in_;
    std::vector<ZRID> zrids;
    std::vector<RecordPosition> positions;
    std::vector<RecordPosition> starts;
    in(zrids);
    in(positions);
    in(starts);
    if (!in.check() || zrids.size() != positions.size()) return nullptr;
    std::vector<cIndexEntry> entries(zrids.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        entries[i] = {zrids[i], positions[i]};
    std::optional<cItemIndex> index = cItemIndex::fromSorted(std::move(entries), std::move(starts));
    if (!index) return nullptr;
    return std::make_shared<const cItemIndex>(std::move(*index));
}

bool cCacheFileReader::readTreeAndQueries(cTreeRecording& tree, cQueryIndex& queries) {
    cInput& in = *in_;
    queries.clear();
    tree.fillEachArray(in);
    queries.fillEachArray(in);
    // restored() runs even after a failed read: it commits what it takes, or
    // clears the index.
    const bool agree = in.check() && tree.agrees();
    if (queries.restored() && agree) return true;
    tree.clear();
    queries.clear();
    return false;
}

bool writeCacheFile(const std::string& cachePath, const cCacheHeader& header,
                    const cItemIndex& index, const cTreeRecording& tree, const cQueryIndex& queries,
                    cProgressHost& progress) {
    const std::string temporary = temporaryNameOf(cachePath, static_cast<long>(::getpid()));
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) return false;
    cOutput out(file, progress);
    out(kCacheMagic);
    out(kCacheFormat);
    visitHeader(out, header);
    out(std::uint8_t(header.itemTagsMisplaced ? 1 : 0));
    out.check();

    std::vector<ZRID> zrids;
    std::vector<RecordPosition> positions;
    zrids.reserve(index.size());
    positions.reserve(index.size());
    for (const cIndexEntry& entry : index) {
        zrids.push_back(entry.zrid);
        positions.push_back(entry.position);
    }
    out(zrids);
    out(positions);
    out(index.starts());
    out.check();

    tree.forEachArray(out);
    queries.forEachArray(out);
    out.check();

    bool written = std::fclose(file) == 0 && out.ok();
    std::error_code error;
    if (written) std::filesystem::rename(temporary, cachePath, error);
    written = written && !error;
    if (!written) std::filesystem::remove(temporary, error);
    return written;
}

} // namespace quarry
