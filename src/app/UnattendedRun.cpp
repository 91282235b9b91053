#include "UnattendedRun.h"

#include "CommandLine.h"
#include "core/DeploymentFile.h"
#include "core/Lifecycle.h"
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

} // namespace

int runUnattended(Workspace& ws, const UnattendedOptions& options) {
    QTextStream out(stdout);
    QObject::connect(&ws, &Workspace::passFinished, &ws, [&out, &ws] {
        for (const QString& row : ws.lists.Listécritures.entries()) {
            out << row << '\n';
        }
        out.flush();
    });

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
    while (ws.TimerRécursif.isEnabled() && !ws.passStopped()) {
        ws.clock.pause(ws.TimerRécursif.msUntilDue() / 1000.0);
        deliverRetryTick(ws);
    }
    if (ws.passStopped()) {
        return kCouldNotRun;
    }
    if (options.save) {
        EnregistreDéploiement(ws);
    }
    return ws.lists.L_GénéErreurs.isEmpty() ? kNoErrorLeft : kErrorsLeft;
}

} // namespace vantrel
