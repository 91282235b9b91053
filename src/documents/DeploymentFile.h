#pragma once

#include <QString>

namespace vantrel {

class Workspace;

// RulesIncomplete: loaded, but a rule line without ";" was left out (and reported).
enum class LoadResult {
    Loaded,
    RulesIncomplete,
    DeploymentMissing,
    WorkstationListMissing,
    RuleFileMissing
};

// The .VTR document: load, save with a one-generation .BAK, save under a new name.
void ChargeDéploiement(Workspace& ws);
// The window's caption: the program, the deployment and its number of rows.
void RefreshCaption(Workspace& ws);
// Makes path the current deployment, without reading it.
void SelectDeployment(Workspace& ws, const QString& path);
LoadResult LoadDeployment(Workspace& ws);
// Returns true when the deployment file was written.
bool EnregistreDéploiement(Workspace& ws);
void MakeBackup(Workspace& ws, const QString& path);
bool Enregistrersous(Workspace& ws);

} // namespace vantrel
