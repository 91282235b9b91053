#include "DirectoryImportDialog.h"

#include "core/Workspace.h"
#include "directory/DirectoryImport.h"
#include "platform/Directory.h"

#include <QInputDialog>
#include <QPointer>
#include <QThread>

#include <memory>

namespace vantrel {

void importFromDirectory(QWidget* parent, Workspace& ws) {
    if (ws.passRunning()) {
        return; // the list a pass serves changes after it
    }
    bool ok = false;
    const QString url =
        QInputDialog::getText(parent, QStringLiteral("Importer de l'annuaire"),
                              QStringLiteral("URL LDAP des postes, par exemple\n"
                                             "ldap:///OU=Postes,DC=atelier,DC=test"),
                              QLineEdit::Normal, ws.state.DirectoryUrl, &ok)
            .trimmed();
    if (!ok || url.isEmpty()) {
        return;
    }
    auto listing = std::make_shared<DirectoryListing>();
    QThread* reader = QThread::create([url, listing] {
        const std::unique_ptr<Directory> directory = createDirectory();
        *listing = listDirectoryComputers(*directory, url);
    });
    ws.ui.setBusy(true);
    QPointer<QWidget> window(parent);
    QObject::connect(reader, &QThread::finished, parent, [&ws, url, listing, reader, window] {
        reader->deleteLater();
        ws.ui.setBusy(false);
        if (window && !ws.passRunning()) {
            importDirectoryListing(ws, url, *listing);
        }
    });
    reader->start();
}

} // namespace vantrel
