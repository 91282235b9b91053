#include "RestoreRun.h"

#include "Pass.h"
#include "Replacement.h"
#include "StampedVersions.h"
#include "Stamps.h"
#include "core/Workspace.h"

#include <algorithm>

namespace vantrel {
namespace {

// The version of that pass: the name with the stamp exactly as given first, else the
// stamp written in its other form ("" when none).
QString versionOf(const std::vector<StampedVersion>& versions, const QString& passStamp) {
    const auto exact = std::find_if(versions.begin(), versions.end(),
                                    [&](const StampedVersion& v) { return v.stamp == passStamp; });
    if (exact != versions.end()) {
        return exact->stamp;
    }
    const QDateTime wallTime = stampWallTime(passStamp);
    const auto other = std::find_if(versions.begin(), versions.end(), [&](const StampedVersion& v) {
        return v.wallTime == wallTime;
    });
    return other == versions.end() ? QString() : other->stamp;
}

// One rule on one workstation; note says what was done when nothing failed.
FileError restoreRule(Files& files, const QString& target, const QString& passStamp,
                      const QString& runStamp, QString& note, int& restored) {
    std::vector<FolderEntry> folder;
    files.listFolder(folderOf(target), folder);
    if (const QStringList twins = caseTwins(folder, target); !twins.isEmpty()) {
        note = caseTwinsText(twins);
        return FileError::CaseTwins;
    }
    std::vector<StampedVersion> versions;
    if (const FileError error = stampedVersions(files, target, StampOrder(), versions);
        error != FileError::None) {
        return error;
    }
    const QString versionStamp = versionOf(versions, passStamp);
    if (versionStamp.isEmpty()) {
        note = QStringLiteral("Pas de version de la passe ") + passStamp +
               QStringLiteral(" : laissé tel quel");
        return FileError::None;
    }
    const Replacement done =
        replaceKeepingAside(files, target + versionStamp, target, target + runStamp, runStamp);
    if (done.error != FileError::None) {
        return done.error;
    }
    note = QStringLiteral("Version de la passe ") + passStamp +
           QStringLiteral(" remise en place depuis ") + nameOf(target) + versionStamp;
    ++restored;
    if (done.liveKeptAside) {
        note += QStringLiteral(", la version remplacée gardée sous ") + runStamp;
    }
    return FileError::None;
}

WorkstationResult restoreWorkstation(Files& files, const PassRules& rules, const QString& passStamp,
                                     const WorkstationJob& job) {
    WorkstationResult result;
    forEachRule(rules, job, result,
                [&](const QString& source, const QString& destination, const QString& target,
                    FileError refused) {
                    QString note;
                    const FileError error = refused != FileError::None
                                                ? refused
                                                : restoreRule(files, target, passStamp,
                                                              job.runStamp, note, result.restored);
                    if (error != FileError::None) {
                        ++result.failures;
                        note = note.isEmpty() ? describe(error) : note;
                    }
                    result.message += QLatin1Char(';') + source + QLatin1Char(';') + destination +
                                      QLatin1Char(';') + note;
                    return error;
                });
    result.message += QLatin1Char(';');
    return result;
}

} // namespace

int RestoreRun(Workspace& ws, const PassSettings& settings, const QString& passStamp) {
    PassGuard running(ws);
    ws.TimerRécursif.setEnabled(false);
    PassKind kind;
    kind.step = [rules = PassRules(ws), passStamp](Files& files, const WorkstationJob& job) {
        return restoreWorkstation(files, rules, passStamp, job);
    };
    kind.heading = QStringLiteral("Restauration de la passe ") + passStamp +
                   QStringLiteral(" : chaque poste reprend la version qu'elle avait remplacée");
    kind.emptyHanded = [passStamp](const PassOutcome& outcome) {
        return outcome.restored > 0
                   ? QString()
                   : QStringLiteral("Aucune version de la passe ") + passStamp +
                         QStringLiteral(" sur les postes servis : rien n'a été remis en place. "
                                        "--historique liste les versions gardées (--garder a "
                                        "pu supprimer celles de cette passe)");
    };
    PassOutcome outcome;
    runPass(ws, settings, kind, outcome);
    return outcome.restored;
}

} // namespace vantrel
