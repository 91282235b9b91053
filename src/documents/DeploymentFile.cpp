#include "DeploymentFile.h"

#include "ListFiles.h"
#include "core/Paths.h"
#include "core/Settings.h"
#include "core/Text.h"
#include "core/TextFile.h"
#include "core/Workspace.h"
#include "documents/Ouvrefichier.h"

namespace vantrel {
namespace {

const QString kWorkstationKey = QStringLiteral("LocListePostes:");
const QString kRuleKey = QStringLiteral("LocListeRègles:");
constexpr int kKeyLength = 15;

// The messages of a load name a missing file; a file that is there but refused (too
// large, a folder...) is named as such, with the reason.
void tellNotLoaded(Workspace& ws, const QString& text, const QString& missingTitle,
                   const QString& path, FileError error) {
    if (error == FileError::FileNotFound || error == FileError::PathNotFound) {
        ws.inform(text, missingTitle, Icon::Information);
        return;
    }
    ws.inform(text + QStringLiteral("\r\n") + describe(error),
              QStringLiteral("    ") + path + QStringLiteral(" ne peut être chargé"),
              Icon::Information);
}

// A deployment's workstation list or rule file that could not be loaded; list and
// menuEntry are the words of the message ("postes", or "règles" and its menu's "règltes").
void tellCompanionNotLoaded(Workspace& ws, const QString& list, const QString& menuEntry,
                            const QString& path, FileError error) {
    tellNotLoaded(ws,
                  QStringLiteral("Ce chargement ne peut aboutir; charger une liste de ") + list +
                      QStringLiteral("\r\nà partir du menu 'Fichier' 'Charger' 'Liste de ") +
                      menuEntry,
                  QStringLiteral("    ") + path + QStringLiteral(" est introuvable"), path, error);
}

// Reads the key lines and the status rows, in the order the save writes them.
void readDeploymentLines(Workspace& ws, const QStringList& lines) {
    WorkingState& s = ws.state;
    BoardRows rows;
    qsizetype i = 0;
    const qsizetype n = lines.size();
    while (i < n) {
        QString line = lines.at(i++);
        if (line.startsWith(kWorkstationKey)) {
            s.WorkstationListPath = line.mid(kKeyLength);
            if (i < n) {
                line = lines.at(i++);
            }
        }
        if (line.startsWith(kRuleKey)) {
            s.RuleFilePath = line.mid(kKeyLength);
            if (i < n) {
                line = lines.at(i++);
            }
        }
        if (line.contains(QLatin1Char(';'))) {
            rows.append(BoardRow::fromText(line));
        }
    }
    ws.setBoard(rows);
}

// Rules as a deployment load reads them: a line without a semicolon is left out,
// so that the two lists keep the same length, and the operator is told once.
// False when a line was left out.
bool readRules(Workspace& ws, const QStringList& lines) {
    QStringList sources;
    QStringList destinations;
    QString firstRejected;
    for (const QString& line : lines) {
        const qsizetype p = line.indexOf(QLatin1Char(';'));
        if (p < 0) {
            if (firstRejected.isEmpty() && !line.isEmpty()) {
                firstRejected = line;
            }
            continue;
        }
        sources.append(line.left(p));
        destinations.append(line.mid(p + 1));
    }
    ws.lists.ListeSource.assign(sources);
    ws.lists.ListeDest.assign(destinations);
    if (!firstRejected.isEmpty()) {
        ws.inform(firstRejected + QStringLiteral("\r\nerreur dans la règle : ligne ignorée"),
                  QStringLiteral("    ") + ws.state.RuleFilePath + QStringLiteral(" est incomplet"),
                  Icon::Information);
    }
    return firstRejected.isEmpty();
}

Answer askYesNo(Workspace& ws, const QString& title, MessageId id) {
    Message question;
    question.title = title;
    question.icon = Icon::Question;
    question.buttons = Buttons::YesNo;
    question.defaultAnswer = Answer::Yes;
    question.id = id;
    return ws.ask(question);
}

// When the file was last written, by the file system's clock (invalid: no such file).
QDateTime writtenAt(Files& files, const QString& path) {
    std::vector<FolderEntry> entries;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('\\'));
    if (files.listFolder(path.left(slash), entries) != FileError::None) {
        return QDateTime();
    }
    const QString name = path.mid(slash + 1);
    for (const FolderEntry& entry : entries) {
        if (!entry.folder && entry.name.compare(name, Qt::CaseInsensitive) == 0) {
            return entry.modified;
        }
    }
    return QDateTime();
}

void rememberDiskCopy(Workspace& ws) {
    WorkingState& s = ws.state;
    s.diskCopyPath = s.CurrentFilePath;
    s.diskCopyTime = writtenAt(ws.system, s.CurrentFilePath);
}

// Another run (a scheduled --enregistrer) saved the deployment since it was read here:
// write over it only when asked to; else reload it, or leave both as they are (the
// default).
bool mayWriteOverDiskCopy(Workspace& ws) {
    WorkingState& s = ws.state;
    const QDateTime onDisk = writtenAt(ws.system, s.CurrentFilePath);
    if (s.diskCopyPath.compare(s.CurrentFilePath, Qt::CaseInsensitive) != 0 || !onDisk.isValid() ||
        !s.diskCopyTime.isValid() || onDisk == s.diskCopyTime) {
        return true;
    }
    Message question;
    question.title = QStringLiteral("Enregistrer ") + s.DeploymentFileName;
    question.icon = Icon::Question;
    question.buttons = Buttons::YesNo;
    question.defaultAnswer = Answer::No;
    question.text = QStringLiteral("Le fichier ") + s.CurrentFilePath +
                    QStringLiteral(" a été enregistré ailleurs depuis qu'il a été ouvert ici "
                                   "(une exécution programmée ?).\r\nL'écraser avec ce que "
                                   "montre la fenêtre ?");
    if (ws.ask(question) == Answer::Yes) {
        return true;
    }
    question.text = QStringLiteral("Recharger ") + s.DeploymentFileName +
                    QStringLiteral(" tel qu'il est sur le disque ?\r\n(ce que montre la "
                                   "fenêtre sera perdu ; Non : rien n'est enregistré)");
    if (ws.ask(question) == Answer::Yes) {
        s.forgetEdits();
        LoadDeployment(ws);
    }
    return false;
}

LoadResult readDeploymentAndCompanions(Workspace& ws) {
    WorkingState& s = ws.state;
    Lists& l = ws.lists;
    QStringList lines;
    if (const FileError error = TextFile::readLines(ws.system, s.CurrentFilePath, lines);
        error != FileError::None) {
        tellNotLoaded(ws,
                      QStringLiteral("Pour créer un nouveau déploiement saisir des postes\r\npuis "
                                     "l'enregistrer"),
                      QStringLiteral("Le fichier ") + s.CurrentFilePath +
                          QStringLiteral(" n'existe pas"),
                      s.CurrentFilePath, error);
        return LoadResult::DeploymentMissing;
    }
    readDeploymentLines(ws, lines);
    rememberDiskCopy(ws);

    if (const FileError error =
            LoadListFromFile(ws, l.ListePostes, s.WorkstationListPath, QStringLiteral(".LPO"));
        error != FileError::None) {
        tellCompanionNotLoaded(ws, QStringLiteral("postes"), QStringLiteral("postes"),
                               s.WorkstationListPath, error);
        return LoadResult::WorkstationListMissing;
    }

    QStringList rules;
    if (const FileError error =
            TextFile::readLines(ws.system, s.RuleFilePath, rules, TextFile::kRuleFileLimits);
        error != FileError::None) {
        tellCompanionNotLoaded(ws, QStringLiteral("règles"), QStringLiteral("règltes"),
                               s.RuleFilePath, error);
        return LoadResult::RuleFileMissing;
    }
    return readRules(ws, rules) ? LoadResult::Loaded : LoadResult::RulesIncomplete;
}

} // namespace

void RefreshCaption(Workspace& ws) {
    const WorkingState& s = ws.state;
    ws.setCaption(s.ProgramName + QStringLiteral("/    ") + s.DeploymentFileName +
                  QStringLiteral("     ") + numberText(ws.lists.Listécritures.count()) +
                  QStringLiteral(" fiches"));
}

void ChargeDéploiement(Workspace& ws) {
    WorkingState& s = ws.state;
    const QString path = Ouvrefichier(ws, QStringLiteral("Charger un déploiement existant"),
                                      s.LastFolder + s.DeploymentFileName, QStringLiteral(".VTR"));
    if (path.isEmpty()) {
        return;
    }
    SplitFilePath(ws, path);
    if (s.PathExt == QLatin1String(".BAK")) {
        Message question;
        question.text = QStringLiteral(
            "Ce fichier n'est pas le plus récent\r\nVoulez-vous tout de même l'ouvrir");
        question.title = QStringLiteral("Fichier de sauvegarde");
        question.icon = Icon::Critical;
        question.buttons = Buttons::YesNo;
        question.defaultAnswer = Answer::No;
        if (ws.ask(question) == Answer::No) {
            return;
        }
    }
    SelectDeployment(ws, path);
    LoadDeployment(ws);
}

void SelectDeployment(Workspace& ws, const QString& path) {
    WorkingState& s = ws.state;
    SplitFilePath(ws, path);
    s.LastFolder = s.PathFolder;
    if (s.PathExt.isEmpty()) {
        s.PathExt = s.DeploymentExt;
    }
    if (s.PathBaseName.isEmpty()) {
        s.PathBaseName = QStringLiteral("Nouveau");
    }
    s.DeploymentFileName = s.PathBaseName + s.PathExt;
    s.DeploymentName = s.PathBaseName;
    s.CurrentFilePath = s.LastFolder + s.DeploymentFileName;
}

LoadResult LoadDeployment(Workspace& ws) {
    Lists& l = ws.lists;
    ClearList(l.L_PostesFail);
    ClearList(l.L_PostesenCours);
    ClearList(l.L_GénéErreurs);
    ws.setBoard({});
    ClearList(l.ListeSource);
    ClearList(l.ListeDest);
    const LoadResult result = readDeploymentAndCompanions(ws);
    // Whatever was read, the board and the caption show it, not the deployment before.
    ws.DrawStatusBoard();
    if (result == LoadResult::Loaded || result == LoadResult::RulesIncomplete) {
        UpdateRecentMenu(ws);
    }
    RefreshCaption(ws);
    return result;
}

bool EnregistreDéploiement(Workspace& ws) {
    WorkingState& s = ws.state;
    ws.ui.setBusy(true);
    s.CurrentFilePath = s.LastFolder + s.DeploymentFileName;
    if (!mayWriteOverDiskCopy(ws)) {
        ws.ui.setBusy(false);
        return false;
    }
    MakeBackup(ws, s.CurrentFilePath);

    QStringList lines;
    lines.reserve(ws.lists.Listécritures.count() + 2);
    lines.append(kWorkstationKey + s.WorkstationListPath);
    lines.append(kRuleKey + s.RuleFilePath);
    lines.append(ws.lists.Listécritures.entries());
    const QByteArray bytes = TextFile::encode(TextFile::joinLines(lines));
    bool written = ws.system.writeFile(s.CurrentFilePath, bytes) == FileError::None;
    if (written) {
        ws.ui.setBusy(false);
        ws.inform(QStringLiteral("Sauvegarde de ") + numberText(ws.lists.Listécritures.count()) +
                      QStringLiteral(" fiches\r\ndans le dossier ") + s.LastFolder,
                  QStringLiteral("Sauvegarde de ") + s.DeploymentFileName +
                      numberText(bytes.size()) + QStringLiteral(" octets"));
        s.ModifiedCount = 0;
        s.AddedCount = 0;
        s.unsavedResults = false;
        rememberDiskCopy(ws);
    } else {
        ws.ui.setBusy(false);
        written = Enregistrersous(ws);
    }

    RefreshCaption(ws);
    UpdateRecentMenu(ws);
    s.ModifiedCount = 0;
    s.AddedCount = 0;
    s.ImportCount = 0;
    SplitFilePath(ws, s.CurrentFilePath);
    if (askYesNo(ws, QStringLiteral("Enregistrer la liste des postes"),
                 MessageId::SaveListAfterDeployment) == Answer::Yes) {
        EnregistreLPostes(ws);
    }
    if (askYesNo(ws, QStringLiteral("Enregistrer la liste des Règles"),
                 MessageId::SaveListAfterDeployment) == Answer::Yes) {
        EnregistreRègle(ws);
    }
    // A list the operator chose not to write keeps its edits to ask about.
    s.ModifiedCount = static_cast<qint16>(s.WorkstationEdits + s.RuleEdits);
    return written;
}

void MakeBackup(Workspace& ws, const QString& path) {
    WorkingState& s = ws.state;
    SplitFilePath(ws, path);
    const QString backup = s.PathFolder + s.PathBaseName + QStringLiteral(".BAK");
    // A copy, not a move: when the new version cannot be written (a full disk), the
    // deployment keeps its previous content under its own name.
    ws.system.copyFile(path, backup);
    UpdateRecentMenu(ws);
}

bool Enregistrersous(Workspace& ws) {
    WorkingState& s = ws.state;
    s.DialogExt = s.DeploymentExt;
    if (!s.DeploymentFileName.isEmpty()) {
        SplitFilePath(ws, s.DeploymentFileName);
    }
    s.CurrentFilePath = Ouvrefichier(ws, QStringLiteral("Enregistrer Sous"),
                                     s.LastFolder + s.DeploymentFileName, s.DialogExt);
    if (s.CurrentFilePath.isEmpty()) {
        return false;
    }
    SplitFilePath(ws, s.CurrentFilePath);
    if (!s.PathBaseName.isEmpty() && !s.PathFolder.isEmpty()) {
        s.LastFolder = s.PathFolder;
        s.DeploymentFileName = s.PathBaseName + s.DeploymentExt;
        s.DeploymentName = s.PathBaseName;
    }
    if (s.PathFolder.isEmpty()) {
        return false;
    }
    const bool written = EnregistreDéploiement(ws);
    RefreshCaption(ws);
    return written;
}

} // namespace vantrel
