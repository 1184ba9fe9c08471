// quarry-gen: writes a synthetic item file, the same bytes for the same seed
// and count.
//
//   quarry-gen [--items N] [--seed S] [--output PATH]
//
// Defaults: 250000 items (about 300 MB), seed 1, standard output.

#include "item_file_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace quarry {

namespace {

const char kUsage[] = "usage: quarry-gen [--items N] [--seed S] [--output PATH]\n"
                      "  --items N      number of item records (default 250000)\n"
                      "  --seed S       seed of the generator (default 1)\n"
                      "  --output PATH  file to write (default: standard output)\n";

bool parseCount(const char* text, std::uint64_t& value) {
    if (text == nullptr || *text < '0' || *text > '9') return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long long parsed = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0') return false;
    value = parsed;
    return true;
}

} // namespace

} // namespace quarry

int main(int argc, char** argv) {
    using namespace quarry;
    std::uint64_t items = 250000;
    std::uint64_t seed = 1;
    const char* outputPath = nullptr;

    // Options come as name and value, so each step takes two arguments (--help returns at once).
    for (int i = 1; i < argc; i += 2) {
        const char* option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        bool ok = true;
        if (std::strcmp(option, "--items") == 0 || std::strcmp(option, "-n") == 0)
            ok = parseCount(value, items);
        else if (std::strcmp(option, "--seed") == 0 || std::strcmp(option, "-s") == 0)
            ok = parseCount(value, seed);
        else if (std::strcmp(option, "--output") == 0 || std::strcmp(option, "-o") == 0)
            ok = (outputPath = value) != nullptr;
        else if (std::strcmp(option, "--help") == 0 || std::strcmp(option, "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        } else
            ok = false;
        if (!ok) {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }

    std::FILE* out = stdout;
    if (outputPath != nullptr) {
        out = std::fopen(outputPath, "wb");
        if (out == nullptr) {
            std::fprintf(stderr, "quarry-gen: cannot write %s: %s\n", outputPath,
                         std::strerror(errno));
            return 1;
        }
    }

    cItemFileWriter writer(seed);
    std::string buffer;
    buffer.reserve(1 << 21);
    bool written = true;
    auto flush = [&] {
        if (!buffer.empty() && std::fwrite(buffer.data(), 1, buffer.size(), out) != buffer.size())
            written = false;
        buffer.clear();
    };

    writer.writeHeader(buffer);
    for (std::uint64_t i = 0; i < items && written; ++i) {
        writer.writeItem(buffer);
        if (buffer.size() >= (1u << 20)) flush();
    }
    writer.writeFooter(buffer);
    flush();
    if (std::fflush(out) != 0) written = false;
    if (out != stdout && std::fclose(out) != 0) written = false;
    if (!written) {
        std::fprintf(stderr, "quarry-gen: writing failed: %s\n", std::strerror(errno));
        return 1;
    }

    const cItemFileCounts& counts = writer.counts();
    std::fprintf(stderr,
                 "quarry-gen: %llu items (%llu nano programs, %llu written to fail loading)\n",
                 static_cast<unsigned long long>(counts.items),
                 static_cast<unsigned long long>(counts.nanos),
                 static_cast<unsigned long long>(counts.meantToFail));
    return 0;
}
