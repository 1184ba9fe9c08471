#include "export/item_export.h"

#include "export/item_database.h"
#include "export/item_json_lines.h"
#include "export/replacing_file.h"
#include "store/discarding_tree.h"
#include "store/item_store.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <sys/stat.h>

namespace quarry {

namespace {

struct cFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Why a tree build did not load every item, or an empty text when it did.
std::string whyIncomplete(const cImportResult& built, const std::string& path) {
    switch (built.outcome) {
    case cImportResult::eOutcome::done:
        return {};
    case cImportResult::eOutcome::readFailed:
        return "the item file could not be read: " + built.failure;
    case cImportResult::eOutcome::unreadable:
        return "the item file cannot be read: " + built.failure;
    case cImportResult::eOutcome::changed:
        return path + " changed during the import";
    case cImportResult::eOutcome::stopped:
        break;
    }
    return "the program is ending";
}

std::string lastErrorText() {
    return errno != 0 ? std::strerror(errno) : "the write failed";
}

cExportResult exportJsonLines(const cItemStore& store, const std::string& path,
                              cProgressHost& progress, cMessageSink& messages) {
    cExportResult result;
    std::unique_ptr<std::FILE, cFileCloser> file(std::fopen(path.c_str(), "wb"));
    if (file == nullptr) {
        result.error = std::strerror(errno);
        return result;
    }
    cJsonLinesExport lines([&](std::string_view line) {
        if (result.error.empty() &&
            std::fwrite(line.data(), 1, line.size(), file.get()) != line.size())
            result.error = lastErrorText();
    });
    cDiscardingTree tree;
    const cImportResult built = store.buildCategoryTree(tree, progress, messages, &lines);
    if (result.error.empty()) result.error = whyIncomplete(built, store.path());
    errno = 0;
    if (std::fclose(file.release()) != 0 && result.error.empty()) result.error = lastErrorText();
    result.items = lines.itemCount();
    result.ok = result.error.empty();
    return result;
}

// The item file as the database's `meta` describes it.
cSourceFacts sourceFacts(const std::string& path) {
    cSourceFacts facts;
    facts.file = std::filesystem::path(path).filename().string();
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return facts;
    facts.size = static_cast<std::int64_t>(info.st_size);
    struct tm utc {};
    char text[32] = "";
    if (::gmtime_r(&info.st_mtime, &utc) != nullptr)
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    facts.modified = text;
    return facts;
}

cExportResult exportDatabase(const cItemStore& store, cReplacingFile& file, cProgressHost& progress,
                             cMessageSink& messages) {
    cExportResult result;
    cItemDatabaseWriter database(progress);
    if (database.open(file.temporaryPath(), sourceFacts(store.path()))) {
        cDiscardingTree tree;
        result.error = whyIncomplete(store.buildCategoryTree(tree, progress, messages, &database),
                                     store.path());
        if (result.error.empty())
            database.finish();
        else
            database.abandon();
    }
    if (result.error.empty()) result.error = database.error();
    result.items = database.itemCount();
    result.ok = result.error.empty();
    return result;
}

} // namespace

cExportResult exportItems(const cItemStore& store, eExportFormat format, const std::string& path,
                          bool replace, cProgressHost& progress, cMessageSink& messages) {
    cReplacingFile file(path, replace);
    if (!file.error().empty()) return cExportResult{false, file.error(), 0};
    cExportResult result = format == eExportFormat::sqlite
                               ? exportDatabase(store, file, progress, messages)
                               : exportJsonLines(store, file.temporaryPath(), progress, messages);
    if (result.ok && !file.commit()) result = cExportResult{false, file.error(), 0};
    return result;
}

} // namespace quarry
