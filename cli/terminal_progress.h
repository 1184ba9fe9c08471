// Progress of long work as one line on standard error, rewritten in place.
// Shown only when standard error is a terminal; otherwise nothing is written,
// so scripts and tests see clean output.
#pragma once

#include "store/store_host.h"

#include <string>

namespace quarry {

class cTerminalProgress : public cProgressHost {
public:
    // `enabled` false makes every operation silent.
    explicit cTerminalProgress(bool enabled);
    ~cTerminalProgress() override;

    void beginProgress(const std::string& label, std::int32_t start) override;
    void setProgress(std::int32_t position) override;
    void endProgress() override;
    void pumpMessages() override {}

    // Wipes the line so other text can be written; the next step redraws it.
    void clearLine();

private:
    void draw();

    bool enabled_;
    bool shown_ = false;
    std::string label_;
    std::int32_t position_ = 0;
};

// Whether standard error is a terminal.
bool standardErrorIsTerminal();

} // namespace quarry
