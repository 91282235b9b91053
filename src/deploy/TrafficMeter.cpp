#include "TrafficMeter.h"

#include <algorithm>
#include <thread>

namespace vantrel {
namespace {

constexpr std::chrono::seconds kRateWindow(2);
// A piece is at most this much of the cap's time: over any window the bytes sent stay
// within one such piece of what the cap allows.
constexpr std::chrono::milliseconds kPieceTime(50);
// How soon a wait for the cap sees that the pass is stopping.
constexpr std::chrono::milliseconds kWaitStep(50);

} // namespace

TrafficMeter::TrafficMeter(double maxBytesPerSecond) : TrafficMeter(maxBytesPerSecond, Time()) {}

TrafficMeter::TrafficMeter(double maxBytesPerSecond, Time time)
    : cap_(std::max(0.0, maxBytesPerSecond)), time_(std::move(time)), slotsEnd_(time_.now()) {}

qint64 TrafficMeter::take(qint64 wanted) {
    qint64 granted = std::max<qint64>(1, wanted);
    Clock::duration wait{};
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        const Clock::time_point now = time_.now();
        // A pause earns no credit: the slot starts now at the earliest.
        Clock::time_point slotStart = now;
        if (cap_ > 0) {
            const double piece = cap_ * std::chrono::duration<double>(kPieceTime).count();
            granted = std::min(granted, std::max<qint64>(1, static_cast<qint64>(piece)));
            slotStart = std::max(now, slotsEnd_);
            slotsEnd_ = slotStart + std::chrono::duration_cast<Clock::duration>(
                                        std::chrono::duration<double>(granted / cap_));
            wait = slotStart - now;
        }
        recent_.emplace_back(slotStart, granted);
        while (!recent_.empty() && recent_.front().first < now - kRateWindow) {
            recent_.pop_front();
        }
    }
    // Relative sleeps only: a clock set elsewhere never stretches a wait.
    while (wait > Clock::duration::zero() && !released_) {
        const Clock::duration step = std::min<Clock::duration>(wait, kWaitStep);
        if (time_.sleep) {
            time_.sleep(step);
        } else {
            std::this_thread::sleep_for(step);
        }
        wait -= step;
    }
    return granted;
}

void TrafficMeter::release() {
    released_ = true;
}

double TrafficMeter::bytesPerSecond() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    const Clock::time_point now = time_.now();
    qint64 moved = 0;
    for (const auto& [at, bytes] : recent_) {
        if (at <= now && at > now - kRateWindow) {
            moved += bytes;
        }
    }
    return static_cast<double>(moved) / std::chrono::duration<double>(kRateWindow).count();
}

} // namespace vantrel
