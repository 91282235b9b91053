#pragma once

#include <QDateTime>

#include <functional>

namespace vantrel {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() = 0;
    // Monotonic milliseconds, for timers and pauses.
    virtual qint64 elapsedMs() = 0;
    // Blocks for the given time: for a pass's thread or a run without window.
    virtual void pause(double seconds) = 0;
    // Calls call once the given time has passed, without blocking: the window's
    // thread goes on meanwhile.
    virtual void callLater(double seconds, std::function<void()> call) = 0;
};

} // namespace vantrel
