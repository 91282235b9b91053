#include "TrafficMeter.h"

#include <algorithm>

namespace vantrel {
namespace {

constexpr std::chrono::seconds kRateWindow(2);

} // namespace

TrafficMeter::TrafficMeter(double maxBytesPerSecond)
    : cap_(std::max(0.0, maxBytesPerSecond)), slotsEnd_(Clock::now()) {}

void TrafficMeter::take(qint64 bytes) {
    std::unique_lock<std::mutex> lock(mutex_);
    const Clock::time_point now = Clock::now();
    // A pause earns no credit: the slot starts now at the earliest.
    Clock::time_point slotEnd = now;
    if (cap_ > 0) {
        slotsEnd_ = std::max(now, slotsEnd_) + std::chrono::duration_cast<Clock::duration>(
                                                   std::chrono::duration<double>(bytes / cap_));
        slotEnd = slotsEnd_;
    }
    recent_.emplace_back(slotEnd, bytes);
    while (!recent_.empty() && recent_.front().first < now - kRateWindow) {
        recent_.pop_front();
    }
    wake_.wait_until(lock, slotEnd, [this] { return released_.load(); });
}

void TrafficMeter::release() {
    released_ = true;
    wake_.notify_all();
}

double TrafficMeter::bytesPerSecond() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    const Clock::time_point now = Clock::now();
    qint64 moved = 0;
    for (const auto& [at, bytes] : recent_) {
        if (at <= now && at >= now - kRateWindow) {
            moved += bytes;
        }
    }
    return static_cast<double>(moved) / std::chrono::duration<double>(kRateWindow).count();
}

} // namespace vantrel
