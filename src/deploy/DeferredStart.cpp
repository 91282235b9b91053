#include "DeferredStart.h"

#include "core/Text.h"
#include "core/Workspace.h"

#include <QTimeZone>

namespace vantrel {
namespace {

const QString kDeploymentFlag = QStringLiteral("Déploiement");

// A leap year, as the program counts it: the last two digits divisible by 4, not 00.
bool isLeap(int year) {
    const int lastTwo = year % 100;
    return lastTwo % 4 == 0 && lastTwo != 0;
}

} // namespace

DeferredStart::DeferredStart(Workspace& ws) : ws_(ws) {}

int DeferredStart::daysInMonth(int month, int year) {
    switch (month) {
    case 2:
        return isLeap(year) ? 29 : 28;
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    default:
        return 31;
    }
}

void DeferredStart::Form_Load() {
    timerEnabled_ = false;
    const QDateTime now = ws_.clock.now();
    target_[Minute] = now.toString(QStringLiteral("mm"));
    target_[Hour] = now.toString(QStringLiteral("HH"));
    target_[Day] = now.toString(QStringLiteral("dd"));
    target_[Month] = now.toString(QStringLiteral("MM"));
    target_[Year] = now.toString(QStringLiteral("yyyy"));
    remaining_.fill(QString());
    emit changed();
}

int DeferredStart::value(Field f) const {
    return leadingInteger(target_.at(f));
}

void DeferredStart::setTarget(Field f, const QString& text) {
    QString corrected = text;
    const int v = leadingInteger(text);
    const int currentYear = ws_.clock.now().date().year();
    switch (f) {
    case Minute:
        corrected = v > 59 ? QStringLiteral("59") : text;
        break;
    case Hour:
        corrected = v > 23 ? QStringLiteral("23") : text;
        break;
    case Day:
        corrected = v > 31 ? QStringLiteral("31") : text;
        break;
    case Year:
        corrected = v > currentYear + 1 ? QString::number(currentYear) : text;
        break;
    case Month:
    case FieldCount:
        break;
    }
    target_[f] = corrected;
    emit changed();
}

// Each failing check replaces the message of the one before.
QString DeferredStart::validationMessage() const {
    QString message;
    const int year = value(Year);
    const int month = value(Month);
    const int day = value(Day);
    // This year or the next: the same window the year field's correction allows.
    const int currentYear = ws_.clock.now().date().year();
    if (year < currentYear || year > currentYear + 1) {
        message = QStringLiteral("Erreur sur l'année  %1 < Année < %2")
                      .arg(currentYear - 1)
                      .arg(currentYear + 1);
    }
    if (value(Minute) < 0 || value(Minute) > 59) {
        message = QStringLiteral("Erreur sur les minutes  0= <Minutes <60");
    }
    if (value(Hour) < 0 || value(Hour) > 23) {
        message = QStringLiteral("Erreur sur l'heure  0=< Heures <23");
    }
    if (month < 1 || month > 12) {
        message = QStringLiteral("Erreur sur le mois 1< Mois <13");
    }
    if (day < 1 || day > 31) {
        message = QStringLiteral("Erreur sur le jour 0< Jour < 32");
    }
    if (month >= 1 && month <= 12 && day <= 31 && day > daysInMonth(month, year)) {
        message =
            QStringLiteral("Ce mois ne peut avoir plus de %1 jours").arg(daysInMonth(month, year));
    }
    return message;
}

int DeferredStart::borrowedMonthDays() const {
    const QDate today = ws_.clock.now().date();
    return daysInMonth(today.month(), today.year());
}

void DeferredStart::Lancer() {
    WorkingState& s = ws_.state;
    s.ReturnMessage = validationMessage();
    if (!s.ReturnMessage.isEmpty()) {
        ws_.inform(s.ReturnMessage, QStringLiteral("Erreur sur la date"), Icon::Information);
        return;
    }
    timerEnabled_ = true;
    emit changed();
    const QDateTime now = ws_.clock.now();
    std::array<qint16, FieldCount> d{};
    d[Year] = static_cast<qint16>(value(Year) - now.date().year());
    d[Month] = static_cast<qint16>(value(Month) - now.date().month());
    d[Day] = static_cast<qint16>(value(Day) - now.date().day());
    d[Hour] = static_cast<qint16>(value(Hour) - now.time().hour());
    d[Minute] = static_cast<qint16>(value(Minute) - now.time().minute());
    s.ReturnMessage.clear();
    if (d[Year] * 12 + d[Month] > 2) {
        ws_.inform(QStringLiteral("Le différé paraît trop long\r\nVous pourrez annuler le "
                                  "déploiement"),
                   QStringLiteral("Vérifier la saisie"));
    }
    if (d[Year] < 0) {
        s.ReturnMessage = QStringLiteral("Erreur sur l'année");
    }
    if (d[Year] + d[Month] + d[Day] + d[Hour] == 0 && d[Minute] <= 0) {
        Message question;
        question.text = QStringLiteral("Voulez-vous lancer immédiatement");
        question.title = s.ProgramName;
        question.icon = Icon::Question;
        question.buttons = Buttons::YesNo;
        question.defaultAnswer = Answer::Yes;
        if (ws_.ask(question) == Answer::No) {
            // Not now: nothing stays armed behind the operator's back; the dialog
            // waits for another time.
            timerEnabled_ = false;
            emit changed();
            return;
        }
        AnnuleDélai();
    }
    if (!s.ReturnMessage.isEmpty()) {
        ws_.inform(s.ReturnMessage, QStringLiteral("REFAIRE"));
        CloseDialog();
    }
    if (!closed_) {
        DecrementRemaining(d[Year], d[Month], d[Day], d[Hour], d[Minute], 0, borrowedMonthDays());
        writeRemaining(d, false);
    }
}

qint64 DeferredStart::secondsLeft() const {
    if (!timerEnabled_ || closed_) {
        return -1;
    }
    const QDateTime now = ws_.clock.now();
    const QDateTime target(QDate(value(Year), value(Month), value(Day)),
                           QTime(value(Hour), value(Minute)), now.timeZone());
    return std::max<qint64>(0, now.secsTo(target));
}

void DeferredStart::Timer1_Timer() {
    if (!timerEnabled_ || closed_) {
        return;
    }
    std::array<qint16, FieldCount> r{};
    for (int f = 0; f < FieldCount; ++f) {
        r[f] = static_cast<qint16>(leadingInteger(remaining_.at(f)));
    }
    DecrementRemaining(r[Year], r[Month], r[Day], r[Hour], r[Minute], 1, borrowedMonthDays());
    const QDateTime now = ws_.clock.now();
    const bool reached = value(Minute) <= now.time().minute() && value(Hour) <= now.time().hour() &&
                         value(Day) <= now.date().day() && value(Month) <= now.date().month() &&
                         value(Year) <= now.date().year();
    const bool februaryPassed = value(Month) == 2 && now.date().month() == 3;
    if (reached || februaryPassed) {
        startNow();
    }
    if (!closed_) {
        writeRemaining(r, true);
    }
}

void DeferredStart::writeRemaining(const std::array<qint16, FieldCount>& counts,
                                   bool plainMonthAndYear) {
    for (int f = 0; f < FieldCount; ++f) {
        const bool plain = plainMonthAndYear && (f == Year || f == Month);
        remaining_[f] = plain ? QString::number(counts.at(f)) : numberText(counts.at(f));
    }
    emit changed();
}

void DeferredStart::startNow() {
    timerEnabled_ = false;
    ws_.state.DeferredStartFlag = kDeploymentFlag;
    CloseDialog();
}

void DeferredStart::AnnuleDélai() {
    startNow();
}

void DeferredStart::AnuleDéploiement() {
    timerEnabled_ = false;
    ws_.state.DeferredStartFlag = QStringLiteral("Annule");
    CloseDialog();
}

void DeferredStart::CloseDialog() {
    closed_ = true;
    timerEnabled_ = false;
    emit changed();
    emit closeRequested();
}

void DeferredStart::DecrementRemaining(qint16& years, qint16& months, qint16& days, qint16& hours,
                                       qint16& minutes, int step, int borrowedMonthDays) {
    minutes = static_cast<qint16>(minutes - std::abs(step));
    if (minutes < 0) {
        minutes += 60;
        --hours;
    }
    if (hours < 0) {
        hours += 24;
        --days;
    }
    if (days < 0) {
        --months;
        days = static_cast<qint16>(days + borrowedMonthDays);
    }
    if (months < 0) {
        --years;
        months += 12;
    }
}

} // namespace vantrel
