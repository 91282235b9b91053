#pragma once

#include "DirectoryListing.h"

namespace vantrel {

class Workspace;

// "Listes" > "Importer de l'annuaire…" once the directory answered: the workstation
// list becomes the directory's computers, an edit saved as any other; on an error the
// list stays and the reason is shown. The URL is remembered either way, to be offered
// again (and kept in the settings file).
void importDirectoryListing(Workspace& ws, const QString& url, const DirectoryListing& listing);

} // namespace vantrel
