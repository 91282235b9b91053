#pragma once

#include <QString>

#include "PassSettings.h"
#include "WorkstationStep.h"
#include "platform/FileError.h"

#include <QDateTime>
#include <QStringList>

#include <functional>

namespace vantrel {

class Files;
class Workspace;

// What the steps of a pass gave besides the result lines, in pass order.
struct PassOutcome {
    QStringList lines;
    int restored = 0;
};

// How a pass came to its end.
enum class PassEnd {
    Completed, // every workstation has its result
    Stopped,   // asked to end after the sweep: what was done is recorded, the rest not done
    NotRun,    // no copy made: no pass folder, a sweep cut short, no rules to copy
};

// What one kind of pass brings to the steps that every pass shares.
struct PassKind {
    WorkstationStep step;
    // Once the sweep is over, before the first workstation is served. False: none can
    // be (it has said why); the pass counts that as one error.
    std::function<bool()> beforeServing = [] { return true; };
    QString heading; // the journal's first line, "" for a deployment
    // Lines the journal adds after the rules.
    std::function<QStringList()> journalNotes = [] { return QStringList(); };
    // What to say, in the journal and instead of the end-of-pass question, when the
    // pass did nothing it was for ("" when it did).
    std::function<QString(const PassOutcome&)> emptyHanded = [](const PassOutcome&) {
        return QString();
    };
};

// The steps every pass shares: the program folder locked, a stamp and a pass folder
// of its own, the ping sweep, then the kind's step on each workstation that answered
// (up to settings.simultaneous at once), its records written out as result lines and
// rows, the board and the journal.
PassEnd runPass(Workspace& ws, const PassSettings& settings, const PassKind& kind,
                PassOutcome& outcome);
// The same without the board's last redraw and the journal.
PassEnd visitWorkstations(Workspace& ws, const PassSettings& settings, const PassKind& kind,
                          PassOutcome& outcome);

// Marks the pass as running for as long as it lasts, whatever way it ends.
class PassGuard {
public:
    explicit PassGuard(Workspace& ws);
    ~PassGuard();
    PassGuard(const PassGuard&) = delete;
    PassGuard& operator=(const PassGuard&) = delete;

private:
    Workspace& ws_;
};

// The file a rule makes on a workstation: \\HOST + destination + the source's name.
QString ruleTarget(const QString& host, const QString& source, const QString& destination);
// A target's folder (without the final backslash) and its name.
QString folderOf(const QString& target);
QString nameOf(const QString& target);

// A workstation that stopped answering: its other rules would each wait as long.
bool isLostWorkstation(FileError error);

// The rules of the deployment as a worker needs them, copied out of the lists.
struct PassRules {
    QStringList sources;
    QStringList destinations;
    // Why each rule is not to be tried on any workstation (None when it is): its target
    // is a name no Windows share takes, or an earlier rule makes the same file (names
    // compared without regard to case: what it finds there depends on rule order).
    QList<FileError> refusals;
    explicit PassRules(const Workspace& ws);
    int count() const { return static_cast<int>(sources.size()); }
};

// Calls rule(source, destination, target, refused) for each rule, in rule order,
// where refused is why the rule is not to be tried (None when it is to be): the
// connection was lost at an earlier rule, or the rule's own refusal.
// rule returns its own error. Stops between two rules when the job is asked to
// (result.finished false). Returns the error of a lost connection, None without.
template <typename Rule>
FileError forEachRule(const PassRules& rules, const WorkstationJob& job, WorkstationResult& result,
                      Rule rule) {
    FileError lost = FileError::None;
    for (int j = 0; j < rules.count(); ++j) {
        if (job.stopRequested()) {
            result.finished = false; // between two rules: nothing is left half done
            return lost;
        }
        const QString& source = rules.sources.at(j);
        const QString& destination = rules.destinations.at(j);
        const FileError refused = lost != FileError::None ? lost : rules.refusals.at(j);
        const FileError error =
            rule(source, destination, ruleTarget(job.host, source, destination), refused);
        if (error == FileError::Interrupted) {
            result.finished = false; // cut short by a stop: the workstation is not done
            return lost;
        }
        lost = isLostWorkstation(error) ? error : lost;
    }
    return lost;
}

} // namespace vantrel
