#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace vantrel {

// What became of one workstation of a pass. A pass decides from these alone; its
// result lists, board rows and journal are written from them.
struct WorkstationRecord {
    enum class Fate {
        Pending,         // answered, not yet served
        NoAnswer,        // its ping failed: left alone
        Served,          // every rule was tried there
        Duplicate,       // the same workstation stands earlier in the pass
        NotReached,      // the pass stopped before it was served, or in the middle
        SameWorkstation, // another name of a workstation that an earlier entry reaches
    };

    QString name;       // as written in the list
    bool swept = false; // its ping transcript was read
    QString loss;       // the loss read there: "0", "25", "####"
    QByteArray address; // where its name led (addressBytes), empty when it led nowhere
    QString sameAs;     // SameWorkstation: the name of the entry that reaches it first
    Fate fate = Fate::Pending;
    int failures = 0; // rules that failed there
    QString message;  // what its result line says after the name

    bool answered() const;
    // It has a line of its own among the pass's results (a duplicate has none, nor
    // one a ping-only pass found answering).
    bool hasResult() const { return fate != Fate::Pending && fate != Fate::Duplicate; }
    // Not served, or served with a rule that failed: an error of the pass.
    bool failed() const {
        return fate == Fate::NoAnswer || fate == Fate::NotReached ||
               (fate == Fate::Served && failures > 0);
    }
};

struct PassRecords : std::vector<WorkstationRecord> {
    // The pass could not serve any workstation (no room for its sources' copies): one
    // error of its own, told once, whatever the number of workstations left.
    bool failedBeforeServing = false;
};

// The workstations of the pass that failed, or 1 when the pass failed as a whole.
int errorCount(const PassRecords& records);

// One record per entry, in order; a name that stands earlier (compared as Windows
// compares host names, without regard to case) is a duplicate.
PassRecords recordsFor(const QStringList& names);

// An entry of the pass that reaches the same workstation as an earlier one (the same
// address, or the same name without regard to case or a final dot) becomes
// SameWorkstation of the earlier one, and so does one that reaches a workstation that
// an earlier pass of the cycle served (cycle: the cycle's records): one workstation
// is served once, by one worker.
void markSameWorkstations(PassRecords& records, const PassRecords& cycle);

// Lands a pass's records in its cycle: each workstation of the pass takes its outcome
// there, replacing an earlier pass's; the others keep theirs. A pass that failed as a
// whole makes the cycle's one error until a later pass lands.
void landInCycle(PassRecords& cycle, const PassRecords& pass);

// The cycle's records with those of the pass under way laid over them.
PassRecords cycleWithPass(const PassRecords& cycle, const PassRecords& pass);

} // namespace vantrel
