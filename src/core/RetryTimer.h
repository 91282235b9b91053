#pragma once

#include <QObject>

#include <atomic>

namespace vantrel {

class Clock;

// TimerRécursif as the logic sees it: enabling a disabled timer starts a new count,
// enabling an enabled one changes nothing, a new interval restarts the count. The
// window (or an unattended run) asks when the next tick is due and delivers it.
class RetryTimer : public QObject {
    Q_OBJECT
public:
    explicit RetryTimer(Clock& clock);

    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);
    // Délai: minutes between the starts of two passes of a retry cycle.
    void setDelayMinutes(double minutes);

    // Milliseconds until the next tick (0 when due), -1 when disabled.
    qint64 msUntilDue() const;
    // Called when the tick has been delivered: the next one is one interval later.
    void restartCount();

signals:
    void changed();

private:
    Clock& clock_;
    // A pass arms the timer from its own thread; the window reads it from its own.
    std::atomic<bool> enabled_{false};
    std::atomic<qint64> intervalMs_{1000};
    std::atomic<qint64> countStartMs_{0};
};

} // namespace vantrel
