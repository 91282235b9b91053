#pragma once

#include "platform/Clock.h"

#include <QElapsedTimer>

namespace vantrel {

class System;
class UserInterface;

// The system clock. Its pause lets the window repaint but handles no operator input;
// timer ticks that arrive meanwhile are held back by their receivers while a pass runs.
// A pause ends early when the program is asked to end.
class RealClock : public Clock {
public:
    RealClock(UserInterface* ui, System& system);

    QDateTime now() override;
    qint64 elapsedMs() override;
    void pause(double seconds) override;

private:
    UserInterface* ui_;
    System& system_;
    QElapsedTimer elapsed_;
};

} // namespace vantrel
