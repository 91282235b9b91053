#pragma once

#include "PassSettings.h"

#include <QString>

namespace vantrel {

class Workspace;

// Puts back, on every workstation that answers and for every rule, the version the
// pass passStamp replaced. The version in place is first put aside under this run's
// own stamp, so that nothing is lost and the restore can itself be undone; the
// stamped version stays in the history. A rule with no version from that pass is
// left as it is. Runs as a pass does: its own stamp and folder, sweep, rows, journal.
// Stamps compare by the time they stand for. Returns how many versions were put back;
// a pass that ended having put back none says so.
int RestoreRun(Workspace& ws, const PassSettings& settings, const QString& passStamp);

} // namespace vantrel
