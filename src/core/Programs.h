#pragma once

#include <QString>

namespace vantrel {

class Workspace;

// The program that opens files of this extension (or of this file's extension);
// "" after telling the operator that there is none.
QString FindAssociatedProgram(Workspace& ws, const QString& extensionOrPath);

// Starts the associated program on path, or says why it cannot.
void OpenWithAssociatedProgram(Workspace& ws, const QString& path);

// "Appeler" > "Calculette" and "Bloc note".
void calculette_Click(Workspace& ws);
void notepad_Click(Workspace& ws);

} // namespace vantrel
