#pragma once

#include <QStringList>

namespace vantrel {

class Workspace;

// The lines of "Infos Déploiement.txt" for the pass that is ending; heading, when
// there is one, says what kind of pass it was.
// notes follow the rules.
QStringList journalLines(Workspace& ws, const QString& heading = QString(),
                         const QStringList& notes = QStringList());

// Writes the journal into the pass folder, then tells how the deployment ended
// and offers to open the journal.
void WriteDeploymentJournal(Workspace& ws, const QString& heading = QString(),
                            const QStringList& notes = QStringList());

} // namespace vantrel
