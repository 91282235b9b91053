#pragma once

#include "PassSettings.h"

#include <QStringList>

namespace vantrel {

class Workspace;

// A deployment pass that writes nothing on any workstation: the lock, the stamp, the
// pass folder and the sweep as for a pass, then for each workstation that answered
// and each rule what the pass would do, "HOST;TARGET;ACTION", after a
// "HOST;PingFail" for each workstation that did not answer. The lines also go to
// "Simulation.txt" in the pass folder; no journal, no retry, no pruning. False when
// it could not run to its end.
bool PreviewRun(Workspace& ws, const PassSettings& settings, QStringList& lines);

} // namespace vantrel
