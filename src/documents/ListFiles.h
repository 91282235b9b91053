#pragma once

#include "platform/FileError.h"

#include <QString>

namespace vantrel {

class StringList;
class Workspace;

// Fills list with the non-empty lines of path's folder + base name + extension.
// A file that cannot be read is not reported here: the caller decides.
FileError LoadListFromFile(Workspace& ws, StringList& list, const QString& path,
                           const QString& extension);
// Writes the non-empty entries of list; tells the operator when it cannot.
bool SaveListToFile(Workspace& ws, const StringList& list, const QString& path);

// The workstation-list (.LPO) and rule-file (.Rgl) commands of the main window.
void ChargeListePostes(Workspace& ws);
void ParcourPoste(Workspace& ws);
void EnregistreLPostes(Workspace& ws);
void ChargeRègle(Workspace& ws);
void EnregistreRègle(Workspace& ws);

} // namespace vantrel
