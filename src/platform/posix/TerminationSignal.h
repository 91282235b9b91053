#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace vantrel {

// Turns SIGTERM, SIGINT and SIGHUP (a session logout) into a call on the event loop,
// and records the signal at once for work that does not return to the loop.
class TerminationSignal : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignal(std::function<void()> handler);
    ~TerminationSignal() override;

    static int received();

private:
    std::function<void()> handler_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace vantrel
