#include "Pass.h"

#include "DeploymentRun.h"
#include "Journal.h"
#include "Stamps.h"
#include "WorkerPool.h"
#include "core/Text.h"
#include "core/TextFile.h"
#include "core/Workspace.h"
#include "platform/CommandLines.h"
#include "reach/PingSweep.h"

#include <algorithm>
#include <map>
#include <set>

namespace vantrel {
namespace {

// A date file older than this is an earlier pass's.
constexpr qint64 kStampAgeSeconds = 60;
// Seconds after its own a pass tries when its stamp is taken.
constexpr int kStampAttempts = 30;
constexpr int kLockWaitSeconds = 60;
const QString kLockName = QStringLiteral("Vantrel.lock");

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
    const bool current =
        isRunStamp(stamp) && qAbs(stampTime(stamp).secsTo(now)) <= kStampAgeSeconds;
    return current ? stamp : stampOf(now);
}

// Every pass gets a folder of its own, never an earlier pass's with its transcripts:
// a stamp already taken (two passes in one second) moves on to the next free second.
bool openRunFolder(Workspace& ws) {
    WorkingState& s = ws.state;
    QString stamp = readRunStamp(ws);
    const QDateTime start = stampTime(stamp);
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

// The lock file's name taken by a folder: no program could ever hold the lock.
bool lockNameIsAFolder(Workspace& ws) {
    std::vector<FolderEntry> entries;
    if (ws.system.listFolder(ws.state.ProgramDir, entries) != FileError::None) {
        return false; // the pass folder's creation tells what is wrong
    }
    const auto isLock = [](const FolderEntry& e) {
        return e.folder && e.name.compare(kLockName, Qt::CaseInsensitive) == 0;
    };
    if (std::none_of(entries.begin(), entries.end(), isLock)) {
        return false;
    }
    ws.inform(QStringLiteral("Le dossier\r\n") + ws.state.ProgramDir + kLockName +
                  QStringLiteral("\r\nporte le nom du verrou des déploiements : le supprimer ou "
                                 "le renommer, puis relancer"),
              QStringLiteral("Déploiement impossible"), Icon::Critical);
    return true;
}

// Two programs on one program folder (two scheduled runs, a run and the window)
// take turns: the second waits for a while, then gives up.
std::unique_ptr<FolderLock> lockProgramFolder(Workspace& ws) {
    if (lockNameIsAFolder(ws)) {
        return nullptr;
    }
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

// Which workstations the copy phase skips: one that a result line begins with (a
// failed ping, or a workstation served earlier in the pass, duplicates included).
// The lines are kept sorted, so the lines that begin with a name come first from
// where the name would stand: each question costs a logarithm, not the whole list.
class SkippedNames {
public:
    explicit SkippedNames(const QStringList& lines) : lines_(lines.begin(), lines.end()) {}
    bool skips(const QString& host) const {
        const auto found = lines_.lower_bound(host);
        return found != lines_.end() && found->startsWith(host);
    }
    void add(const QString& line) { lines_.insert(line); }

private:
    std::set<QString> lines_;
};

// The line on long work: "Ping de 10000 postes, 00:03" during the sweep, then
// "Postes servis : 1234/10000, 5 en erreur, 00:42", rewritten at most every fifth of
// a second; the time is the pass's.
class ProgressLine {
public:
    explicit ProgressLine(Workspace& ws) : ws_(ws), start_(ws.clock.elapsedMs()) {}
    void sweeping(int total) {
        ws_.showProgress(QStringLiteral("Ping de %1 postes, ").arg(total) + elapsed());
    }
    void serving(int total, int errors) {
        total_ = total;
        errors_ = errors;
        show(true);
    }
    void workstationDone(bool failed) {
        ++done_;
        errors_ += failed ? 1 : 0;
    }
    void show(bool now = false) {
        const qint64 at = ws_.clock.elapsedMs();
        if (!now && at - shown_ < 200) {
            return;
        }
        shown_ = at;
        ws_.showProgress(QStringLiteral("Postes servis : %1/%2, %3 en erreur, ")
                             .arg(done_)
                             .arg(total_)
                             .arg(errors_) +
                         elapsed());
    }
    ~ProgressLine() { ws_.showProgress(QString()); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

private:
    QString elapsed() const {
        const qint64 seconds = (ws_.clock.elapsedMs() - start_) / 1000;
        return QStringLiteral("%1:%2")
            .arg(seconds / 60, 2, 10, QLatin1Char('0'))
            .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    }

    Workspace& ws_;
    qint64 start_;
    qint64 shown_ = 0;
    int total_ = 0;
    int done_ = 0;
    int errors_ = 0;
};

// Serves the workstations that answered, up to state.simultaneous at once, and
// records their results in pass order, whatever order they end in. False when the
// program was asked to end first.
bool serveWorkstations(Workspace& ws, const WorkstationStep& step, PassOutcome& outcome,
                       ProgressLine& progress) {
    Lists& l = ws.lists;
    const QStringList hosts = l.L_PostesenCours.entries();
    SkippedNames skipped(l.L_PostesFail.entries());
    progress.serving(static_cast<int>(hosts.size()), static_cast<int>(pingFailures(ws).size()));
    WorkerPool pool(ws.system, ws.state.simultaneous, step, [&ws] { return ws.stopRequested(); });
    std::vector<QString> handed;              // by the order handed out
    std::map<int, WorkstationResult> waiting; // finished, not yet recorded
    int recorded = 0;
    bool stopped = false;
    for (qsizetype next = 0;;) {
        while (!stopped && static_cast<int>(handed.size()) - recorded < pool.workers() &&
               next < hosts.size()) {
            const QString& host = hosts.at(next);
            // A name with ";" may begin a result line past the name before it: wait
            // for the failure counts of the workstations before it.
            if (host.contains(QLatin1Char(';')) && recorded < static_cast<int>(handed.size())) {
                break;
            }
            ++next;
            if (skipped.skips(host)) {
                progress.workstationDone(false);
                continue;
            }
            skipped.add(host + QLatin1Char(';'));
            handed.push_back(host);
            pool.hand(static_cast<int>(handed.size()) - 1,
                      WorkstationJob{host, ws.state.RunStamp, ws.clock.now(), {}});
        }
        if (recorded == static_cast<int>(handed.size()) && (stopped || next == hosts.size())) {
            break;
        }
        for (WorkerPool::Finished& finished : pool.takeFinished(100)) {
            waiting.emplace(finished.index, std::move(finished.result));
        }
        for (auto first = waiting.begin(); first != waiting.end() && first->first == recorded;
             first = waiting.erase(first), ++recorded) {
            const WorkstationResult& result = first->second;
            stopped = stopped || !result.finished;
            if (stopped) {
                continue; // nothing after the first workstation left unfinished
            }
            const QString& host = handed.at(static_cast<size_t>(recorded));
            recordWorkstation(ws, host, result.failures, result.message);
            skipped.add(l.L_PostesFail.entries().constLast());
            outcome.lines += result.lines;
            outcome.restored += result.restored;
            progress.workstationDone(result.failures > 0);
        }
        stopped = stopped || ws.stopRequested();
        progress.show();
    }
    progress.show(true);
    return !stopped;
}
} // namespace

PassGuard::PassGuard(Workspace& ws) : ws_(ws) {
    ws_.setPassRunning(true);
}

PassGuard::~PassGuard() {
    ws_.setPassRunning(false);
}

PassRules::PassRules(const Workspace& ws)
    : sources(ws.lists.ListeSource.entries()), destinations(ws.lists.ListeDest.entries()) {}

QStringList pingFailures(const Workspace& ws) {
    QStringList lines;
    for (const QString& line : ws.lists.L_PostesFail.entries()) {
        if (line.endsWith(QLatin1String(";PingFail"))) {
            lines.append(line);
        }
    }
    return lines;
}

QString ruleTarget(const QString& host, const QString& source, const QString& destination) {
    const QString fileName = source.mid(source.lastIndexOf(QLatin1Char('\\')) + 1);
    return QStringLiteral("\\\\") + host + destination + QLatin1Char('\\') + fileName;
}

QString folderOf(const QString& target) {
    return target.left(target.lastIndexOf(QLatin1Char('\\')));
}

QString nameOf(const QString& target) {
    return target.mid(target.lastIndexOf(QLatin1Char('\\')) + 1);
}

bool isLostWorkstation(FileError error) {
    return error == FileError::TimedOut || error == FileError::HostUnreachable;
}

void recordWorkstation(Workspace& ws, const QString& host, int failures, const QString& message) {
    Lists& l = ws.lists;
    l.L_PostesFail.append(host + QLatin1Char(';') + QString::number(failures));
    if (failures > 0) {
        const QString line = host + QLatin1Char(';') + message;
        l.L_GénéErreurs.append(line);
        l.ListeGénérale.append(line);
    } else {
        const QString line = host + QStringLiteral(";OK ") + message;
        l.L_PostesOk.append(line);
        l.ListeGénérale.append(line);
    }
}

bool visitWorkstations(Workspace& ws, const WorkstationStep& step, PassOutcome& outcome) {
    WorkingState& s = ws.state;
    Lists& l = ws.lists;
    ws.setPassStopped(true);
    const std::unique_ptr<FolderLock> lock = lockProgramFolder(ws);
    if (!lock || !openRunFolder(ws)) {
        return false;
    }
    s.RunStartText = QStringLiteral("Début déploiement le: ") + timestampText(ws.clock.now());
    ClearList(l.L_GénéErreurs);
    chooseWorkstations(ws);
    ClearList(l.Listécritures);
    ClearList(l.L_PostesFail);
    ProgressLine progress(ws);
    progress.sweeping(static_cast<int>(l.L_PostesenCours.count()));
    // A sweep cut short still goes on to the copies, with the workstations it has seen.
    ws.setPassStopped(!PingSweep(ws) || ws.stopRequested());
    if (ws.stopRequested() || !rulesUsable(ws)) {
        return false;
    }
    ws.ui.setBusy(true);
    if (!serveWorkstations(ws, step, outcome, progress)) {
        ws.setPassStopped(true);
        ws.ui.setBusy(false);
        return false; // asked to end: no journal of a pass that did not finish
    }
    rebuildBoardRows(ws);
    ws.ui.setBusy(false);
    return true;
}

bool runPass(Workspace& ws, const WorkstationStep& step, PassOutcome& outcome) {
    if (!visitWorkstations(ws, step, outcome)) {
        return false;
    }
    ws.DrawStatusBoard();
    WriteDeploymentJournal(ws);
    return true;
}

} // namespace vantrel
