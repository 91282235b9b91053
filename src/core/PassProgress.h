#pragma once

#include <QMetaType>
#include <QString>

namespace vantrel {

// How far the pass under way is, as the window's progress bar and a terminal's line
// show it.
struct PassProgress {
    enum class Phase { Over, WaitingForLock, Sweeping, Serving };
    Phase phase = Phase::Over;
    // Serving: the workstations of the pass as its end line counts them.
    int total = 0;  // each workstation once (a name listed twice counts once)
    int served = 0; // every rule done, none failed
    int errors = 0; // a rule failed, or stopped before its end
    int silent = 0; // no answer to the ping
    int toDo() const { return total - served - errors - silent; }
    qint64 elapsedMs = 0;      // since the pass began
    double bytesPerSecond = 0; // serving: the copies' rate of late

    // "Ping de 306 postes, 00:04", "Postes servis : 164/306, 2 en erreur, 3 sans
    // réponse, 137 à faire, 00:31", with "38,2 Mo/s" before the time while the copies
    // move bytes.
    QString text() const;
    static QString elapsedText(qint64 ms);
    static QString rateText(double bytesPerSecond);
};

} // namespace vantrel

Q_DECLARE_METATYPE(vantrel::PassProgress)
