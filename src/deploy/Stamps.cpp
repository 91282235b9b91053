#include "Stamps.h"

#include <QRegularExpression>

namespace vantrel {

bool isRunStamp(const QString& stamp) {
    static const QRegularExpression form(QStringLiteral("^\\d{8}_\\d{5,6}$"));
    return form.match(stamp).hasMatch() && stampTime(stamp).isValid();
}

QString stampOf(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyyMMdd_Hmmss"));
}

QDateTime stampTime(const QString& stamp) {
    const QString time = stamp.mid(9);
    if (time.size() > 6) {
        return QDateTime();
    }
    return QDateTime::fromString(stamp.left(9) + QString(6 - time.size(), QLatin1Char('0')) + time,
                                 QStringLiteral("yyyyMMdd_HHmmss"));
}

} // namespace vantrel
