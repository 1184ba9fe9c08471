// Export as JSON lines: every item the category tree build loads, as one JSON
// object and a line feed, with the folders the build filed it under.
#pragma once

#include "store/store_host.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quarry {

class cJsonLinesExport : public cLoadedItemSink {
public:
    // `write` receives each line, line feed included.
    explicit cJsonLinesExport(std::function<void(std::string_view)> write)
        : write_(std::move(write)) {}

    void itemLoaded(const cItemRecord& item, const cItemFolders& folders) override;
    std::uint64_t itemCount() const { return items_; }

private:
    std::function<void(std::string_view)> write_;
    std::string line_;
    std::uint64_t items_ = 0;
};

} // namespace quarry
