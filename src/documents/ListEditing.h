#pragma once

#include <QString>

namespace vantrel {

class Workspace;

// Editing of the workstation list and the rule lists on the main window. The
// entry fields are passed in and handed back, since they belong to the window.
struct RuleFields {
    QString source;
    QString destination;
};

void AjoutePoste(Workspace& ws, const QString& NomPoste);
void SupprimePoste(Workspace& ws);
// Double-click in ListePostes: the text for NomPoste, or NomPoste unchanged.
QString pickWorkstation(Workspace& ws, const QString& NomPoste);
void ListePostesDeleteKey(Workspace& ws);

void AjouteAdress(Workspace& ws, const RuleFields& fields);
void SuppAdress(Workspace& ws);
void ListeSourceClicked(Workspace& ws, int index);
void ListeDestClicked(Workspace& ws, int index);
RuleFields pickRule(Workspace& ws, const RuleFields& fields);
void RuleListDeleteKey(Workspace& ws);

// The browse buttons: the fields after the dialog.
RuleFields ParcourSource(Workspace& ws, const RuleFields& fields);
RuleFields ParcourDest(Workspace& ws, const RuleFields& fields);

} // namespace vantrel
