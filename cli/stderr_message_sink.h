// Messages about the item file go to standard error, one line each:
// the caption, ": ", the message.
#pragma once

#include "store/store_host.h"

namespace quarry {

class cTerminalProgress;

class cStderrMessageSink : public cMessageSink {
public:
    // The progress line, if any, is wiped before a message so the two do not mix.
    explicit cStderrMessageSink(cTerminalProgress* progress) : progress_(progress) {}
    void showMessage(const std::string& caption, const std::string& text) override;

private:
    cTerminalProgress* progress_;
};

// "caption: text" on one line: tabs and line breaks inside either part become
// blanks.
std::string formatMessageLine(const std::string& caption, const std::string& text);

} // namespace quarry
