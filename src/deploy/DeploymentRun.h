#pragma once

#include "PassSettings.h"

namespace vantrel {

class Workspace;

// One deployment pass: stamp, pass folder, ping sweep, copies with stamped
// backups, result lists, board rows, journal, retry timer.
void DeploymentRun(Workspace& ws, const PassSettings& settings);

} // namespace vantrel
