#pragma once

#include "platform/CopyMeter.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <utility>

namespace vantrel {

// The copy traffic of one pass, shared by all its workers: how fast it goes, and a
// cap on that when the pass has one. Each block gets the next slot of the cap's time
// in turn, and its copy waits for the slot's end: the workers share the cap rather
// than each having it.
class TrafficMeter : public CopyMeter {
public:
    // maxBytesPerSecond 0: no cap, the bytes are only counted.
    explicit TrafficMeter(double maxBytesPerSecond = 0);

    void take(qint64 bytes) override;
    // The copies waiting for their slot go at once: the pass is stopping.
    void release();
    // Over the last two seconds.
    double bytesPerSecond() const;

private:
    using Clock = std::chrono::steady_clock;
    const double cap_;
    std::atomic<bool> released_{false};
    mutable std::mutex mutex_;
    Clock::time_point slotsEnd_; // when the bytes let go so far have had their time
    std::deque<std::pair<Clock::time_point, qint64>> recent_;
};

} // namespace vantrel
