#include "ListFiles.h"

#include "core/Paths.h"
#include "core/Text.h"
#include "core/TextFile.h"
#include "core/Workspace.h"
#include "documents/Ouvrefichier.h"

namespace vantrel {
namespace {

const QString kCannotLoad = QStringLiteral("Impossible de charger cette règle de déploiement");
const QString kInvalidPath = QStringLiteral("\r\nn'est pas un chemin de fichier valide");

QStringList nonEmpty(const QStringList& lines) {
    QStringList kept;
    kept.reserve(lines.size());
    for (const QString& line : lines) {
        if (!line.isEmpty()) {
            kept.append(line);
        }
    }
    return kept;
}

// The load commands: a path from the dialog and its lines, or the message when the
// file cannot be read (also after a cancelled dialog); false then.
bool chooseAndRead(Workspace& ws, const QString& caption, const QString& extension, QString& path,
                   QStringList& lines, const TextFile::Limits& limits) {
    const WorkingState& s = ws.state;
    path = Ouvrefichier(ws, caption, s.LastFolder + s.DeploymentFileName, extension);
    const FileError error = path.isEmpty() ? FileError::FileNotFound
                                           : TextFile::readLines(ws.system, path, lines, limits);
    if (error == FileError::None) {
        return true;
    }
    QString text = path + kInvalidPath;
    if (error != FileError::FileNotFound && error != FileError::PathNotFound) {
        text += QStringLiteral("\r\n") + describe(error);
    }
    ws.inform(text, kCannotLoad, Icon::Information);
    return false;
}

// The save commands propose the deployment's name, in its folder or in the last one
// used (the rule dialog always has), and save under the chosen name with their own
// extension. "" when the operator cancelled.
enum class ProposedFolder { DeploymentFolder, LastFolder };

QString chooseSaveTarget(Workspace& ws, const QString& caption, ProposedFolder folder,
                         const QString& extension) {
    WorkingState& s = ws.state;
    SplitFilePath(ws, s.LastFolder + s.DeploymentFileName);
    const QString proposed =
        (folder == ProposedFolder::LastFolder ? s.LastFolder : s.PathFolder) + s.PathBaseName;
    const QString chosen = Ouvrefichier(ws, caption, proposed, extension);
    if (chosen.isEmpty()) {
        return QString();
    }
    SplitFilePath(ws, chosen);
    return s.PathFolder + s.PathBaseName + QLatin1Char('.') + extension;
}

} // namespace

FileError LoadListFromFile(Workspace& ws, StringList& list, const QString& path,
                           const QString& extension) {
    ClearList(list);
    SplitFilePath(ws, path);
    QStringList lines;
    const FileError error = TextFile::readLines(
        ws.system, ws.state.PathFolder + ws.state.PathBaseName + extension, lines);
    if (error == FileError::None) {
        list.assign(nonEmpty(lines));
    }
    return error;
}

bool SaveListToFile(Workspace& ws, const StringList& list, const QString& path) {
    SplitFilePath(ws, path);
    if (TextFile::writeLines(ws.system, path, nonEmpty(list.entries())) == FileError::None) {
        return true;
    }
    const WorkingState& s = ws.state;
    ws.inform(QStringLiteral("Chemin:") + s.PathFolder + QStringLiteral("\r\nou Nom de fichier: ") +
                  s.PathBaseName + s.PathExt + QStringLiteral(" invalide"),
              QStringLiteral("Sauvegarde impossible"), Icon::Information);
    return false;
}

void ChargeListePostes(Workspace& ws) {
    QString path;
    QStringList lines;
    if (!chooseAndRead(ws, QStringLiteral("Charger une liste de postes"), QStringLiteral("LPO"),
                       path, lines, TextFile::kDocumentLimits)) {
        return;
    }
    ws.lists.ListePostes.assign(lines);
    ws.state.WorkstationListPath = path;
}

void ParcourPoste(Workspace& ws) {
    const QString path = Ouvrefichier(ws, QStringLiteral("Charger une liste de postes"), QString(),
                                      QStringLiteral("LPO"));
    if (path.isEmpty()) {
        return;
    }
    LoadListFromFile(ws, ws.lists.ListePostes, path, QStringLiteral(".LPO"));
}

void EnregistreLPostes(Workspace& ws) {
    const QString target =
        chooseSaveTarget(ws, QStringLiteral("Enregistrer la liste des postes Sous"),
                         ProposedFolder::DeploymentFolder, QStringLiteral("LPO"));
    if (target.isEmpty()) {
        return;
    }
    if (SaveListToFile(ws, ws.lists.ListePostes, target)) {
        ws.state.listWritten(ws.state.WorkstationEdits);
    }
    ws.state.WorkstationListPath = target;
}

void ChargeRègle(Workspace& ws) {
    QString path;
    QStringList lines;
    if (!chooseAndRead(ws, QStringLiteral("Charger une règle de déploiement"),
                       QStringLiteral("Rgl"), path, lines, TextFile::kRuleFileLimits)) {
        return;
    }
    QStringList sources;
    QStringList destinations;
    for (const QString& line : lines) {
        const qsizetype p = line.indexOf(QLatin1Char(';'));
        if (p < 0) {
            ws.lists.ListeSource.assign(sources);
            ws.lists.ListeDest.assign(destinations);
            ws.inform(line + QStringLiteral("\r\nerreur dans la règle"), kCannotLoad,
                      Icon::Information);
            return;
        }
        sources.append(trimBlanks(line.left(p)));
        destinations.append(line.mid(p + 1));
    }
    ws.lists.ListeSource.assign(sources);
    ws.lists.ListeDest.assign(destinations);
    ws.state.RuleFilePath = path;
}

void EnregistreRègle(Workspace& ws) {
    WorkingState& s = ws.state;
    const StringList& sources = ws.lists.ListeSource;
    const StringList& destinations = ws.lists.ListeDest;
    if (sources.isEmpty()) {
        ws.inform(QStringLiteral("La liste Source est vide"),
                  QStringLiteral("Aucune règle de déploiement"), Icon::Information);
        return;
    }
    const QString target = chooseSaveTarget(ws, QStringLiteral("Enregistrer une règle"),
                                            ProposedFolder::LastFolder, QStringLiteral("Rgl"));
    if (target.isEmpty()) {
        return;
    }
    QStringList lines;
    lines.reserve(sources.count());
    for (int i = 0; i < sources.count(); ++i) {
        const QString destination = i < destinations.count() ? destinations.at(i) : QString();
        lines.append(sources.at(i) + QLatin1Char(';') + destination);
    }
    if (TextFile::writeLines(ws.system, target, lines) != FileError::None) {
        ws.inform(target + kInvalidPath,
                  QStringLiteral("Impossible d'enregistrer cette règle de déploiement"),
                  Icon::Information);
        return;
    }
    s.RuleFilePath = target;
    s.listWritten(s.RuleEdits);
}

} // namespace vantrel
