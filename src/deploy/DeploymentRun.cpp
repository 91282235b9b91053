#include "DeploymentRun.h"

#include "Pass.h"
#include "Replacement.h"
#include "StampedVersions.h"
#include "TargetCheck.h"
#include "core/Workspace.h"

#include <QSet>

namespace vantrel {
namespace {

QString newFileNote(const QString& host, const QString& destination) {
    return QStringLiteral("Nouveau fichier ") + host + QLatin1Char(' ') + destination;
}

struct CopyOptions {
    int keptVersions = 0;
    bool onlyIfDifferent = false;
};

// Copies each rule's file to one workstation, keeping the version it replaces under
// the pass's stamp; with onlyIfDifferent, a target that already holds the source's
// bytes is left as it is. After a lost connection the other rules fail untried.
WorkstationResult copyToWorkstation(System& system, const PassRules& rules,
                                    const CopyOptions& options, const WorkstationJob& job) {
    WorkstationResult result;
    const QString& host = job.host;
    const QString& runStamp = job.runStamp;
    QSet<QString> cleanedFolders;
    QStringList replaced;
    const auto copyRule = [&](const QString& source, const QString& destination,
                              const QString& target, FileError lost) {
        const TargetCheck check = lost == FileError::None && options.onlyIfDifferent
                                      ? compareBeforeCopy(system, source, target)
                                      : TargetCheck{};
        FileError error = lost != FileError::None ? lost : check.error;
        if (check.kind == TargetCheck::Kind::Unchanged) {
            result.message += QLatin1Char(';') + target + QStringLiteral(";inchangé");
        } else if (error == FileError::None) {
            const QString folder = folderOf(target).toLower();
            if (!cleanedFolders.contains(folder)) {
                cleanedFolders.insert(folder);
                removeLeftoverCopies(system, target, job.now);
            }
            const Replacement done =
                replaceKeepingAside(system, source, target, target + runStamp, runStamp);
            if (!done.liveKeptAside) {
                result.message = newFileNote(host, destination);
            }
            error = done.error;
            if (error == FileError::None) {
                replaced.append(target);
            }
        } else if (lost != FileError::None) {
            result.message = newFileNote(host, destination); // as a failed rename would
        }
        if (error != FileError::None) {
            ++result.failures;
            result.message += QLatin1Char(';') + source + QLatin1Char(';') + destination +
                              QLatin1Char(';') + describe(error);
        }
        result.message += QLatin1Char(';');
        return error;
    };
    if (forEachRule(rules, job, result, copyRule) == FileError::None && result.finished) {
        keepNewestVersions(system, replaced, KeptVersions{options.keptVersions, runStamp, job.now});
    }
    return result;
}

} // namespace

void DeploymentRun(Workspace& ws) {
    PassGuard running(ws);
    ws.TimerRécursif.setEnabled(false);
    if (ws.controls.Récursif() > 0) {
        ws.TimerRécursif.setEnabled(true);
    }
    PassOutcome outcome;
    const auto step = [rules = PassRules(ws),
                       options = CopyOptions{ws.state.keptVersions, ws.state.onlyIfDifferent}](
                          System& system, const WorkstationJob& job) {
        return copyToWorkstation(system, rules, options, job);
    };
    if (runPass(ws, step, outcome)) {
        ws.TimerRécursif.setEnabled(true);
    }
}

} // namespace vantrel
