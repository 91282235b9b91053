#pragma once

#include "platform/Clock.h"

#include <QElapsedTimer>

namespace vantrel {

class UserInterface;

// The system clock. Its pause lets the window repaint but handles no operator input;
// timer ticks that arrive meanwhile are held back by their receivers while a pass runs.
class RealClock : public Clock {
public:
    explicit RealClock(UserInterface* ui);

    QDateTime now() override;
    qint64 elapsedMs() override;
    void pause(double seconds) override;

private:
    UserInterface* ui_;
    QElapsedTimer elapsed_;
};

} // namespace vantrel
