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
// and offers to open the journal; or, when the pass did nothing it was for, says
// emptyHanded instead (a pass without error is not a perfect one then).
void WriteDeploymentJournal(Workspace& ws, const QString& heading = QString(),
                            const QStringList& notes = QStringList(),
                            const QString& emptyHanded = QString());

} // namespace vantrel
