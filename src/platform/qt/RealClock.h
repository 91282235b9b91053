#pragma once

#include "platform/Clock.h"

#include <QElapsedTimer>

namespace vantrel {

class System;
class UserInterface;

// The system clock. Its pause sleeps (a pass's thread, or a run without window) and
// ends early when the program is asked to end or the operator to stop the pass.
class RealClock : public Clock {
public:
    RealClock(UserInterface* ui, System& system);

    QDateTime now() override;
    qint64 elapsedMs() override;
    void pause(double seconds) override;
    void callLater(double seconds, std::function<void()> call) override;

private:
    UserInterface* ui_;
    System& system_;
    QElapsedTimer elapsed_;
};

} // namespace vantrel
