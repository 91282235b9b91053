#pragma once

#include <QDateTime>
#include <QString>

#include <algorithm>
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
    QString DirectoryUrl; // the directory the workstation list was last imported from
    qint16 ModifiedCount = 0;
    qint16 AddedCount = 0;
    qint16 ImportCount = 0;
    // The edits of each list since that list was last written: saving the deployment
    // alone leaves them pending.
    qint16 WorkstationEdits = 0;
    qint16 RuleEdits = 0;
    qint16 NameColumnWidth = 0;
    // A pass changed the status rows since the deployment was loaded or saved.
    bool unsavedResults = false;
    // The deployment file as last read or written here, and its time then: a save
    // that finds another time there asks before writing over it.
    QString diskCopyPath;
    QDateTime diskCopyTime;
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

    void countEdit(qint16& listEdits) {
        ++ModifiedCount;
        ++listEdits;
    }
    void listWritten(qint16& listEdits) {
        ModifiedCount = static_cast<qint16>(std::max(0, ModifiedCount - listEdits));
        listEdits = 0;
    }
    void forgetEdits() {
        ModifiedCount = AddedCount = ImportCount = 0;
        WorkstationEdits = RuleEdits = 0;
        unsavedResults = false;
    }
};

} // namespace vantrel
