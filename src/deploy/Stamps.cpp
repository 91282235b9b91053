#include "Stamps.h"

#include <QRegularExpression>

namespace vantrel {

bool isRunStamp(const QString& stamp) {
    static const QRegularExpression form(QStringLiteral("^\\d{8}_\\d{5,6}$"));
    return form.match(stamp).hasMatch() && stampWallTime(stamp).isValid();
}

QString stampOf(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyyMMdd_Hmmss"));
}

QDateTime stampWallTime(const QString& stamp) {
    const QString time = stamp.mid(9);
    if (time.size() > 6) {
        return QDateTime();
    }
    const QString padded = stamp.left(9) + QString(6 - time.size(), QLatin1Char('0')) + time;
    const QDate date = QDate::fromString(padded.left(8), QStringLiteral("yyyyMMdd"));
    const QTime clock = QTime::fromString(padded.mid(9), QStringLiteral("HHmmss"));
    return date.isValid() && clock.isValid() ? QDateTime(date, clock, Qt::UTC) : QDateTime();
}

QDateTime wallTimeOf(const QDateTime& time) {
    return QDateTime(time.date(), time.time(), Qt::UTC);
}

} // namespace vantrel
