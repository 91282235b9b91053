#include "ListEditing.h"

#include "core/Paths.h"
#include "core/Text.h"
#include "core/Workspace.h"
#include "documents/Ouvrefichier.h"

namespace vantrel {
namespace {

const QString kInputError = QStringLiteral("Erreur de saisie");
const QString kDefaultBrowseFolder = QStringLiteral("C:\\");

void removeRule(Workspace& ws, int index) {
    ws.lists.ListeSource.removeAt(index);
    ws.lists.ListeDest.removeAt(index);
}

QString browse(Workspace& ws, QString& folder, const QString& title) {
    ws.state.DialogExt = QStringLiteral(".EXE");
    if (folder.isEmpty()) {
        folder = kDefaultBrowseFolder;
    }
    return Ouvrefichier(ws, title, folder, QStringLiteral(".EXE"));
}

} // namespace

void AjoutePoste(Workspace& ws, const QString& NomPoste) {
    if (trimBlanks(NomPoste).isEmpty()) {
        ws.inform(QStringLiteral("Le champs de saisie doit contenir des caractères visibles"),
                  kInputError, Icon::Information);
        return;
    }
    ws.lists.ListePostes.append(NomPoste);
    ws.state.countEdit(ws.state.WorkstationEdits);
}

void SupprimePoste(Workspace& ws) {
    StringList& list = ws.lists.ListePostes;
    if (list.selected() >= 0) {
        list.removeAt(list.selected());
    }
    ws.state.countEdit(ws.state.WorkstationEdits);
}

QString pickWorkstation(Workspace& ws, const QString& NomPoste) {
    const StringList& list = ws.lists.ListePostes;
    return list.selected() >= 0 ? list.at(list.selected()) : NomPoste;
}

void ListePostesDeleteKey(Workspace& ws) {
    StringList& list = ws.lists.ListePostes;
    if (list.selected() >= 0) {
        ws.state.countEdit(ws.state.WorkstationEdits);
        list.removeAt(list.selected());
    }
}

void AjouteAdress(Workspace& ws, const RuleFields& fields) {
    if (trimBlanks(fields.source).isEmpty() || trimBlanks(fields.destination).isEmpty()) {
        ws.inform(QStringLiteral("Les deux champs de saisie doivent contenir des caractères "
                                 "visibles"),
                  kInputError, Icon::Information);
        return;
    }
    ws.lists.ListeSource.append(fields.source);
    ws.lists.ListeDest.append(fields.destination);
    ws.state.countEdit(ws.state.RuleEdits);
}

void SuppAdress(Workspace& ws) {
    const int i = ws.lists.ListeSource.selected();
    if (i >= 0) {
        removeRule(ws, i);
        ws.state.countEdit(ws.state.RuleEdits);
    }
}

void ListeSourceClicked(Workspace& ws, int index) {
    ws.lists.ListeSource.setSelected(index);
    ws.lists.ListeDest.setSelected(index);
}

void ListeDestClicked(Workspace& ws, int index) {
    ws.lists.ListeDest.setSelected(index);
    ws.lists.ListeSource.setSelected(index);
}

RuleFields pickRule(Workspace& ws, const RuleFields& fields) {
    const StringList& sources = ws.lists.ListeSource;
    const StringList& destinations = ws.lists.ListeDest;
    if (sources.selected() < 0) {
        return fields;
    }
    RuleFields picked = fields;
    picked.source = sources.at(sources.selected());
    if (destinations.selected() >= 0) {
        picked.destination = destinations.at(destinations.selected());
    }
    return picked;
}

void RuleListDeleteKey(Workspace& ws) {
    const int i = ws.lists.ListeSource.selected();
    if (i > -1) {
        ws.state.countEdit(ws.state.RuleEdits);
        removeRule(ws, i);
    }
}

RuleFields ParcourSource(Workspace& ws, const RuleFields& fields) {
    const QString path = browse(ws, ws.state.SourceBrowseFolder,
                                QStringLiteral("Charger l'adresse d'un fichier Source"));
    SplitFilePath(ws, path);
    ws.state.SourceBrowseFolder = ws.state.PathFolder;
    if (path.isEmpty()) {
        return fields;
    }
    return RuleFields{path, path};
}

RuleFields ParcourDest(Workspace& ws, const RuleFields& fields) {
    const QString path = browse(ws, ws.state.DestBrowseFolder,
                                QStringLiteral("Charger l'adresse d'un fichier destination"));
    if (path.isEmpty()) {
        return fields;
    }
    return RuleFields{fields.source, path};
}

} // namespace vantrel
