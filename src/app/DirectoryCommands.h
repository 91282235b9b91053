#pragma once

#include <QString>

namespace vantrel {

class Directory;
class Workspace;

// "--annuaire URL" alone: the enabled computers on stdout as a .LPO holds them, or the
// French reason on stderr; false when nothing was listed.
bool printDirectoryComputers(Directory& directory, const QString& url);

// A pass over the directory's computers: they replace the loaded workstation list (the
// .LPO on disk stays as it is); false, said, when the directory gives none.
bool takeDirectoryWorkstations(Workspace& ws, Directory& directory, const QString& url);

} // namespace vantrel
