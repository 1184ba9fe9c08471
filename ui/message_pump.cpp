#include "ui/message_pump.h"

#include <QCoreApplication>

namespace quarry {

cMessagePump::cMessagePump(std::chrono::milliseconds interval, Clock clock)
    : interval_(interval), clock_(std::move(clock)) {
    if (!clock_) clock_ = [] { return std::chrono::steady_clock::now(); };
}

bool cMessagePump::due() {
    const auto now = clock_();
    if (!primed_ && now - last_ < interval_) return false;
    primed_ = false;
    last_ = now;
    return true;
}

cMessagePump& sharedMessagePump() {
    static cMessagePump pump;
    return pump;
}

bool pumpMessages(const std::function<void()>& beforeDispatch) {
    if (!sharedMessagePump().due()) return false;
    if (beforeDispatch) beforeDispatch();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return true;
}

} // namespace quarry
