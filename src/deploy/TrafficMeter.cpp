#include "TrafficMeter.h"

#include <algorithm>
#include <thread>

namespace vantrel {
namespace {

constexpr std::chrono::seconds kRateWindow(2);
// How soon a wait for the cap sees that the pass is stopping.
constexpr std::chrono::milliseconds kWaitStep(50);

} // namespace

TrafficMeter::TrafficMeter(double maxBytesPerSecond)
    : cap_(std::max(0.0, maxBytesPerSecond)), slotsEnd_(Clock::now()) {}

void TrafficMeter::take(qint64 bytes) {
    Clock::duration wait{};
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        const Clock::time_point now = Clock::now();
        // A pause earns no credit: the slot starts now at the earliest.
        Clock::time_point slotEnd = now;
        if (cap_ > 0) {
            slotsEnd_ = std::max(now, slotsEnd_) + std::chrono::duration_cast<Clock::duration>(
                                                       std::chrono::duration<double>(bytes / cap_));
            slotEnd = slotsEnd_;
            wait = slotEnd - now;
        }
        recent_.emplace_back(slotEnd, bytes);
        while (!recent_.empty() && recent_.front().first < now - kRateWindow) {
            recent_.pop_front();
        }
    }
    // Relative sleeps only: a clock set or faked elsewhere never stretches a wait.
    while (wait > Clock::duration::zero() && !released_) {
        const Clock::duration step = std::min<Clock::duration>(wait, kWaitStep);
        std::this_thread::sleep_for(step);
        wait -= step;
    }
}

void TrafficMeter::release() {
    released_ = true;
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
