// Keeps a file with many unexpected tags from burying the user in message
// boxes. Messages are grouped by operation (one import, one item shown):
// the first message of an operation is shown, later ones of the same
// operation are counted and kept (the first few thousand), and the operation's
// end reports them once.
// Operations nest (an item shown while an import runs gets its own group).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quarry {

class cMessageThrottle {
public:
    // Texts kept per operation; a file can hold millions of odd tags.
    static constexpr std::size_t kMaxKeptTexts = 2000;

    struct Summary {
        std::size_t suppressed = 0;     // messages counted but not shown
        std::string caption;            // caption of the first suppressed message
        std::vector<std::string> texts; // the first kMaxKeptTexts of them, in order
    };

    void beginOperation();
    // True when the message should be shown now; false when it was counted
    // (and its text kept). Outside any operation every message is shown.
    bool admit(const std::string& caption, const std::string& text = std::string());
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
