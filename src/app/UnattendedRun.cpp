#include "UnattendedRun.h"

#include "CommandLine.h"
#include "documents/DeploymentFile.h"
#include "documents/Lifecycle.h"
#include "core/Paths.h"
#include "core/Workspace.h"
#include "deploy/LaunchChecks.h"

#include <QTextStream>

#include <cstdio>

namespace vantrel {
namespace {

// What ChargeDéploiement does with a chosen path.
void makeCurrent(Workspace& ws, const QString& path) {
    WorkingState& s = ws.state;
    SplitFilePath(ws, path);
    s.LastFolder = s.PathFolder;
    if (s.PathExt.isEmpty()) {
        s.PathExt = s.DeploymentExt;
    }
    s.DeploymentFileName = s.PathBaseName + s.PathExt;
    s.DeploymentName = s.PathBaseName;
    s.CurrentFilePath = s.LastFolder + s.DeploymentFileName;
}

// False when the program is asked to end while it waits.
bool waitForRetryTick(Workspace& ws) {
    for (qint64 left = ws.TimerRécursif.msUntilDue(); left > 0;
         left = ws.TimerRécursif.msUntilDue()) {
        if (ws.stopRequested()) {
            return false;
        }
        ws.clock.pause(std::min<qint64>(left, 1000) / 1000.0);
    }
    return !ws.stopRequested();
}

} // namespace

int runUnattended(Workspace& ws, const UnattendedOptions& options) {
    QTextStream out(stdout);
    QObject::connect(&ws, &Workspace::passFinished, &ws, [&out, &ws] {
        for (const QString& row : ws.lists.Listécritures.entries()) {
            out << row << '\n';
        }
        out.flush();
    });

    // The program's folder holds the pass folders: without it nothing can run.
    if (ws.system.longPath(ws.state.ProgramDir).isEmpty()) {
        return kCouldNotRun;
    }
    makeCurrent(ws, options.deploymentFile);
    if (LoadDeployment(ws) != LoadResult::Loaded) {
        return kCouldNotRun;
    }
    ws.controls.setNbessais(options.attempts);
    ws.controls.setDélai(options.delay);
    ws.controls.setRécursif(options.recursive ? 1 : 0);
    if (Télédéploiement_Click(ws) != LaunchOutcome::Started) {
        return kCouldNotRun;
    }
    while (ws.TimerRécursif.isEnabled() && !ws.passStopped() && waitForRetryTick(ws)) {
        deliverRetryTick(ws);
    }
    if (const int signal = ws.system.terminationSignal(); signal != 0) {
        return 128 + signal; // as a shell reports a program ended by that signal
    }
    if (ws.passStopped()) {
        return kCouldNotRun;
    }
    if (options.save && !EnregistreDéploiement(ws)) {
        return kCouldNotRun;
    }
    return ws.lists.L_GénéErreurs.isEmpty() ? kNoErrorLeft : kErrorsLeft;
}

} // namespace vantrel
