#include "RetryTimer.h"

#include "platform/Clock.h"

#include <algorithm>

namespace vantrel {
namespace {

constexpr qint64 kShortestMs = 1000;

} // namespace

RetryTimer::RetryTimer(Clock& clock) : clock_(clock) {}

void RetryTimer::setEnabled(bool enabled) {
    if (enabled && !enabled_) {
        countStartMs_ = clock_.elapsedMs();
    }
    enabled_ = enabled;
    emit changed();
}

void RetryTimer::setDelayMinutes(double minutes) {
    // An empty Délai still waits a second: the window never spins on its timer.
    intervalMs_ = std::max<qint64>(kShortestMs, static_cast<qint64>(minutes * 60 * 1000));
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
