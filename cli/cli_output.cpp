#include "cli/cli_output.h"

#include "report/item_json.h"

#include <cerrno>
#include <cstdarg>
#include <cstring>

namespace quarry {

void appendField(std::string& line, std::string_view field) {
    const std::size_t start = line.size();
    line.append(field);
    for (std::size_t i = start; i < line.size(); ++i)
        if (line[i] == '\t' || line[i] == '\r' || line[i] == '\n') line[i] = ' ';
}

std::string oneLineField(std::string_view field) {
    std::string line;
    appendField(line, field);
    return line;
}

void appendUtf8Field(std::string& line, std::string_view windows1252) {
    std::string utf8;
    appendUtf8Text(utf8, windows1252);
    appendField(line, utf8);
}

void cCliOutput::write(std::string_view bytes) {
    if (!error_.empty() || bytes.empty()) return;
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stream_) != bytes.size()) fail(errno);
}

void cCliOutput::printf(const char* format, ...) {
    char buffer[512];
    std::va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    if (length < 0) return;
    if (static_cast<std::size_t>(length) < sizeof buffer) {
        write(std::string_view(buffer, static_cast<std::size_t>(length)));
        return;
    }
    std::string text(static_cast<std::size_t>(length), '\0');
    va_start(arguments, format);
    std::vsnprintf(text.data(), text.size() + 1, format, arguments);
    va_end(arguments);
    write(text);
}

bool cCliOutput::close() {
    errno = 0;
    const bool flushed = std::fflush(stream_) == 0 && !std::ferror(stream_);
    if (!flushed) fail(errno);
    errno = 0;
    if (std::fclose(stream_) != 0) fail(errno);
    return error_.empty();
}

void cCliOutput::fail(int error) {
    if (error_.empty()) error_ = error != 0 ? std::strerror(error) : "the output failed";
}

void printMessage(std::string_view message) {
    std::string line = "quarry-cli: ";
    appendField(line, message);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

} // namespace quarry
