#include "Pass.h"

#include "Journal.h"
#include "ResultLines.h"
#include "StampOrder.h"
#include "Stamps.h"
#include "TrafficMeter.h"
#include "WorkerPool.h"
#include "core/Text.h"
#include "core/TextFile.h"
#include "core/WindowsNames.h"
#include "core/Workspace.h"
#include "platform/CommandLines.h"
#include "reach/PingSweep.h"

#include <QSet>

#include <algorithm>

namespace vantrel {
namespace {

// Seconds after its own a pass tries when its stamp is taken.
constexpr int kStampAttempts = 30;
constexpr int kLockWaitSeconds = 60;
const QString kLockName = QStringLiteral("Vantrel.lock");

// The pass's stamp is the clock's, at once; DateDeploiement.txt keeps it, as the
// date command wrote it (the hour with a blank before ten o'clock), for whoever reads it.
QString readRunStamp(Workspace& ws) {
    const QDateTime now = ws.clock.now();
    const QString dateFile = ws.state.ProgramDir + QStringLiteral("DateDeploiement.txt");
    if (ws.system.writeFile(dateFile, CommandLines::dateStampLine(now)) != FileError::None) {
        ws.inform(QStringLiteral("impossible d'ouvrir\r\n"), QString(), Icon::Critical);
    }
    return stampOf(now);
}

// Every pass gets a folder of its own, never an earlier pass's with its transcripts:
// a stamp already taken (two passes in one second) moves on to the next free second.
bool openRunFolder(Workspace& ws) {
    WorkingState& s = ws.state;
    QString stamp = readRunStamp(ws);
    const QDateTime start = stampWallTime(stamp);
    for (int later = 1;; ++later) {
        const FileError error = ws.system.createFolder(s.ProgramDir + stamp);
        if (error == FileError::None) {
            recordPassStart(ws, s.ProgramDir + stamp);
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
    PassProgress waiting;
    waiting.phase = PassProgress::Phase::WaitingForLock;
    for (int waited = 0;; ++waited) {
        if (std::unique_ptr<FolderLock> lock = ws.system.tryLockFolder(ws.state.ProgramDir)) {
            return lock;
        }
        // Said on the bar, with Arrêter: a pass that waits must not look frozen.
        waiting.elapsedMs = waited * 1000;
        ws.showProgress(waiting);
        if (ws.stopRequested()) {
            ws.showProgress(PassProgress());
            return nullptr;
        }
        if (waited == kLockWaitSeconds) {
            ws.inform(
                QStringLiteral("Un autre déploiement utilise le dossier du programme\r\n") +
                    ws.state.ProgramDir +
                    QStringLiteral("\r\ndepuis plus d'une minute : ce déploiement n'a pas lieu"),
                QStringLiteral("Déploiement impossible"), Icon::Critical);
            ws.showProgress(PassProgress());
            return nullptr;
        }
        ws.clock.pause(1);
    }
}

bool isRetry(const Workspace& ws) {
    return leadingNumber(ws.controls.Tentative()) > 0;
}

// The first pass of a cycle takes the whole list; a retry, the workstations whose
// latest outcome in the cycle is an error (no answer, not reached, a rule that
// failed): the others already have their files, and another pass would only stack
// backups on them.
QStringList passNames(const PassRecords& cycle, bool retry) {
    QStringList names;
    for (const WorkstationRecord& r : cycle) {
        if (!retry || r.failed()) {
            names.append(r.name);
        }
    }
    return names;
}

bool rulesUsable(const Workspace& ws) {
    const Lists& l = ws.lists;
    return !l.ListeSource.isEmpty() && l.ListeSource.count() == l.ListeDest.count() &&
           !ws.state.RuleFilePath.isEmpty();
}

// What is left pending when a pass stops was not reached.
void markNotReached(PassRecords& records) {
    for (WorkstationRecord& r : records) {
        if (r.fate == WorkstationRecord::Fate::Pending) {
            r.fate = WorkstationRecord::Fate::NotReached;
        }
    }
}

// The line on long work: "Ping de 10000 postes, 00:03" during the sweep, then
// "Postes servis : 1234/10000, 5 en erreur, 00:42", rewritten at most every fifth of
// a second; the time is the pass's. The board's rows go with it: all of them when
// the copies begin, then each workstation's as its record lands.
class ProgressLine {
public:
    explicit ProgressLine(Workspace& ws) : ws_(ws), start_(ws.clock.elapsedMs()) {}
    void sweeping(int total) {
        showBoard(ws_.passRecords);
        progress_.phase = PassProgress::Phase::Sweeping;
        progress_.total = total;
        show(true);
    }
    // The workstations to serve are those still pending; the others did not answer
    // (a workstation under another name is counted once).
    void serving(const PassRecords& records) {
        using Fate = WorkstationRecord::Fate;
        showBoard(records);
        liveRows_ = liveRowsOf(ws_.cycleRecords, records);
        progress_ = PassProgress();
        progress_.phase = PassProgress::Phase::Serving;
        for (const WorkstationRecord& r : records) {
            progress_.total += r.fate == Fate::Duplicate || r.fate == Fate::SameWorkstation ? 0 : 1;
            progress_.silent += r.fate == Fate::NoAnswer ? 1 : 0;
        }
        show(true);
    }
    void workstationDone(size_t index, const WorkstationRecord& record) {
        ++(record.failed() ? progress_.errors : progress_.served);
        writeLiveRow(ws_, liveRows_.at(index), record);
    }
    // While the copies go: their rate in the counts.
    class Metered {
    public:
        Metered(ProgressLine& line, const TrafficMeter& traffic) : line_(line) {
            line_.traffic_ = &traffic;
        }
        ~Metered() { line_.traffic_ = nullptr; }
        Metered(const Metered&) = delete;
        Metered& operator=(const Metered&) = delete;

    private:
        ProgressLine& line_;
    };
    // The counts at most every 200 ms.
    void show(bool now = false) {
        const qint64 at = ws_.clock.elapsedMs();
        if (!now && at - shown_ < kCountsRedrawMs) {
            return;
        }
        shown_ = at;
        progress_.elapsedMs = at - start_;
        progress_.bytesPerSecond = traffic_ != nullptr ? traffic_->bytesPerSecond() : 0;
        ws_.showProgress(progress_);
    }
    ~ProgressLine() { ws_.showProgress(PassProgress()); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

private:
    // Every row, the pass's records laid over the cycle's.
    void showBoard(const PassRecords& records) {
        writeLiveRows(ws_, cycleWithPass(ws_.cycleRecords, records));
        ws_.DrawStatusBoard();
    }

    Workspace& ws_;
    static constexpr qint64 kCountsRedrawMs = 200;
    qint64 start_;
    qint64 shown_ = 0;
    std::vector<int> liveRows_; // each pass record's row on the board
    PassProgress progress_;
    const TrafficMeter* traffic_ = nullptr;
};

// Serves the workstations that answered, up to `workers` at once, each one
// once. A stop lets the workstations under way end between two rules and hands out
// no other. False when the program was asked to end first.
bool serveWorkstations(Workspace& ws, const PassSettings& settings, const WorkstationStep& step,
                       PassOutcome& outcome, ProgressLine& progress) {
    PassRecords& records = ws.passRecords;
    std::vector<size_t> toServe;
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i].fate == WorkstationRecord::Fate::Pending) {
            toServe.push_back(i);
        }
    }
    progress.serving(records);
    TrafficMeter traffic(settings.maxBytesPerSecond);
    const ProgressLine::Metered metered(progress, traffic);
    WorkerPool pool(
        ws.system, settings.simultaneous, step, [&ws] { return ws.stopRequested(); }, traffic);
    size_t handed = 0;
    size_t recorded = 0;
    bool stopped = false;
    std::vector<QStringList> lines(toServe.size()); // put in pass order at the end
    while (recorded < handed || (!stopped && handed < toServe.size())) {
        while (!stopped && handed < toServe.size() &&
               static_cast<int>(handed - recorded) < pool.workers()) {
            pool.hand(static_cast<int>(handed),
                      WorkstationJob{
                          records[toServe[handed]].name, ws.state.RunStamp, ws.clock.now(), {}});
            ++handed;
        }
        for (WorkerPool::Finished& finished : pool.takeFinished(100)) {
            WorkstationRecord& record = records[toServe[static_cast<size_t>(finished.index)]];
            const WorkstationResult& result = finished.result;
            // Stopped between two rules: what it did is told, the rest is not done.
            record.fate = result.finished ? WorkstationRecord::Fate::Served
                                          : WorkstationRecord::Fate::NotReached;
            record.failures = result.failures;
            record.message = result.message;
            lines[static_cast<size_t>(finished.index)] = result.lines;
            outcome.restored += result.restored;
            progress.workstationDone(toServe[static_cast<size_t>(finished.index)], record);
            ++recorded;
        }
        stopped = stopped || ws.stopRequested();
        progress.show();
    }
    progress.show(true);
    for (const QStringList& workstationLines : lines) {
        outcome.lines += workstationLines;
    }
    markNotReached(records);
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
    : sources(ws.lists.ListeSource.entries()), destinations(ws.lists.ListeDest.entries()) {
    QSet<QString> made;
    for (int j = 0; j < count(); ++j) {
        const QString target = ruleTarget(QString(), sources.at(j), destinations.at(j));
        const QString folded = target.toCaseFolded();
        const FileError refused = targetRefusal(target);
        refusals.append(refused != FileError::None ? refused
                        : made.contains(folded)    ? FileError::SameTarget
                                                   : FileError::None);
        made.insert(folded);
    }
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

PassEnd visitWorkstations(Workspace& ws, const PassSettings& settings, const PassKind& kind,
                          PassOutcome& outcome) {
    WorkingState& s = ws.state;
    Lists& l = ws.lists;
    ws.setPassStopped(true);
    const std::unique_ptr<FolderLock> lock = lockProgramFolder(ws);
    if (!lock || !openRunFolder(ws)) {
        return PassEnd::NotRun;
    }
    s.RunStartText = QStringLiteral("Début déploiement le: ") + timestampText(ws.clock.now());
    const bool retry = isRetry(ws);
    if (!retry) { // a new cycle
        ws.cycleRecords = recordsFor(l.ListePostes.entries());
        l.L_PostesOk.clear(); // a retry adds the workstations it has just served
    }
    const QStringList names = passNames(ws.cycleRecords, retry);
    l.L_PostesenCours.assign(names);
    ws.passRecords = recordsFor(names);
    ProgressLine progress(ws);
    progress.sweeping(static_cast<int>(names.size()));
    const bool swept = PingSweep(ws, ws.passRecords, ws.cycleRecords);
    if (ws.stopRequested() && rulesUsable(ws)) {
        markNotReached(ws.passRecords);
        landInCycle(ws.cycleRecords, ws.passRecords);
        writePassLines(ws, ws.passRecords);
        return PassEnd::Stopped;
    }
    if (swept) {
        landInCycle(ws.cycleRecords, ws.passRecords);
    }
    writeSweepLines(ws, ws.passRecords);
    ws.DrawStatusBoard();
    // A sweep cut short copies nothing: a workstation it did not read may not answer.
    ws.setPassStopped(!swept);
    if (!swept || !rulesUsable(ws)) {
        return PassEnd::NotRun;
    }
    const BusyPointer busy(ws);
    if (!kind.beforeServing()) {
        // No workstation touched: each is left for a later pass, the pass has one error.
        ws.passRecords.failedBeforeServing = true;
        markNotReached(ws.passRecords);
        landInCycle(ws.cycleRecords, ws.passRecords);
        writePassLines(ws, ws.passRecords);
        return PassEnd::Completed;
    }
    const bool served = serveWorkstations(ws, settings, kind.step, outcome, progress);
    landInCycle(ws.cycleRecords, ws.passRecords);
    writePassLines(ws, ws.passRecords);
    ws.setPassStopped(!served);
    return served ? PassEnd::Completed : PassEnd::Stopped;
}

PassEnd runPass(Workspace& ws, const PassSettings& settings, const PassKind& kind,
                PassOutcome& outcome) {
    const QStringList rowsBefore = ws.lists.Listécritures.entries();
    const PassEnd end = visitWorkstations(ws, settings, kind, outcome);
    if (ws.lists.Listécritures.entries() != rowsBefore) {
        ws.state.unsavedResults = true; // closing or loading asks before they go
    }
    if (end == PassEnd::Completed || end == PassEnd::Stopped) {
        ws.DrawStatusBoard();
        // A stopped pass's too: it tells who was served.
        WriteDeploymentJournal(ws, kind.heading, kind.journalNotes(), kind.emptyHanded(outcome));
    }
    return end;
}

} // namespace vantrel
