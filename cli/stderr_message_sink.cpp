#include "cli/stderr_message_sink.h"

#include "cli/cli_output.h"
#include "cli/terminal_progress.h"
#include "store/item_store.h"

#include <cstdio>

namespace quarry {

std::string formatMessageLine(const std::string& caption, const std::string& text) {
    std::string line;
    appendField(line, caption + ": " + text);
    line.push_back('\n');
    return line;
}

void cStderrMessageSink::showMessage(const std::string& caption, const std::string& text) {
    if (quiet_ && caption != kLoadMessageCaption) return;
    if (progress_) progress_->clearLine();
    const std::string line = formatMessageLine(caption, text);
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

} // namespace quarry
