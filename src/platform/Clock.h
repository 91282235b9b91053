#pragma once

#include <QDateTime>

namespace vantrel {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() = 0;
    // Monotonic milliseconds, for timers and pauses.
    virtual qint64 elapsedMs() = 0;
    // Blocks for the given time: no operator input and no timer tick is handled meanwhile.
    virtual void pause(double seconds) = 0;
};

} // namespace vantrel
