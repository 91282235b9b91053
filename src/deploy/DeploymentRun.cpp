#include "DeploymentRun.h"

#include "Pass.h"
#include "Replacement.h"
#include "StampedVersions.h"
#include "core/Workspace.h"

#include <QSet>

namespace vantrel {
namespace {

QString newFileNote(const QString& host, const QString& destination) {
    return QStringLiteral("Nouveau fichier ") + host + QLatin1Char(' ') + destination;
}

// Copies the new version in place, keeping the live one under the pass's stamp.
FileError replaceKeepingBackup(Workspace& ws, const QString& host, const QString& source,
                               const QString& destination, const QString& target) {
    WorkingState& s = ws.state;
    const Replacement done =
        replaceKeepingAside(ws.system, source, target, target + s.RunStamp, s.RunStamp);
    if (!done.liveKeptAside) {
        s.ReturnMessage = newFileNote(host, destination);
    }
    return done.error;
}

// False when the program was asked to end before every rule was copied.
bool copyToWorkstation(Workspace& ws, const QString& host) {
    Lists& l = ws.lists;
    WorkingState& s = ws.state;
    qint16 CopyFailureCount = 0;
    s.ReturnMessage.clear();
    FileError lost = FileError::None;
    QSet<QString> cleanedFolders;
    QStringList replaced;
    for (int j = 0; j < l.ListeSource.count(); ++j) {
        if (ws.stopRequested()) {
            return false; // between two copies: nothing is left half done
        }
        const QString& source = l.ListeSource.at(j);
        const QString& destination = l.ListeDest.at(j);
        const QString target = ruleTarget(host, source, destination);
        FileError error = lost;
        if (lost == FileError::None) {
            const QString folder = folderOf(target).toLower();
            if (!cleanedFolders.contains(folder)) {
                cleanedFolders.insert(folder);
                removeLeftoverCopies(ws.system, target, ws.clock.now());
            }
            error = replaceKeepingBackup(ws, host, source, destination, target);
        } else {
            s.ReturnMessage = newFileNote(host, destination); // as a failed rename would
        }
        if (isLostWorkstation(error)) {
            lost = error;
        }
        if (error != FileError::None) {
            ++CopyFailureCount;
            s.ReturnMessage += QLatin1Char(';') + source + QLatin1Char(';') + destination +
                               QLatin1Char(';') + describe(error);
        } else {
            replaced.append(target);
        }
        s.ReturnMessage += QLatin1Char(';');
    }
    if (lost == FileError::None) {
        keepNewestVersions(ws.system, replaced,
                           KeptVersions{s.keptVersions, s.RunStamp, ws.clock.now()});
    }
    recordWorkstation(ws, host, CopyFailureCount, s.ReturnMessage);
    return true;
}

} // namespace

bool IsReachable(const Workspace& ws, const QString& host) {
    for (const QString& line : ws.lists.L_PostesFail.entries()) {
        if (line.startsWith(host)) {
            return false;
        }
    }
    return true;
}

void DeploymentRun(Workspace& ws) {
    PassGuard running(ws);
    ws.TimerRécursif.setEnabled(false);
    if (ws.controls.Récursif() > 0) {
        ws.TimerRécursif.setEnabled(true);
    }
    if (runPass(ws, copyToWorkstation)) {
        ws.TimerRécursif.setEnabled(true);
    }
}

} // namespace vantrel
