// Whether a path names something the program reads as an item file: only a
// regular file is. A FIFO would lose its writer to a check that opened it, and
// a device may never end. Both front ends ask this before an import.
#pragma once

#include <string>
#include <sys/types.h>

namespace quarry {

// The reason the file cannot be read, or an empty text when it is a regular
// file that can be opened for reading. The path is the file system's bytes;
// anything but a regular file is refused without being opened.
std::string whyUnreadable(const std::string& path);

// Why a file of this kind is not read as an item file; null for a regular
// file. Also asked of the descriptor every read opens, since another kind of
// file may take the name after the check.
const char* whyNotRegular(mode_t mode);

} // namespace quarry
