#pragma once

#include <QString>

#include <array>

namespace vantrel {

// The program-wide variables, created empty at start.
struct WorkingState {
    QString ProgramName;
    QString ProgramDir;
    QString DeploymentExt;
    QString CurrentFilePath;
    QString LastFolder;
    QString DeploymentFileName;
    QString DeploymentName;
    QString WorkstationListPath;
    QString RuleFilePath;
    QString PathFolder;
    QString PathBaseName;
    QString PathExt;
    QString DialogExt;
    QString ReturnMessage;
    QString LineBuffer;
    std::array<QString, 11> RecentFiles;
    QString ManagementFolder;
    qint16 ModifiedCount = 0;
    qint16 AddedCount = 0;
    qint16 ImportCount = 0;
    qint16 NameColumnWidth = 0;
    QString DeferredStartFlag;
    QString FieldSeparator;

    // Fields of the main window that outlive one command.
    QString RunFolder;
    QString RunStartText;
    QString RunStamp;
    QString ExportText;
    QString SourceBrowseFolder;
    QString DestBrowseFolder;
    bool fileDialogHostLoaded = false; // the hidden form Ouverture
    // Stamped versions a pass keeps of each target it replaces; 0 keeps them all.
    int keptVersions = 0;
    // What kind of pass the journal tells of, on its first line; "" for a deployment.
    QString passHeading;
};

} // namespace vantrel
