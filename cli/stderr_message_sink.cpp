#include "cli/stderr_message_sink.h"

#include "cli/terminal_progress.h"

#include <cstdio>

namespace quarry {

std::string formatMessageLine(const std::string& caption, const std::string& text) {
    std::string line = caption + ": " + text;
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    line.push_back('\n');
    return line;
}

void cStderrMessageSink::showMessage(const std::string& caption, const std::string& text) {
    if (progress_) progress_->clearLine();
    const std::string line = formatMessageLine(caption, text);
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

} // namespace quarry
