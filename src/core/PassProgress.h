#pragma once

#include <QMetaType>
#include <QString>

namespace vantrel {

// How far the pass under way is, as the window's progress bar and a terminal's line
// show it.
struct PassProgress {
    enum class Phase { Over, Sweeping, Serving };
    Phase phase = Phase::Over;
    int total = 0;    // workstations of the pass
    int answered = 0; // serving: those that answered the ping
    int done = 0;     // serving: those with their result (served, no answer, duplicate)
    int errors = 0;
    qint64 elapsedMs = 0;      // since the pass began
    double bytesPerSecond = 0; // serving: the copies' rate of late

    // "Ping de 306 postes, 00:04", "Postes servis : 164/306, 2 en erreur, 00:31", with
    // "38,2 Mo/s" before the time while the copies move bytes.
    QString text() const;
    static QString elapsedText(qint64 ms);
    static QString rateText(double bytesPerSecond);
};

} // namespace vantrel

Q_DECLARE_METATYPE(vantrel::PassProgress)
