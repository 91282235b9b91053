#include "RealClock.h"

#include "platform/System.h"
#include "platform/UserInterface.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

namespace vantrel {

RealClock::RealClock(UserInterface* ui, System& system) : ui_(ui), system_(system) {
    elapsed_.start();
}

QDateTime RealClock::now() {
    return QDateTime::currentDateTime();
}

qint64 RealClock::elapsedMs() {
    return elapsed_.elapsed();
}

void RealClock::pause(double seconds) {
    const bool wasBusy = ui_ != nullptr && ui_->isBusy();
    if (ui_ != nullptr) {
        ui_->setBusy(true);
    }
    const qint64 end = elapsed_.elapsed() + static_cast<qint64>(seconds * 1000);
    const auto stopped = [this] {
        return system_.terminationSignal() != 0 || (ui_ != nullptr && ui_->stopAsked());
    };
    for (qint64 left = end - elapsed_.elapsed(); left > 0 && !stopped();
         left = end - elapsed_.elapsed()) {
        QThread::msleep(static_cast<unsigned long>(std::min<qint64>(left, 20)));
    }
    if (ui_ != nullptr) {
        ui_->setBusy(wasBusy);
    }
}

void RealClock::callLater(double seconds, std::function<void()> call) {
    QTimer::singleShot(static_cast<int>(seconds * 1000), QCoreApplication::instance(),
                       std::move(call));
}

} // namespace vantrel
