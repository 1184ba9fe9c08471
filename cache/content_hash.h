// The content hash of an item file: xxh3-64 of all its bytes, read in large
// blocks. Fast enough to be paid on every reopen from the cache, and
// different, all but certainly, for any other content of the same size.
#pragma once

#include "store/store_host.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quarry {

// The hash of the file's bytes; none when it cannot be read to its end or the
// program is ending (cProgressHost::stopRequested). Window events are
// dispatched between blocks.
std::optional<std::uint64_t> hashFileContent(const std::string& path, cProgressHost& progress);

// The hash of a text (a cache file's name comes from the source's path).
std::uint64_t hashText(std::string_view text);

} // namespace quarry
