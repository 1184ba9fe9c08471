// A file written whole or not at all: the content goes to a temporary file
// beside the target, which takes the target's name only when it is complete.
// Until then, and after any failure, the target is as it was. (The content is
// not forced to the disk first: an export is made again more cheaply than it
// is synced.)
#pragma once

#include <string>

namespace quarry {

class cReplacingFile {
public:
    // Creates the temporary file beside `target`. With `replace` false an
    // existing target is never overwritten: the creation fails when it
    // exists, and so does commit() when it has appeared meanwhile.
    cReplacingFile(std::string target, bool replace);
    // Removes the temporary file unless it was committed.
    ~cReplacingFile();
    cReplacingFile(const cReplacingFile&) = delete;
    cReplacingFile& operator=(const cReplacingFile&) = delete;

    // Empty when the temporary file exists; otherwise why it does not.
    const std::string& error() const { return error_; }
    // Where to write the content.
    const std::string& temporaryPath() const { return temporaryPath_; }

    // Gives the finished temporary file the target's name. False, with the
    // reason in error(), when that fails; the temporary file is then removed.
    bool commit();

private:
    std::string target_;
    bool replace_;
    std::string temporaryPath_;
    std::string error_;
    bool committed_ = false;
};

// Makes an interrupted or terminated process remove the temporary file it is
// writing before it ends, so no partial file is left behind.
void removeTemporaryFilesOnSignals();

} // namespace quarry
