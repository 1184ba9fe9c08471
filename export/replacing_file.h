// A file written whole or not at all: the content goes to a temporary file
// beside the target, which takes the target's name only when it is complete.
// Until then, and after any failure, the target is as it was. (The content is
// not forced to the disk first: an export is made again more cheaply than it
// is synced.)
//
// Temporary files have short names of their own, ".quarry-HHHHHHHH.XXXXXX"
// (H: a hash of the target's name), so a target name of any valid length
// works. The process writing one holds a lock on it; the next writer of the
// same target removes those that no process holds, left by one that was
// killed outright (SIGKILL cannot be caught).
#pragma once

#include <string>

namespace quarry {

class cReplacingFile {
public:
    // Creates the temporary file beside `target`. An existing target is
    // replaced only when it is a regular file and `replace` is set: creation
    // fails otherwise, and so does commit() when that has changed meanwhile.
    // The replacement keeps the permission bits of the file it replaces.
    cReplacingFile(std::string target, bool replace);
    // Removes the temporary file unless committed.
    ~cReplacingFile();
    cReplacingFile(const cReplacingFile&) = delete;
    cReplacingFile& operator=(const cReplacingFile&) = delete;

    // Empty when the temporary file exists; otherwise why it does not.
    const std::string& error() const { return error_; }
    // Where to write the content.
    const std::string& temporaryPath() const { return temporary_.path; }

    // Gives the finished temporary file the target's name. False, with the
    // reason in error(), when that fails; the temporary file is then removed.
    bool commit();

    // What is at a target's path now (a symbolic link is something else).
    enum class eTarget { none, regularFile, somethingElse };
    static eTarget targetAt(const std::string& target);
    // Why `target` may not be written, or an empty text: a target that
    // exists is replaced only with `replace`, and only a regular file.
    static std::string whyNotWritable(const std::string& target, bool replace);

private:
    // A temporary file, held locked through its descriptor while it exists.
    struct cTemporary {
        std::string path;
        int descriptor = -1;
    };

    bool create(cTemporary& file, unsigned mode);
    void remove(cTemporary& file);

    std::string target_;
    bool replace_;
    unsigned mode_ = 0;
    cTemporary temporary_;
    std::string error_;
    bool committed_ = false;
};

// Makes the process remove the temporary files it is writing when a signal
// ends it (any whose default action is to), and turns the signal for a file
// grown past the size limit into a failed write, so no partial file is left.
void removeTemporaryFilesOnSignals();

} // namespace quarry
