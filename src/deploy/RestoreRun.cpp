#include "RestoreRun.h"

#include "Pass.h"
#include "Replacement.h"
#include "StampedVersions.h"
#include "Stamps.h"
#include "core/Workspace.h"

#include <algorithm>

namespace vantrel {
namespace {

// The version of that pass, whichever form its stamp was written in ("" when none).
QString versionOf(const std::vector<StampedVersion>& versions, const QString& passStamp) {
    const QDateTime time = stampTime(passStamp);
    const auto found = std::find_if(versions.begin(), versions.end(),
                                    [&time](const StampedVersion& v) { return v.time == time; });
    return found == versions.end() ? QString() : found->stamp;
}

// One rule on one workstation; note says what was done when nothing failed.
FileError restoreRule(Workspace& ws, const QString& target, const QString& passStamp, QString& note,
                      int& restored) {
    std::vector<StampedVersion> versions;
    if (const FileError error = stampedVersions(ws.system, target, versions);
        error != FileError::None) {
        return error;
    }
    const QString versionStamp = versionOf(versions, passStamp);
    if (versionStamp.isEmpty()) {
        note = QStringLiteral("Pas de version de la passe ") + passStamp +
               QStringLiteral(" : laissé tel quel");
        return FileError::None;
    }
    const Replacement done = replaceKeepingAside(ws.system, target + versionStamp, target,
                                                 target + ws.state.RunStamp, ws.state.RunStamp);
    if (done.error != FileError::None) {
        return done.error;
    }
    note = QStringLiteral("Version de la passe ") + passStamp + QStringLiteral(" remise en place");
    ++restored;
    if (done.liveKeptAside) {
        note += QStringLiteral(", la version remplacée gardée sous ") + ws.state.RunStamp;
    }
    return FileError::None;
}

bool restoreWorkstation(Workspace& ws, const QString& host, const QString& passStamp,
                        int& restored) {
    const Lists& l = ws.lists;
    int failures = 0;
    QString message;
    FileError lost = FileError::None;
    for (int j = 0; j < l.ListeSource.count(); ++j) {
        if (ws.stopRequested()) {
            return false;
        }
        const QString& source = l.ListeSource.at(j);
        const QString& destination = l.ListeDest.at(j);
        QString note;
        FileError error = lost;
        if (lost == FileError::None) {
            error =
                restoreRule(ws, ruleTarget(host, source, destination), passStamp, note, restored);
        }
        if (isLostWorkstation(error)) {
            lost = error;
        }
        if (error != FileError::None) {
            ++failures;
            note = describe(error);
        }
        message +=
            QLatin1Char(';') + source + QLatin1Char(';') + destination + QLatin1Char(';') + note;
    }
    recordWorkstation(ws, host, failures, message + QLatin1Char(';'));
    return true;
}

} // namespace

int RestoreRun(Workspace& ws, const QString& passStamp) {
    PassGuard running(ws);
    ws.TimerRécursif.setEnabled(false);
    ws.state.passHeading = QStringLiteral("Restauration de la passe ") + passStamp +
                           QStringLiteral(" : chaque poste reprend la version qu'elle avait "
                                          "remplacée");
    int restored = 0;
    const bool ended = runPass(ws, [&passStamp, &restored](Workspace& w, const QString& host) {
        return restoreWorkstation(w, host, passStamp, restored);
    });
    ws.state.passHeading.clear();
    if (ended && restored == 0) {
        ws.inform(QStringLiteral("Aucune version de la passe ") + passStamp,
                  QStringLiteral("Restauration"), Icon::Information);
    }
    return restored;
}

} // namespace vantrel
