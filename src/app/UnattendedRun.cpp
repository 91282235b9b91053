#include "UnattendedRun.h"

#include "CommandLine.h"
#include "DirectoryCommands.h"
#include "core/Workspace.h"
#include "deploy/DeploymentRun.h"
#include "deploy/HistoryListing.h"
#include "deploy/LaunchChecks.h"
#include "deploy/PreviewRun.h"
#include "deploy/RestoreRun.h"
#include "documents/DeploymentFile.h"
#include "documents/Lifecycle.h"

#include <QTextStream>

#include <cstdio>

namespace vantrel {
namespace {

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

int endStatus(Workspace& ws) {
    if (const int signal = ws.system.terminationSignal(); signal != 0) {
        return 128 + signal; // as a shell reports a program ended by that signal
    }
    if (ws.passStopped()) {
        return kCouldNotRun;
    }
    return errorCount(ws.cycleRecords) == 0 ? kNoErrorLeft : kErrorsLeft;
}

// A restore and a listing need workstations and rules, as a deployment does.
bool hasWorkstationsAndRules(Workspace& ws) {
    const Lists& l = ws.lists;
    if (l.ListePostes.isEmpty() || l.ListeSource.isEmpty() ||
        l.ListeSource.count() != l.ListeDest.count()) {
        ws.inform(QStringLiteral("Il faut une liste de postes et des règles complètes"),
                  QStringLiteral("Déploiement impossible"), Icon::Critical);
        return false;
    }
    return true;
}

int restore(Workspace& ws, const UnattendedOptions& options) {
    if (!hasWorkstationsAndRules(ws)) {
        return kCouldNotRun;
    }
    const int restored = RestoreRun(ws, options.passSettings(), options.passStamp);
    const int status = endStatus(ws);
    // Nothing undone is no success for the scheduler that asked for it.
    return restored == 0 && status == kNoErrorLeft ? kErrorsLeft : status;
}

void printLines(QTextStream& out, const QStringList& lines) {
    for (const QString& line : lines) {
        out << line << '\n';
    }
    out.flush();
}

int listHistory(Workspace& ws, const UnattendedOptions& options, QTextStream& out) {
    if (!hasWorkstationsAndRules(ws)) {
        return kCouldNotRun;
    }
    QStringList lines;
    ListHistory(ws, options.passSettings(), lines);
    printLines(out, lines);
    return endStatus(ws);
}

int preview(Workspace& ws, const UnattendedOptions& options, QTextStream& out) {
    if (!hasWorkstationsAndRules(ws)) {
        return kCouldNotRun;
    }
    QStringList lines;
    if (!PreviewRun(ws, options.passSettings(), lines)) {
        ws.setPassStopped(true);
    }
    printLines(out, lines);
    return endStatus(ws);
}

// The button's checks without its questions: nobody is there to answer them. A
// deployment whose rules cannot copy only pings, and says so.
int deploy(Workspace& ws, const UnattendedOptions& options) {
    const PassSettings settings = options.passSettings();
    ws.controls.setNbessais(QString::number(options.attempts));
    ws.controls.setDélai(QString::number(options.delay));
    ws.controls.setRécursif(options.recursive ? 1 : 0);
    if (!checkWorkstationList(ws)) {
        return kCouldNotRun;
    }
    if (const QString warning = rulesWarning(ws); !warning.isEmpty()) {
        ws.inform(warning, QStringLiteral("Seul le 'Ping' sera effectué"), Icon::Information);
    }
    startDeployment(ws, settings);
    // Without --recursif the timer's next tick would only find no retry to make.
    while (options.recursive && ws.TimerRécursif.isEnabled() && !ws.passStopped() &&
           waitForRetryTick(ws)) {
        deliverRetryTick(ws, settings);
    }
    const int status = endStatus(ws);
    if (status != kCouldNotRun && status < 128 && options.save && !EnregistreDéploiement(ws)) {
        return kCouldNotRun;
    }
    return status;
}

} // namespace

int runUnattended(Workspace& ws, const UnattendedOptions& options, Directory* directory) {
    QTextStream out(stdout);
    // A preview prints what each rule would do instead of status rows.
    if (!options.preview) {
        QObject::connect(&ws, &Workspace::passFinished, &ws,
                         [&out, &ws] { printLines(out, ws.lists.Listécritures.entries()); });
    }

    // The program's folder holds the pass folders: without it nothing can run.
    if (!isFolder(ws, ws.state.ProgramDir)) {
        return kCouldNotRun;
    }
    SelectDeployment(ws, options.deploymentFile);
    if (LoadDeployment(ws) != LoadResult::Loaded) {
        return kCouldNotRun;
    }
    if (!options.directoryUrl.isEmpty() &&
        (directory == nullptr ||
         !takeDirectoryWorkstations(ws, *directory, options.directoryUrl))) {
        return kCouldNotRun;
    }
    switch (options.command) {
    case UnattendedOptions::Command::Restore:
        return restore(ws, options);
    case UnattendedOptions::Command::History:
        return listHistory(ws, options, out);
    case UnattendedOptions::Command::Deploy:
    case UnattendedOptions::Command::ListDirectory:
        break;
    }
    return options.preview ? preview(ws, options, out) : deploy(ws, options);
}

} // namespace vantrel
