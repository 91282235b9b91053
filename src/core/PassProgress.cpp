#include "PassProgress.h"

namespace vantrel {

QString PassProgress::text() const {
    switch (phase) {
    case Phase::Over:
        return QString();
    case Phase::WaitingForLock:
        return QStringLiteral("Un autre déploiement utilise le dossier du programme : attente, ") +
               elapsedText(elapsedMs);
    case Phase::Sweeping:
        return QStringLiteral("Ping de %1 postes, ").arg(total) + elapsedText(elapsedMs);
    case Phase::Serving:
        return QStringLiteral("Postes servis : %1/%2, %3 en erreur, %4 sans réponse, %5 à faire, ")
                   .arg(served)
                   .arg(total)
                   .arg(errors)
                   .arg(silent)
                   .arg(toDo()) +
               rateText(bytesPerSecond) + elapsedText(elapsedMs);
    }
    return QString();
}

// 1 Mo is 1,000,000 octets, as the cap counts them.
QString PassProgress::rateText(double bytesPerSecond) {
    if (bytesPerSecond <= 0) {
        return QString();
    }
    return QString::number(bytesPerSecond / 1e6, 'f', 1)
               .replace(QLatin1Char('.'), QLatin1Char(',')) +
           QStringLiteral(" Mo/s, ");
}

QString PassProgress::elapsedText(qint64 ms) {
    const qint64 seconds = ms / 1000;
    return QStringLiteral("%1:%2")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace vantrel
