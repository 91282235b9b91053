#include "RestoreRun.h"

#include "Pass.h"
#include "StampedVersions.h"
#include "core/Workspace.h"

#include <algorithm>

namespace vantrel {
namespace {

bool hasVersion(const std::vector<StampedVersion>& versions, const QString& stamp) {
    return std::any_of(versions.begin(), versions.end(),
                       [&stamp](const StampedVersion& v) { return v.stamp == stamp; });
}

// One rule on one workstation; note says what was done when nothing failed.
FileError restoreRule(Workspace& ws, const QString& target, const QString& passStamp,
                      QString& note) {
    std::vector<StampedVersion> versions;
    if (const FileError error = stampedVersions(ws.system, target, versions);
        error != FileError::None) {
        return error;
    }
    if (!hasVersion(versions, passStamp)) {
        note = QStringLiteral("Pas de version de la passe ") + passStamp +
               QStringLiteral(" : laissé tel quel");
        return FileError::None;
    }
    const QString aside = target + ws.state.RunStamp;
    const bool live = ws.system.fileLength(target) >= 0;
    if (live) {
        if (const FileError error = ws.system.renameFile(target, aside); error != FileError::None) {
            return error; // a version that cannot be put aside is never replaced
        }
    }
    const FileError error = ws.system.copyFile(target + passStamp, target);
    if (error != FileError::None) {
        if (live && !isLostWorkstation(error)) {
            ws.system.renameFile(aside, target);
        }
        return error;
    }
    note = QStringLiteral("Version de la passe ") + passStamp + QStringLiteral(" remise en place");
    if (live) {
        note += QStringLiteral(", la version remplacée gardée sous ") + ws.state.RunStamp;
    }
    return FileError::None;
}

bool restoreWorkstation(Workspace& ws, const QString& host, const QString& passStamp) {
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
            error = restoreRule(ws, ruleTarget(host, source, destination), passStamp, note);
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

void RestoreRun(Workspace& ws, const QString& passStamp) {
    PassGuard running(ws);
    ws.TimerRécursif.setEnabled(false);
    ws.state.passHeading = QStringLiteral("Restauration de la passe ") + passStamp +
                           QStringLiteral(" : chaque poste reprend la version qu'elle avait "
                                          "remplacée");
    runPass(ws, [&passStamp](Workspace& w, const QString& host) {
        return restoreWorkstation(w, host, passStamp);
    });
    ws.state.passHeading.clear();
}

} // namespace vantrel
