#pragma once

#include <QString>

namespace vantrel {

class Workspace;

// True unless a result line of the last pass begins with host.
bool IsReachable(const Workspace& ws, const QString& host);

// One deployment pass: stamp, pass folder, ping sweep, copies with stamped
// backups, result lists, board rows, journal, retry timer.
void DeploymentRun(Workspace& ws);

} // namespace vantrel
