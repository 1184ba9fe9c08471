// File names as the file system has them: bytes, which need not be valid
// UTF-8. Qt turns such bytes into text with a replacement mark that does not
// turn back into them, so the program carries a file's name as its bytes from
// where it comes in (the command line, the file dialog, a dropped URL, the
// settings) to where the file is opened, and makes text of it only to show it.
#pragma once

#include <QString>

#include <string>
#include <string_view>

class QUrl;

namespace quarry {

// The bytes of a name Qt gives as text (the file dialog's choice).
std::string fileNameFromText(const QString& name);
// The bytes of a local file URL's path (a drop), every byte kept.
std::string fileNameFromUrl(const QUrl& url);
// The name to show: decoded as the file system encodes names, a byte that
// does not decode shown as a replacement mark.
QString fileNameForDisplay(std::string_view name);

} // namespace quarry
