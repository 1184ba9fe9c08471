// Keeps a file with many unexpected tags from burying the user in message
// boxes. Messages are grouped by operation (one import, one item shown):
// the first message of an operation is shown, later ones of the same
// operation are only counted, and the operation's end reports the count once.
// Operations nest (an item shown while an import runs gets its own group).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quarry {

class cMessageThrottle {
public:
    struct Summary {
        std::size_t suppressed = 0; // messages counted but not shown
        std::string caption;        // caption of the first suppressed message
    };

    void beginOperation();
    // True when the message should be shown now; false when it was counted.
    // Outside any operation every message is shown.
    bool admit(const std::string& caption);
    // Ends the innermost operation and answers what it held back.
    Summary endOperation();
    std::size_t depth() const { return scopes_.size(); }

private:
    struct Scope {
        bool shown = false;
        Summary summary;
    };
    std::vector<Scope> scopes_;
};

} // namespace quarry
