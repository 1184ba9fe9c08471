#include "ui/message_throttle.h"

namespace quarry {

void cMessageThrottle::beginOperation() {
    scopes_.emplace_back();
}

bool cMessageThrottle::admit(const std::string& caption, const std::string& text) {
    if (scopes_.empty()) return true;
    Scope& scope = scopes_.back();
    if (!scope.shown) {
        scope.shown = true;
        return true;
    }
    if (scope.summary.suppressed++ == 0) scope.summary.caption = caption;
    if (scope.summary.texts.size() < kMaxKeptTexts) scope.summary.texts.push_back(text);
    return false;
}

cMessageThrottle::Summary cMessageThrottle::endOperation() {
    if (scopes_.empty()) return {};
    Summary summary = scopes_.back().summary;
    scopes_.pop_back();
    return summary;
}

} // namespace quarry
