#include "ui/file_names.h"

#include <QFile>
#include <QUrl>

namespace quarry {

std::string fileNameFromText(const QString& name) {
    const QByteArray bytes = QFile::encodeName(name);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::string fileNameFromUrl(const QUrl& url) {
    if (!url.isLocalFile()) return std::string();
    // The encoded path still holds each byte as it came, %FF for 0xFF.
    const QByteArray bytes =
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString fileNameForDisplay(std::string_view name) {
    return QFile::decodeName(QByteArray(name.data(), static_cast<qsizetype>(name.size())));
}

} // namespace quarry
