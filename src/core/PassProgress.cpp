#include "PassProgress.h"

namespace vantrel {

QString PassProgress::text() const {
    switch (phase) {
    case Phase::Over:
        return QString();
    case Phase::Sweeping:
        return QStringLiteral("Ping de %1 postes, ").arg(total) + elapsedText(elapsedMs);
    case Phase::Serving:
        return QStringLiteral("Postes servis : %1/%2, %3 en erreur, ")
                   .arg(done)
                   .arg(total)
                   .arg(errors) +
               elapsedText(elapsedMs);
    }
    return QString();
}

QString PassProgress::elapsedText(qint64 ms) {
    const qint64 seconds = ms / 1000;
    return QStringLiteral("%1:%2")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace vantrel
