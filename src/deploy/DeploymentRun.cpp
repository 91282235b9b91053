#include "DeploymentRun.h"

#include "Pass.h"
#include "StampedVersions.h"
#include "core/Workspace.h"

namespace vantrel {
namespace {

QString newFileNote(const QString& host, const QString& destination) {
    return QStringLiteral("Nouveau fichier ") + host + QLatin1Char(' ') + destination;
}

// Puts the live target aside under the pass's stamp, then copies the new version.
// A target that is there but could not be put aside is never replaced; when the copy
// fails, the version put aside goes back in place.
FileError replaceKeepingBackup(Workspace& ws, const QString& host, const QString& source,
                               const QString& destination, const QString& target) {
    WorkingState& s = ws.state;
    const FileError keptAside = ws.system.renameFile(target, target + s.RunStamp);
    if (keptAside == FileError::None) {
        const FileError error = ws.system.copyFile(source, target);
        if (error != FileError::None && !isLostWorkstation(error)) {
            ws.system.renameFile(target + s.RunStamp, target);
        } else if (error == FileError::None) {
            keepNewestVersions(ws.system, target, s.keptVersions);
        }
        return error;
    }
    s.ReturnMessage = newFileNote(host, destination);
    if (isLostWorkstation(keptAside) ||
        (keptAside != FileError::FileNotFound && ws.system.fileLength(target) >= 0)) {
        return keptAside;
    }
    const FileError error = ws.system.copyFile(source, target);
    if (error == FileError::None) {
        keepNewestVersions(ws.system, target, s.keptVersions);
    }
    return error;
}

// False when the program was asked to end before every rule was copied.
bool copyToWorkstation(Workspace& ws, const QString& host) {
    Lists& l = ws.lists;
    WorkingState& s = ws.state;
    qint16 CopyFailureCount = 0;
    s.ReturnMessage.clear();
    FileError lost = FileError::None;
    for (int j = 0; j < l.ListeSource.count(); ++j) {
        if (ws.stopRequested()) {
            return false; // between two copies: nothing is left half done
        }
        const QString& source = l.ListeSource.at(j);
        const QString& destination = l.ListeDest.at(j);
        const QString target = ruleTarget(host, source, destination);
        FileError error = lost;
        if (lost == FileError::None) {
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
        }
        s.ReturnMessage += QLatin1Char(';');
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
