#pragma once

#include "PassSettings.h"

namespace vantrel {

class Workspace;

// One deployment pass: stamp, pass folder, ping sweep, copies with stamped
// backups, result lists, board rows, journal, retry timer.
// Runs on the thread it is called on, and the caller marks the pass as running.
void DeploymentRun(Workspace& ws, const PassSettings& settings);

// Starts a deployment pass as the workspace runs passes (beside the window where
// there is one).
void startDeployment(Workspace& ws, const PassSettings& settings);

} // namespace vantrel
