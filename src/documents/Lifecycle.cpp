#include "Lifecycle.h"

#include "DeploymentFile.h"
#include "core/Paths.h"
#include "core/Settings.h"
#include "core/Text.h"
#include "core/TextFile.h"
#include "core/Workspace.h"

namespace vantrel {
namespace {

const QString kRefused = QStringLiteral("ANNULER");

void findProgramFolder(Workspace& ws) {
    WorkingState& s = ws.state;
    const QString program = ws.system.programPath();
    if (program.isEmpty()) {
        ws.inform(QStringLiteral("il n'y a pas de programme associé à l'extension") +
                      s.DeploymentExt,
                  s.ProgramName);
    }
    const qsizetype p = program.lastIndexOf(QLatin1Char('\\')) + 1;
    if (p < 4) {
        ws.inform(QStringLiteral("Localisation du programme: '") + s.ProgramDir +
                      QStringLiteral("' invalide\r\n") + s.ProgramName +
                      QStringLiteral(" n'est pas installé au sens Windows"),
                  QStringLiteral("Erreur dans Sub main"));
        return;
    }
    s.ProgramDir = program.left(p);
}

} // namespace

bool isFolder(Workspace& ws, const QString& path) {
    // Asked at every start of a folder that holds every pass folder: no listing.
    QString bare = path;
    while (bare.size() > 3 && bare.endsWith(QLatin1Char('\\'))) {
        bare.chop(1);
    }
    return !ws.system.longPath(bare).isEmpty() && ws.system.fileLength(bare) < 0;
}

bool refused(const Workspace& ws) {
    return ws.state.ReturnMessage == kRefused;
}

void StartProgram(Workspace& ws, const QString& commandLine) {
    WorkingState& s = ws.state;
    s.NameColumnWidth = 18;
    s.ProgramName = QStringLiteral("Vantrel");
    s.DeploymentExt = QStringLiteral(".VTR");
    findProgramFolder(ws);
    const QString shortForm = ShortPath(ws, s.ProgramDir);
    if (!s.ProgramDir.isEmpty() && (shortForm.isEmpty() || !isFolder(ws, s.ProgramDir))) {
        // The folder is kept: what is written there then fails with its own message
        // instead of landing in whatever folder the program was started from.
        ws.inform(QStringLiteral("Le dossier du programme\r\n") + s.ProgramDir +
                      QStringLiteral("\r\nest introuvable : les réglages et les déploiements "
                                     "ne pourront pas y être enregistrés"),
                  QStringLiteral("Dossier du programme introuvable"), Icon::Critical);
    } else {
        s.ProgramDir = shortForm;
    }
    ReadSettings(ws, commandLine);
}

void Form_Load(Workspace& ws) {
    RefreshCaption(ws);
    for (int i = 0; i < Workspace::kRecentEntries; ++i) {
        if (!ws.state.RecentFiles.at(i).isEmpty()) {
            ws.setRecentCaption(i, ws.state.RecentFiles.at(i));
        }
    }
    if (!ws.state.CurrentFilePath.isEmpty()) {
        LoadDeployment(ws);
    }
}

void FinishStart(Workspace& ws) {
    CheckCompanionFiles(ws);
    RefreshCaption(ws);
}

void CheckCompanionFiles(Workspace& ws) {
    WorkingState& s = ws.state;
    const QString helpFile = s.ProgramDir + QLatin1Char('_') + s.ProgramName + s.DeploymentExt;
    QStringList lines;
    if (TextFile::readLines(ws.system, helpFile, lines) == FileError::None) {
        return;
    }
    s.ReturnMessage += helpFile + QStringLiteral(" (fichier d'aide)\r\n");
    ws.inform(QStringLiteral("Fichier(s) manquant(s): dans le dossier de ") + s.ProgramName +
                  QStringLiteral("\r\n") + s.ReturnMessage,
              QStringLiteral("Erreur non fatale mais il manque des fichiers"));
}

void ConfirmDiscardChanges(Workspace& ws) {
    WorkingState& s = ws.state;
    s.ReturnMessage.clear();
    QStringList unsaved;
    if (s.ModifiedCount > 0) {
        unsaved << numberText(s.ModifiedCount) + QStringLiteral(" modification(s)");
    }
    if (s.ImportCount > 0) {
        unsaved << numberText(s.ImportCount) + QStringLiteral(" fichier importé");
    }
    if (s.unsavedResults) {
        unsaved << QStringLiteral("Les résultats de la dernière passe ne sont pas enregistrés");
    }
    if (unsaved.isEmpty()) {
        return;
    }
    const QString text = unsaved.join(QStringLiteral("\r\n"));
    Message question;
    question.text = text + QStringLiteral("\r\nVous allez perdre des données\r\nVoulez vous "
                                          "Continuer & quitter");
    question.title =
        QStringLiteral("Le fichier ") + s.DeploymentFileName + QStringLiteral(" a été modifié ");
    question.buttons = Buttons::YesNo;
    question.defaultAnswer = Answer::No; // Enter never discards
    if (ws.ask(question) == Answer::No) {
        s.ReturnMessage = kRefused;
        return;
    }
    s.forgetEdits();
}

void fermer_Click(Workspace& ws) {
    ConfirmDiscardChanges(ws);
    if (refused(ws)) {
        return;
    }
    ConfirmDiscardChanges(ws);
    Lists& l = ws.lists;
    ClearList(l.L_PostesFail);
    ClearList(l.L_PostesenCours);
    ClearList(l.L_GénéErreurs);
    ws.setBoard({});
    ws.state.DeploymentFileName.clear();
    RefreshCaption(ws);
    ws.DrawStatusBoard();
    ws.state.forgetEdits();
}

void Quit_Click(Workspace& ws) {
    fermer_Click(ws);
    if (refused(ws)) {
        return;
    }
    WriteSettings(ws);
    ws.endProgram();
}

void ouvrap_Click(Workspace& ws, int index) {
    fermer_Click(ws);
    if (refused(ws)) {
        return;
    }
    SelectRecentFile(ws, index);
    LoadDeployment(ws);
}

bool Form_QueryUnload(Workspace& ws) {
    ConfirmDiscardChanges(ws);
    return ws.state.ReturnMessage.isEmpty();
}

void Form_Unload(Workspace& ws) {
    WriteSettings(ws);
    ws.endProgram();
}

} // namespace vantrel
