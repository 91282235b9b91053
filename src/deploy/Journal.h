#pragma once

#include <QStringList>

namespace vantrel {

class Workspace;

// The lines of "Infos Déploiement.txt" for the pass that is ending; heading, when
// there is one, says what kind of pass it was.
QStringList journalLines(Workspace& ws, const QString& heading = QString());

// Writes the journal into the pass folder, then tells how the deployment ended
// and offers to open the journal.
void WriteDeploymentJournal(Workspace& ws, const QString& heading = QString());

} // namespace vantrel
