#include "DirectoryImport.h"

#include "core/Workspace.h"

namespace vantrel {

void importDirectoryListing(Workspace& ws, const QString& url, const DirectoryListing& listing) {
    ws.state.DirectoryUrl = url;
    if (!listing.error.isEmpty()) {
        ws.inform(listing.error, QStringLiteral("Importer de l'annuaire"), Icon::Critical);
        return;
    }
    ws.lists.ListePostes.assign(listing.names);
    ws.state.countEdit(ws.state.WorkstationEdits);
}

} // namespace vantrel
