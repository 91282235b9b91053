#pragma once

#include "core/RowTexts.h"
#include "core/WorkstationRecord.h"

#include <QStringList>
#include <QTime>

#include <vector>

namespace vantrel {

class Workspace;

// The only place where a pass's records become text: the result lists, the board
// rows, hence the journal, the rows printed and the .VTR. Nothing reads them back
// to decide.

// After the sweep: a ping line for each workstation of the pass, "HOST;PingFail" in
// the error lists for those that did not answer; the board rows from the cycle's
// records (ws.cycleRecords), the pass's landed in it: no copy result yet for these.
void writeSweepLines(Workspace& ws, const PassRecords& records);

// After the copies, or a stop: every result list of the pass, and a board row for each
// workstation of the cycle with its latest outcome. Those that did not answer come
// first, then the others, in list order; a duplicate has no line of its own, an entry
// that names a workstation another entry reaches first a row that says so. The
// lines of the workstations updated without error are added to those of the
// cycle's earlier passes.
void writePassLines(Workspace& ws, const PassRecords& records);

// While the pass runs (records: the cycle with the pass laid over it): a row for
// each workstation in list order, its result as soon
// as it is known, "...." for a ping not read yet and kPending for copies not done
// yet; the board shows such a row without a light. writePassLines puts the rows of
// the end in their place.
void writeLiveRows(Workspace& ws, const PassRecords& records);
// The live board's row of each record of the pass (-1 for a duplicate), the board
// being written from cycle with the pass laid over it.
std::vector<int> liveRowsOf(const PassRecords& cycle, const PassRecords& pass);
// The record of a workstation has landed: its live row alone is rewritten and sent.
void writeLiveRow(Workspace& ws, int row, const WorkstationRecord& record);

// The pass in one line, for the window once it is over: "Passe terminée à 14:05 :
// 298 postes servis, 5 en erreur, 3 sans réponse" (and ", 2 non faits" after a stop),
// in the singular for one.
QString passSummary(const PassRecords& records, const QTime& endedAt);

// "NAME;même poste que FIRST" for each entry that named a workstation another entry
// reaches first.
QStringList sameWorkstationLines(const PassRecords& records);

// "HOST;PingFail" for each workstation that did not answer.
QStringList pingFailureLines(const PassRecords& records);

} // namespace vantrel
