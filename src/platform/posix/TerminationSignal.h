#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace vantrel {

// Turns SIGTERM and SIGHUP (a session logout) into a call on the event loop.
class TerminationSignal : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignal(std::function<void()> handler);
    ~TerminationSignal() override;

private:
    std::function<void()> handler_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace vantrel
