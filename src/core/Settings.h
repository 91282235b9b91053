#pragma once

#include <QString>

namespace vantrel {

class Workspace;

// The screen check, the command-line argument and the settings file Vantrel.INI.
void ReadSettings(Workspace& ws, const QString& commandLine);
void WriteSettings(Workspace& ws);
void AddRecentFile(Workspace& ws, const QString& path);

// Moves CurrentFilePath to the top of the recent-file menu.
void UpdateRecentMenu(Workspace& ws);
// Makes the deployment of recent entry index current.
void SelectRecentFile(Workspace& ws, int index);

QString settingsFilePath(const Workspace& ws);

} // namespace vantrel
