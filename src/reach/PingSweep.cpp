#include "PingSweep.h"

#include "core/Text.h"
#include "core/TextFile.h"
#include "core/Workspace.h"
#include "platform/CommandLines.h"

namespace vantrel {
namespace {

constexpr qint64 kMaxTranscriptBytes = 60000;

QString boardRow(const Workspace& ws, const QString& host, const QString& loss) {
    return fitToWidth(host, ws.state.NameColumnWidth) + QLatin1Char(';') +
           (QStringLiteral("    ") + loss).right(4) + QStringLiteral(";  Void  ");
}

// Reads and classifies one transcript; false when the sweep must stop.
bool classify(Workspace& ws, int index) {
    Lists& l = ws.lists;
    const QString host = l.L_PostesenCours.at(index);
    if (host.size() > ws.state.NameColumnWidth) {
        ws.inform(host + QStringLiteral("\r\nfait plus de lc caractères"),
                  QStringLiteral("Nom de poste trop long"), Icon::Information);
        return false;
    }
    const QString file = PingOutputFile(ws, index);
    QByteArray bytes;
    const FileError error = ws.system.readFile(file, bytes);
    if (error != FileError::None && error != FileError::TooLarge) {
        ws.inform(CommandLines::pingCommand(host, file) +
                      QStringLiteral("\r\nn'a pas pu s'exécuter"),
                  QStringLiteral("Erreur fatale"), Icon::Critical);
        return false;
    }
    if (error == FileError::TooLarge || bytes.size() > kMaxTranscriptBytes) {
        ws.inform(QStringLiteral("La taille doit être inférieure à 60ko"),
                  QStringLiteral("Fichier trop volumineux"));
        return false;
    }
    const QString loss =
        ExtractBetween(TextFile::decode(bytes), QStringLiteral("perte "), QStringLiteral("%)"));
    const bool reachable = leadingNumber(loss) <= 0 && loss != QLatin1String("####");
    if (reachable) {
        l.ListeGénérale.append(host + QStringLiteral(";Ping Ok"));
    } else {
        const QString line = host + QStringLiteral(";PingFail");
        l.ListeGénérale.append(line);
        l.L_PostesFail.append(line);
        l.L_GénéErreurs.append(line);
    }
    l.Listécritures.append(boardRow(ws, host, loss));
    return true;
}

} // namespace

QString ExtractBetween(const QString& text, const QString& startMarker, const QString& endMarker) {
    const qsizetype p = text.indexOf(startMarker);
    if (p < 0) {
        return QStringLiteral("####");
    }
    const qsizetype start = p + startMarker.size();
    const qsizetype q = text.indexOf(endMarker, p + 1);
    if (q < 0) {
        return QStringLiteral("####");
    }
    return q > start ? text.mid(start, q - start) : QString();
}

QString PingOutputFile(const Workspace& ws, int index) {
    return ws.state.RunFolder + QStringLiteral("\\ping") + QString::number(index) +
           QStringLiteral(".txt");
}

bool PingSweep(Workspace& ws) {
    Lists& l = ws.lists;
    ws.ui.setBusy(true);
    ClearList(l.Listécritures);
    ClearList(l.ListeGénérale);
    if (l.L_PostesenCours.isEmpty()) {
        ws.inform(QStringLiteral("La liste des postes est vide"),
                  QStringLiteral("Aucun poste à interroger"), Icon::Information);
        ws.ui.setBusy(false);
        return false;
    }
    if (ws.state.WorkstationListPath.isEmpty()) {
        ws.inform(QStringLiteral("La variable LocListePostes est vide"),
                  QStringLiteral("Enregistrer cette liste de postes"), Icon::Information);
        ws.ui.setBusy(false);
        return false;
    }
    for (int i = 0; i < l.L_PostesenCours.count(); ++i) {
        ws.system.startCommand(
            CommandLines::pingCommand(l.L_PostesenCours.at(i), PingOutputFile(ws, i)),
            WindowStyle::MinimizedWithFocus);
    }
    ws.clock.pause(10);
    // Whatever the load, every transcript is written by now; a reply not in counts as lost.
    ws.system.finishPings();
    if (ws.stopRequested()) {
        ws.ui.setBusy(false);
        return false;
    }
    for (int i = 0; i < l.L_PostesenCours.count(); ++i) {
        if (!classify(ws, i)) {
            ws.ui.setBusy(false);
            return false;
        }
    }
    ws.DrawStatusBoard();
    ws.ui.setBusy(false);
    return true;
}

} // namespace vantrel
