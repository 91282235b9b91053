#pragma once

#include <QStringList>

namespace vantrel {

class Workspace;

// The lines of "Infos Déploiement.txt" for the pass that is ending.
QStringList journalLines(Workspace& ws);

// Writes the journal into the pass folder, then tells how the deployment ended
// and offers to open the journal.
void WriteDeploymentJournal(Workspace& ws);

} // namespace vantrel
