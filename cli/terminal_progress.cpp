#include "cli/terminal_progress.h"

#include <cstdio>
#include <unistd.h>

namespace quarry {

bool standardErrorIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

cTerminalProgress::cTerminalProgress(bool enabled) : enabled_(enabled) {}

cTerminalProgress::~cTerminalProgress() {
    clearLine();
}

void cTerminalProgress::beginProgress(const std::string& label, std::int32_t start) {
    label_ = label;
    position_ = start;
    draw();
}

void cTerminalProgress::setProgress(std::int32_t position) {
    // The store reports often; the line changes only when the number does.
    if (shown_ && position == position_) return;
    position_ = position;
    draw();
}

void cTerminalProgress::endProgress() {
    clearLine();
    label_.clear();
}

void cTerminalProgress::clearLine() {
    if (!enabled_ || !shown_) return;
    std::fputs("\r\x1b[K", stderr);
    std::fflush(stderr);
    shown_ = false;
}

void cTerminalProgress::draw() {
    if (!enabled_ || label_.empty()) return;
    std::fprintf(stderr, "\r\x1b[K%s %3d%%", label_.c_str(), static_cast<int>(position_));
    std::fflush(stderr);
    shown_ = true;
}

} // namespace quarry
