#pragma once

#include "PassSettings.h"

#include <QStringList>

namespace vantrel {

class Workspace;

// For every workstation that answers and every rule, the versions of the target on
// it: the live one, then the stamped ones newest first, one line each:
//   HOST;TARGET;en place;;SIZE          HOST;TARGET;absent;;
//   HOST;TARGET;STAMP;DD/MM/YYYY HH:MM:SS;SIZE
//   HOST;TARGET;error text              HOST;PingFail
// Writes nothing on the workstations; the lines also go to "Historique.txt" in the
// run's folder. False, with what could be gathered, when it could not run to its end.
bool ListHistory(Workspace& ws, const PassSettings& settings, QStringList& lines);

} // namespace vantrel
