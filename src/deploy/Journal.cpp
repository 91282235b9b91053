#include "Journal.h"

#include "ResultLines.h"
#include "core/Paths.h"
#include "core/Text.h"
#include "core/TextFile.h"
#include "core/Workspace.h"
#include "platform/CommandLines.h"

#include <algorithm>
#include <optional>

namespace vantrel {
namespace {

const QString kJournalName = QStringLiteral("\\Infos Déploiement.txt");
const QString kBanner = QStringLiteral("*       Logiciel Van_trel      *");
const QString kSeparator(83, QLatin1Char('*'));
constexpr int kNameFieldWidth = 30;
constexpr int kDestinationColumn = 43; // the fourth 14-column print zone, 1-based

void appendList(QStringList& lines, const StringList& list) {
    lines.append(list.entries());
}

void appendRuleBlock(const Lists& l, QStringList& lines) {
    QString folder;
    // The names as the rules give them: a name no share takes is not renamed, its
    // rule fails.
    for (int i = 0; i < l.ListeSource.count(); ++i) {
        const FilePathParts parts = filePathParts(l.ListeSource.at(i));
        if (!parts.folder.isEmpty() && parts.folder != folder) {
            lines.append(parts.folder);
            folder = parts.folder;
        }
        const QString name =
            (parts.baseName + QString(27, QLatin1Char(' ')) + QStringLiteral("..."))
                .left(kNameFieldWidth);
        const QString destination = i < l.ListeDest.count() ? l.ListeDest.at(i) : QString();
        lines.append(fitToWidth(name, kDestinationColumn - 1) + destination);
    }
}

// None while more attempts are to come.
std::optional<Message> endOfRunMessage(Workspace& ws) {
    const int errors = errorCount(ws.cycleRecords);
    const DeploymentControls& c = ws.controls;
    const QString now = timestampText(ws.clock.now());
    Message m;
    m.icon = Icon::Question;
    m.buttons = Buttons::YesNo;
    m.defaultAnswer = Answer::Yes;
    m.id = MessageId::OpenJournal;
    if (errors == 0) {
        m.text = QStringLiteral(
            "Déploiement parfait; aucune erreur; Voulez-vous ouvrir le journal du déploiement");
        m.title = QStringLiteral("Déploiement terminé le: ") + now;
    } else if (c.Récursif() == 0) {
        m.text = QStringLiteral("Ce déploiement comporte ") + numberText(errors) +
                 QStringLiteral(" erreurs\r\n\r\nVous pouvez les afficher par le menu 'Listes' "
                                "'Erreurs'\r\n ou consulter le journal du déploiement\r\nOuvrir "
                                "le journal?");
        m.title = QStringLiteral("Fin du déploiement le: ") + now;
    } else if (leadingNumber(c.Nbessais()) <= leadingNumber(c.Tentative())) {
        m.text = QStringLiteral("Après ") + c.Tentative() +
                 QStringLiteral(" tentatives ce déploiement comporte ") + numberText(errors) +
                 QStringLiteral(" erreurs\r\nVous pouvez les afficher par le menu 'Listes' "
                                "'Erreurs'\r\nou consulter le journal du déploiement\r\nOuvrir "
                                "le journal?");
        m.title = QStringLiteral("Fin du déploiement le: ") + now;
    } else {
        return std::nullopt;
    }
    return m;
}

bool stoppedBeforeItsEnd(const PassRecords& records) {
    return std::any_of(records.begin(), records.end(), [](const WorkstationRecord& r) {
        return r.fate == WorkstationRecord::Fate::NotReached;
    });
}

} // namespace

QStringList journalLines(Workspace& ws, const QString& heading, const QStringList& notes) {
    const Lists& l = ws.lists;
    const DeploymentControls& c = ws.controls;
    const QString stars(kBanner.size(), QLatin1Char('*'));
    QStringList lines{stars, kBanner, stars, QString()};
    if (!heading.isEmpty()) {
        lines.append(heading);
    }
    lines.append(ws.state.RunStartText);
    lines.append(QStringLiteral("Fin du déploiement le: ") + timestampText(ws.clock.now()));
    if (stoppedBeforeItsEnd(ws.passRecords)) {
        lines.append(QStringLiteral("Déploiement arrêté avant sa fin : les postes marqués \"") +
                     kNotDone + QStringLiteral("\" n'ont pas reçu toutes leurs règles"));
    }
    if (c.Récursif() > 0) {
        lines.append(QStringLiteral("Ce déploiement comportait ") + c.Nbessais() +
                     QStringLiteral("essais séparés de ") + c.Délai() + QStringLiteral("mn;  ") +
                     c.Tentative() + QStringLiteral(" tentatives ont été effectuées"));
    }
    lines.append(QStringLiteral("Ce déploiement comporte ") + numberText(l.L_GénéErreurs.count()) +
                 QStringLiteral(" erreurs listées ci-dessous"));
    lines.append(kSeparator);
    appendList(lines, l.L_GénéErreurs);
    lines.append(kSeparator);
    lines.append(QStringLiteral("Listes des ") + numberText(l.ListePostes.count()) +
                 QStringLiteral(" postes"));
    appendList(lines, l.ListePostes);
    lines.append(kSeparator);
    const QStringList sameWorkstations = sameWorkstationLines(ws.passRecords);
    if (!sameWorkstations.isEmpty()) {
        lines.append(QStringLiteral("Postes listés sous plusieurs noms, servis une seule fois"));
        lines.append(sameWorkstations);
        lines.append(kSeparator);
    }
    lines.append(QStringLiteral("Liste des ") + numberText(l.ListeSource.count()) +
                 QStringLiteral(" sources et destinations"));
    appendRuleBlock(ws.lists, lines);
    lines.append(kSeparator);
    if (!notes.isEmpty()) {
        lines.append(notes);
        lines.append(kSeparator);
    }
    lines.append(QStringLiteral("Listes des ") + numberText(l.L_PostesOk.count()) +
                 QStringLiteral(" postes mis à jour"));
    appendList(lines, l.L_PostesOk);
    lines.append(kSeparator);
    return lines;
}

void WriteDeploymentJournal(Workspace& ws, const QString& heading, const QStringList& notes,
                            const QString& emptyHanded) {
    const QString journal = ws.state.RunFolder + kJournalName;
    const QStringList said = emptyHanded.isEmpty() ? notes : notes + QStringList{emptyHanded};
    if (TextFile::writeLines(ws.system, journal, journalLines(ws, heading, said)) !=
        FileError::None) {
        return;
    }
    if (stoppedBeforeItsEnd(ws.passRecords)) {
        return; // the program is ending: no question
    }
    if (!emptyHanded.isEmpty()) {
        ws.inform(emptyHanded,
                  QStringLiteral("Fin du déploiement le: ") + timestampText(ws.clock.now()),
                  Icon::Information);
        return;
    }
    const std::optional<Message> message = endOfRunMessage(ws);
    if (message && ws.ask(*message) == Answer::Yes) {
        ws.system.startCommand(CommandLines::textEditorCommand(journal), WindowStyle::Normal);
    }
}

} // namespace vantrel
