#include "LaunchChecks.h"

#include "DeploymentRun.h"
#include "core/Text.h"
#include "core/Workspace.h"

#include <algorithm>

namespace vantrel {
namespace {

const QString kDeploymentFlag = QStringLiteral("Déploiement");

bool confirm(Workspace& ws, const QString& text, const QString& title) {
    Message question;
    question.text = text;
    question.title = title;
    question.icon = Icon::Question;
    question.buttons = Buttons::YesNo;
    question.defaultAnswer = Answer::Yes;
    return ws.ask(question) == Answer::Yes;
}

void warnEmptyList(Workspace& ws) {
    ws.inform(QStringLiteral("Attention liste de postes vide"),
              QStringLiteral("Cela ne va rien donner"), Icon::Information);
}

// Every start begins a cycle: "Faits" back to 0, every workstation of the list served.
void beginCycle(Workspace& ws) {
    ws.controls.setTentative(QStringLiteral("0"));
    ws.controls.setRécursifBackColour(DeploymentControls::kButtonFace);
}

} // namespace

QString rulesWarning(const Workspace& ws) {
    const Lists& l = ws.lists;
    QString w;
    if (l.ListeSource.count() != l.ListeDest.count()) {
        w = QStringLiteral("Les listes Source et Destination n'ont pas le même nombre d'éléments");
    }
    if (l.ListeSource.isEmpty()) {
        w += QStringLiteral("\r\nAucune règle de déploiement");
    }
    if (ws.state.RuleFilePath.isEmpty() && !l.ListeSource.isEmpty()) {
        w += QStringLiteral("\r\nLa liste de Règles n'est pas enregistrée");
    }
    return w;
}

bool checkWorkstationList(Workspace& ws) {
    beginCycle(ws);
    if (ws.lists.ListePostes.isEmpty()) {
        ws.inform(QStringLiteral("La liste des postes est vide"),
                  QStringLiteral("Aucun poste à mettre à jour"), Icon::Information);
        return false;
    }
    if (ws.state.WorkstationListPath.isEmpty()) {
        ws.inform(QStringLiteral("Enregistrer d'abord la liste de Postes"), QString(),
                  Icon::Information);
        return false;
    }
    return true;
}

LaunchOutcome Télédéploiement_Click(Workspace& ws, const PassSettings& settings) {
    if (!checkWorkstationList(ws)) {
        return LaunchOutcome::Refused;
    }
    const QString w = rulesWarning(ws);
    if (!w.isEmpty() && !confirm(ws, w + QStringLiteral("\r\nContinuer?"),
                                 QStringLiteral("Seul le 'Ping' sera effectué"))) {
        return LaunchOutcome::Refused;
    }
    if (!confirm(ws,
                 QStringLiteral("Lancer le déploiement le:") + timestampText(ws.clock.now()) +
                     QStringLiteral("\r\n%1 poste(s), %2 règle(s)")
                         .arg(ws.lists.ListePostes.count())
                         .arg(ws.lists.ListeSource.count()) +
                     QStringLiteral("\r\nContinuer?"),
                 QStringLiteral("Valider Date et Heure du déploiement"))) {
        return LaunchOutcome::Refused;
    }
    if (ws.controls.Différé()) {
        return LaunchOutcome::LeftToDeferredStart;
    }
    startDeployment(ws, settings);
    return LaunchOutcome::Started;
}

void Différé_Click(Workspace& ws) {
    if (!ws.controls.Différé()) {
        return;
    }
    if (ws.lists.ListePostes.isEmpty()) {
        warnEmptyList(ws);
    }
    ws.showDeferredStartDialog();
}

void StartPendingDeferredRun(Workspace& ws, const PassSettings& settings) {
    ws.controls.setDifféré(false);
    if (ws.lists.ListePostes.isEmpty() || ws.state.DeferredStartFlag != kDeploymentFlag) {
        return;
    }
    ws.state.DeferredStartFlag.clear();
    beginCycle(ws);
    startDeployment(ws, settings);
}

void Récursif_Click(Workspace& ws) {
    if (ws.lists.ListePostes.isEmpty()) {
        warnEmptyList(ws);
    }
    ws.controls.setRetryFieldsVisible(ws.controls.Récursif() > 0);
    ws.DrawStatusBoard();
}

void TimerRécursif_Timer(Workspace& ws, const PassSettings& settings) {
    DeploymentControls& c = ws.controls;
    const double delay = leadingNumber(c.Délai());
    if (delay == 0) {
        return;
    }
    ws.TimerRécursif.setDelayMinutes(delay);
    const double attempts = leadingNumber(c.Tentative());
    const PassRecords& cycle = ws.cycleRecords;
    // The cycle ends once none of its workstations has an error left.
    const bool anyError = std::any_of(cycle.begin(), cycle.end(),
                                      [](const WorkstationRecord& r) { return r.failed(); });
    if (anyError && c.Récursif() > 0 && attempts <= leadingNumber(c.Nbessais()) - 1) {
        c.setRécursifBackColour(DeploymentControls::kRetriedGreen);
        c.setTentative(QString::number(static_cast<qint64>(attempts) + 1));
        startDeployment(ws, settings);
    } else {
        ws.TimerRécursif.setEnabled(false);
    }
}

void deliverRetryTick(Workspace& ws, const PassSettings& settings) {
    ws.TimerRécursif.restartCount();
    TimerRécursif_Timer(ws, settings);
}

} // namespace vantrel
