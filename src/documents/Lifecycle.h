#pragma once

#include <QString>

namespace vantrel {

class Workspace;

// Start sequence up to the settings: identity, program folder, settings file.
void StartProgram(Workspace& ws, const QString& commandLine);
// The logic part of the main window's load: caption, recent menu, command-line file.
void Form_Load(Workspace& ws);
// What follows the window's creation: help file check and caption.
void FinishStart(Workspace& ws);

void CheckCompanionFiles(Workspace& ws);
void ConfirmDiscardChanges(Workspace& ws);

void fermer_Click(Workspace& ws);
void Quit_Click(Workspace& ws);
void ouvrap_Click(Workspace& ws, int index);
// Returns true when the window may close.
bool Form_QueryUnload(Workspace& ws);
void Form_Unload(Workspace& ws);

bool refused(const Workspace& ws);
// True when path names a folder (not a file, not missing).
bool isFolder(Workspace& ws, const QString& path);

} // namespace vantrel
