#include "RetryTimer.h"

#include "platform/Clock.h"

#include <algorithm>

namespace vantrel {

RetryTimer::RetryTimer(Clock& clock) : clock_(clock) {}

void RetryTimer::setEnabled(bool enabled) {
    if (enabled && !enabled_) {
        countStartMs_ = clock_.elapsedMs();
    }
    enabled_ = enabled;
    emit changed();
}

void RetryTimer::setInterval(int ms) {
    intervalMs_ = ms;
    restartCount();
}

qint64 RetryTimer::msUntilDue() const {
    if (!enabled_) {
        return -1;
    }
    return std::max<qint64>(0, countStartMs_ + intervalMs_ - clock_.elapsedMs());
}

void RetryTimer::restartCount() {
    countStartMs_ = clock_.elapsedMs();
    emit changed();
}

} // namespace vantrel
