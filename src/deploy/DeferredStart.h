#pragma once

#include <QObject>
#include <QString>

#include <array>

namespace vantrel {

class Workspace;

// The deferred-start dialog Form2 as values: the target row the operator types,
// the remaining row it counts down each minute, and its one-minute timer Timer1.
// When the time comes it leaves "Déploiement" in DeferredStartFlag and closes.
class DeferredStart : public QObject {
    Q_OBJECT
public:
    enum Field { Year, Month, Day, Hour, Minute, FieldCount };

    explicit DeferredStart(Workspace& ws);

    // Loading: the target row from the clock, the remaining row empty, timer off.
    void Form_Load();

    const QString& target(Field f) const { return target_.at(f); }
    const QString& remaining(Field f) const { return remaining_.at(f); }
    // A change of a target field, with its correction.
    void setTarget(Field f, const QString& text);

    void Lancer();
    void Timer1_Timer();
    void AnnuleDélai();
    void AnuleDéploiement();

    bool timerEnabled() const { return timerEnabled_; }
    // Once armed, the seconds left before the target minute (-1 when not armed): the
    // dialog counts the last minute down in seconds and starts at the minute itself.
    qint64 secondsLeft() const;
    bool isClosed() const { return closed_; }

    // One minute less (step 1), or the normalisation of fresh differences (step 0).
    // A borrowed month counts the days of the given month.
    static void DecrementRemaining(qint16& years, qint16& months, qint16& days, qint16& hours,
                                   qint16& minutes, int step, int borrowedMonthDays);
    static int daysInMonth(int month, int year);

signals:
    void changed();
    void closeRequested();

private:
    int value(Field f) const;
    QString validationMessage() const;
    void startNow();
    void CloseDialog();
    int borrowedMonthDays() const;
    void writeRemaining(const std::array<qint16, FieldCount>& counts, bool plainMonthAndYear);

    Workspace& ws_;
    std::array<QString, FieldCount> target_;
    std::array<QString, FieldCount> remaining_;
    bool timerEnabled_ = false;
    bool closed_ = false;
};

} // namespace vantrel
