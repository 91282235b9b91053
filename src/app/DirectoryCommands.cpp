#include "DirectoryCommands.h"

#include "core/Workspace.h"
#include "directory/DirectoryListing.h"

#include <QTextStream>

#include <cstdio>

namespace vantrel {

bool printDirectoryComputers(Directory& directory, const QString& url) {
    const DirectoryListing listing = listDirectoryComputers(directory, url);
    if (!listing.error.isEmpty()) {
        QTextStream(stderr) << "vantrel: " << listing.error << '\n';
        return false;
    }
    const QByteArray bytes = listingBytes(listing.names);
    const bool written = std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()),
                                     stdout) == static_cast<size_t>(bytes.size());
    return written && std::fflush(stdout) == 0;
}

bool takeDirectoryWorkstations(Workspace& ws, Directory& directory, const QString& url) {
    const DirectoryListing listing = listDirectoryComputers(directory, url);
    if (!listing.error.isEmpty()) {
        ws.inform(listing.error, QStringLiteral("Annuaire"), Icon::Critical);
        return false;
    }
    ws.lists.ListePostes.assign(listing.names);
    return true;
}

} // namespace vantrel
