#include "DeploymentRun.h"

#include "Journal.h"
#include "core/Text.h"
#include "core/TextFile.h"
#include "core/Workspace.h"
#include "platform/CommandLines.h"
#include "reach/PingSweep.h"

#include <QDateTime>
#include <QRegularExpression>

namespace vantrel {
namespace {

// A date file older than this is an earlier pass's.
constexpr qint64 kStampAgeSeconds = 60;
// Seconds after its own a pass tries when its stamp is taken.
constexpr int kStampAttempts = 30;
constexpr int kLockWaitSeconds = 60;

// Marks the pass as running for as long as it lasts, whatever way it ends.
class PassGuard {
public:
    explicit PassGuard(Workspace& ws) : ws_(ws) { ws_.setPassRunning(true); }
    ~PassGuard() { ws_.setPassRunning(false); }
    PassGuard(const PassGuard&) = delete;
    PassGuard& operator=(const PassGuard&) = delete;

private:
    Workspace& ws_;
};

// yyyymmdd_hhmmss, or yyyymmdd_hmmss before ten o'clock.
bool isRunStamp(const QString& stamp) {
    static const QRegularExpression form(QStringLiteral("^\\d{8}_\\d{5,6}$"));
    return form.match(stamp).hasMatch();
}

QString stampOf(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyyMMdd_Hmmss"));
}

QDateTime timeOf(const QString& stamp) {
    const QString time = stamp.mid(9);
    return QDateTime::fromString(stamp.left(9) + QString(6 - time.size(), QLatin1Char('0')) + time,
                                 QStringLiteral("yyyyMMdd_HHmmss"));
}

// The stamp the command interpreter writes. When its file cannot be read, holds
// something else (Wine's %Time% has no seconds) or is an earlier pass's (the file
// could not be rewritten), the clock gives the same form.
QString readRunStamp(Workspace& ws) {
    const QString dateFile = ws.state.ProgramDir + QStringLiteral("DateDeploiement.txt");
    ws.system.startCommand(CommandLines::dateStampCommand(dateFile),
                           WindowStyle::MinimizedWithFocus);
    ws.clock.pause(2);
    const QDateTime now = ws.clock.now();
    QStringList lines;
    if (TextFile::readLines(ws.system, dateFile, lines) != FileError::None || lines.isEmpty()) {
        ws.inform(QStringLiteral("impossible d'ouvrir\r\n"), QString(), Icon::Critical);
        return stampOf(now);
    }
    const QString stamp = QString(lines.first()).remove(QLatin1Char(' '));
    const bool current = isRunStamp(stamp) && qAbs(timeOf(stamp).secsTo(now)) <= kStampAgeSeconds;
    return current ? stamp : stampOf(now);
}

// Every pass gets a folder of its own, never an earlier pass's with its transcripts:
// a stamp already taken (two passes in one second) moves on to the next free second.
bool openRunFolder(Workspace& ws) {
    WorkingState& s = ws.state;
    QString stamp = readRunStamp(ws);
    const QDateTime start = timeOf(stamp);
    for (int later = 1;; ++later) {
        const FileError error = ws.system.createFolder(s.ProgramDir + stamp);
        if (error == FileError::None) {
            s.RunStamp = stamp;
            s.RunFolder = s.ProgramDir + stamp;
            return true;
        }
        if (error != FileError::AlreadyExists || later > kStampAttempts) {
            ws.inform(QStringLiteral("Impossible de créer le dossier du déploiement\r\n") +
                          s.ProgramDir + stamp + QStringLiteral("\r\n") + describe(error),
                      QStringLiteral("Déploiement impossible"), Icon::Critical);
            return false;
        }
        stamp = stampOf(start.addSecs(later));
    }
}

// Two programs on one program folder (two scheduled runs, a run and the window)
// take turns: the second waits for a while, then gives up.
std::unique_ptr<FolderLock> lockProgramFolder(Workspace& ws) {
    for (int waited = 0;; ++waited) {
        if (std::unique_ptr<FolderLock> lock = ws.system.tryLockFolder(ws.state.ProgramDir)) {
            return lock;
        }
        if (ws.stopRequested()) {
            return nullptr;
        }
        if (waited == kLockWaitSeconds) {
            ws.inform(
                QStringLiteral("Un autre déploiement utilise le dossier du programme\r\n") +
                    ws.state.ProgramDir +
                    QStringLiteral("\r\ndepuis plus d'une minute : ce déploiement n'a pas lieu"),
                QStringLiteral("Déploiement impossible"), Icon::Critical);
            return nullptr;
        }
        ws.clock.pause(1);
    }
}

void chooseWorkstations(Workspace& ws) {
    Lists& l = ws.lists;
    if (leadingNumber(ws.controls.Tentative()) == 0) {
        CopyList(l.ListePostes, l.L_PostesenCours);
        return;
    }
    QStringList hosts;
    for (const QString& line : l.L_PostesFail.entries()) {
        const qsizetype p = line.indexOf(QLatin1Char(';')) + 1;
        hosts.append(p > 1 ? line.left(p - 1) : line);
    }
    l.L_PostesenCours.assign(hosts);
}

bool rulesUsable(const Workspace& ws) {
    const Lists& l = ws.lists;
    return !l.ListeSource.isEmpty() && l.ListeSource.count() == l.ListeDest.count() &&
           !ws.state.RuleFilePath.isEmpty();
}

QString newFileNote(const QString& host, const QString& destination) {
    return QStringLiteral("Nouveau fichier ") + host + QLatin1Char(' ') + destination;
}

// A workstation that stopped answering: its other rules would each wait as long.
bool isLost(FileError error) {
    return error == FileError::TimedOut || error == FileError::HostUnreachable;
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
        if (error != FileError::None && !isLost(error)) {
            ws.system.renameFile(target + s.RunStamp, target);
        }
        return error;
    }
    s.ReturnMessage = newFileNote(host, destination);
    if (isLost(keptAside) ||
        (keptAside != FileError::FileNotFound && ws.system.fileLength(target) >= 0)) {
        return keptAside;
    }
    return ws.system.copyFile(source, target);
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
        const QString fileName = source.mid(source.lastIndexOf(QLatin1Char('\\')) + 1);
        const QString target =
            QStringLiteral("\\\\") + host + destination + QLatin1Char('\\') + fileName;
        FileError error = lost;
        if (lost == FileError::None) {
            error = replaceKeepingBackup(ws, host, source, destination, target);
        } else {
            s.ReturnMessage = newFileNote(host, destination); // as a failed rename would
        }
        if (isLost(error)) {
            lost = error;
        }
        if (error != FileError::None) {
            ++CopyFailureCount;
            s.ReturnMessage += QLatin1Char(';') + source + QLatin1Char(';') + destination +
                               QLatin1Char(';') + describe(error);
        }
        s.ReturnMessage += QLatin1Char(';');
    }
    l.L_PostesFail.append(host + QLatin1Char(';') + QString::number(CopyFailureCount));
    if (CopyFailureCount > 0) {
        const QString line = host + QLatin1Char(';') + s.ReturnMessage;
        l.L_GénéErreurs.append(line);
        l.ListeGénérale.append(line);
    } else {
        const QString line = host + QStringLiteral(";OK ") + s.ReturnMessage;
        l.L_PostesOk.append(line);
        l.ListeGénérale.append(line);
    }
    return true;
}

// The board rows after the copy phase, one per result line.
void rebuildBoardRows(Workspace& ws) {
    const Lists& l = ws.lists;
    const QString ruleCount = QString::number(l.ListeSource.count());
    QStringList rows;
    QString name;
    QString count;
    for (const QString& line : l.L_PostesFail.entries()) {
        const qsizetype p = line.indexOf(QLatin1Char(';')) + 1;
        if (p > 2) {
            // A shorter host name keeps the previous line's name and count.
            name = fitToWidth(line.left(p - 1), ws.state.NameColumnWidth);
            count = line.mid(p);
        }
        if (line.right(8) == QLatin1String("PingFail")) {
            rows.append(name + QStringLiteral("; 100;  Void  "));
        } else {
            rows.append(
                name + QStringLiteral(";   0;") +
                (count + QLatin1Char('/') + ruleCount + QString(8, QLatin1Char(' '))).left(8));
        }
    }
    ws.lists.Listécritures.assign(rows);
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
    WorkingState& s = ws.state;
    Lists& l = ws.lists;

    ws.TimerRécursif.setEnabled(false);
    if (ws.controls.Récursif() > 0) {
        ws.TimerRécursif.setEnabled(true);
    }
    ws.setPassStopped(true);
    const std::unique_ptr<FolderLock> lock = lockProgramFolder(ws);
    if (!lock || !openRunFolder(ws)) {
        return;
    }
    s.RunStartText = QStringLiteral("Début déploiement le: ") + timestampText(ws.clock.now());
    ClearList(l.L_GénéErreurs);
    chooseWorkstations(ws);
    ClearList(l.Listécritures);
    ClearList(l.L_PostesFail);
    // A sweep cut short still goes on to the copies, with the workstations it has seen.
    ws.setPassStopped(!PingSweep(ws) || ws.stopRequested());
    if (ws.stopRequested() || !rulesUsable(ws)) {
        return;
    }
    ws.ui.setBusy(true);
    const QStringList hosts = l.L_PostesenCours.entries();
    for (const QString& host : hosts) {
        if (IsReachable(ws, host) && !copyToWorkstation(ws, host)) {
            ws.setPassStopped(true);
            ws.ui.setBusy(false);
            return; // asked to end: no journal of a pass that did not finish
        }
    }
    rebuildBoardRows(ws);
    ws.ui.setBusy(false);
    ws.DrawStatusBoard();
    WriteDeploymentJournal(ws);
    ws.TimerRécursif.setEnabled(true);
}

} // namespace vantrel
