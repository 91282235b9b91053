#pragma once

#include "deploy/DeferredStart.h"

#include <QDialog>

#include <array>

class QLabel;
class QLineEdit;
class QTimer;

namespace vantrel {

class Clock;
class Workspace;

// "Dépoiement Différé": the target date and time, the time left, three buttons.
class Form2 : public QDialog {
    Q_OBJECT
public:
    Form2(Workspace& ws, QWidget* parent = nullptr);

    DeferredStart& logic() { return logic_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void refresh();
    void placeTopRight();
    void countLastMinute();
    int msToNextMinute() const;

    Clock& clock_;
    DeferredStart logic_;
    std::array<QLineEdit*, DeferredStart::FieldCount> target_{};
    std::array<QLineEdit*, DeferredStart::FieldCount> remaining_{};
    QTimer* Timer1_ = nullptr;
    QTimer* seconds_ = nullptr; // the last minute, in seconds
    QLabel* lastMinute_ = nullptr;
    int screenRight_ = 0; // pixels
    int top_ = 0;
};

} // namespace vantrel
