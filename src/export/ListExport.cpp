#include "ListExport.h"

#include "core/Programs.h"
#include "core/TextFile.h"
#include "core/Workspace.h"
#include "platform/CommandLines.h"

namespace vantrel {
namespace {

void showList(Workspace& ws, const StringList& source) {
    StringList& shown = ws.lists.ListExport;
    CopyList(source, shown);
    if (!shown.isEmpty()) {
        shown.setVisible(true);
    }
}

// The guard of every export: false (after saying so) when there is nothing shown.
bool listShown(Workspace& ws) {
    const StringList& shown = ws.lists.ListExport;
    if (shown.isEmpty() || !shown.isVisible()) {
        ws.inform(QStringLiteral("Liste vide"), QStringLiteral("Rien à copier"), Icon::Information);
        return false;
    }
    return true;
}

// Writes the export into a temporary file, lets open() hand it to a program,
// leaves that program five seconds to read it, then removes it (the window goes on
// meanwhile).
template <typename Open> void exportThroughFile(Workspace& ws, const QString& file, Open open) {
    if (!listShown(ws)) {
        return;
    }
    CopyListToClipboard(ws, ws.lists.ListExport);
    if (TextFile::writeText(ws.system, file, ws.state.ExportText + QStringLiteral("\r\n")) !=
        FileError::None) {
        ws.inform(
            QStringLiteral("Impossible d'écrire le fichier ") + file +
                QStringLiteral(" dans le dossier courant\r\nLa liste est dans le presse-papier"),
            QStringLiteral("Exportation impossible"), Icon::Information);
        return;
    }
    open();
    ws.clock.callLater(5, [&ws, file] { ws.system.removeFile(file); });
}

} // namespace

void erreursPing(Workspace& ws) {
    showList(ws, ws.lists.L_PostesFail);
}

void généErreurs(Workspace& ws) {
    showList(ws, ws.lists.L_GénéErreurs);
}

void masqerreurs(Workspace& ws) {
    ws.lists.ListExport.setVisible(false);
    ClearList(ws.lists.ListExport);
}

void CopyListToClipboard(Workspace& ws, const StringList& list) {
    ws.ui.clearClipboard();
    ws.state.ExportText = TextFile::joinLines(list.entries());
    ws.ui.setClipboardText(ws.state.ExportText);
}

void Versclipboard(Workspace& ws) {
    if (listShown(ws)) {
        CopyListToClipboard(ws, ws.lists.ListExport);
    }
}

void VoirErreursnotepad(Workspace& ws) {
    const QString file = QStringLiteral("tempo.txt");
    exportThroughFile(ws, file, [&ws, &file] {
        ws.system.startCommand(CommandLines::textEditorCommand(file), WindowStyle::Normal);
    });
}

void dansTableur(Workspace& ws) {
    const QString file = QStringLiteral("tempo.xls");
    exportThroughFile(ws, file, [&ws, &file] { OpenWithAssociatedProgram(ws, file); });
}

} // namespace vantrel
