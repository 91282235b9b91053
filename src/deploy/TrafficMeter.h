#pragma once

#include "platform/CopyMeter.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <utility>

namespace vantrel {

// The copy traffic of one pass, shared by all its workers: how fast it goes, and a
// cap on that when the pass has one. Each piece of a copy gets the next slot of the
// cap's time in turn and is sent once its slot has come, never before: the workers
// share the cap rather than each having it, and it holds from the first byte.
class TrafficMeter : public CopyMeter {
public:
    using Clock = std::chrono::steady_clock;
    // Where the meter reads the time and waits; the machine's own unless a test gives
    // its own.
    struct Time {
        std::function<Clock::time_point()> now = [] { return Clock::now(); };
        std::function<void(Clock::duration)> sleep;
    };

    // maxBytesPerSecond 0: no cap, the bytes are only counted.
    explicit TrafficMeter(double maxBytesPerSecond = 0);
    TrafficMeter(double maxBytesPerSecond, Time time);

    qint64 take(qint64 wanted) override;
    // The copies waiting for their slot go at once: the pass is stopping.
    void release();
    // Over the last two seconds.
    double bytesPerSecond() const;

private:
    const double cap_;
    const Time time_;
    std::atomic<bool> released_{false};
    mutable std::mutex mutex_;
    Clock::time_point slotsEnd_; // when the bytes let go so far have had their time
    std::deque<std::pair<Clock::time_point, qint64>> recent_;
};

} // namespace vantrel
