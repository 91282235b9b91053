#include "Ouvrefichier.h"

#include "core/Paths.h"
#include "core/Workspace.h"

namespace vantrel {
namespace {

const QString kAllFiles = QStringLiteral("Tous fichiers (*.*)|*.*");

// Loading the hidden host form, on the first use of the dialog in a run.
void loadDialogHost(Workspace& ws) {
    WorkingState& s = ws.state;
    s.fileDialogHostLoaded = true;
    if (s.DialogExt.isEmpty()) {
        s.DialogExt = s.PathExt;
    }
    s.PathFolder =
        s.LastFolder.isEmpty() ? ws.system.currentFolder() : withoutFinalBackslash(s.LastFolder);
}

} // namespace

QString fileDialogFilter(const QString& extension) {
    if (extension.isEmpty()) {
        return kAllFiles;
    }
    QString e = extension;
    if (e.startsWith(QLatin1Char('*'))) {
        e.remove(0, 1);
    }
    if (!e.startsWith(QLatin1Char('.'))) {
        e.prepend(QLatin1Char('.'));
    }
    return QStringLiteral("Fichier (") + e + QStringLiteral(")|*") + e + QLatin1Char('|') +
           kAllFiles;
}

QString Ouvrefichier(Workspace& ws, const QString& caption, const QString& initialPath,
                     const QString& extension) {
    WorkingState& s = ws.state;
    QString initial = initialPath;
    if (initial.isEmpty()) {
        initial = s.ProgramDir.isEmpty() ? ws.system.currentFolder()
                                         : withoutFinalBackslash(s.ProgramDir);
    }
    const bool open = caption.startsWith(QLatin1Char('C'));
    if (!open && !caption.startsWith(QLatin1Char('E'))) {
        ws.inform(QStringLiteral("Scaption ne commence ni par C ni par E"),
                  QStringLiteral("Ouvrefichier ne sat pas quoi faire"));
        return QString();
    }
    const QString filter = fileDialogFilter(extension);
    SplitFilePath(ws, initial);
    if (!s.fileDialogHostLoaded) {
        loadDialogHost(ws);
    }

    FileDialogRequest request;
    request.mode = open ? FileDialogRequest::Mode::Open : FileDialogRequest::Mode::Save;
    request.title = caption;
    request.initialFolder = s.PathFolder;
    request.filter = filter;
    request.proposedName = s.PathBaseName + s.PathExt;
    const QString result = ws.ui.chooseFile(request);
    SplitFilePath(ws, result);
    return result;
}

} // namespace vantrel
