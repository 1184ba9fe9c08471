// Messages about the item file go to standard error, one line each:
// the caption, ": ", the message. Quiet, only those saying why an item cannot
// be loaded remain; notes about tags a record does not expect are dropped.
#pragma once

#include "store/store_host.h"

namespace quarry {

class cTerminalProgress;

class cStderrMessageSink : public cMessageSink {
public:
    // The progress line, if any, is wiped before a message so the two do not mix.
    cStderrMessageSink(cTerminalProgress* progress, bool quiet)
        : progress_(progress), quiet_(quiet) {}
    void showMessage(const std::string& caption, const std::string& text) override;

private:
    cTerminalProgress* progress_;
    bool quiet_;
};

// "caption: text" on one line: tabs and line breaks inside either part become
// blanks.
std::string formatMessageLine(const std::string& caption, const std::string& text);

} // namespace quarry
