#include "Settings.h"

#include "Paths.h"
#include "Text.h"
#include "TextFile.h"
#include "Workspace.h"

namespace vantrel {
namespace {

const QString kLastFolderKey = QStringLiteral("LastChemin");
const QString kManagementKey = QStringLiteral("ChemGestio");
const QString kRecentKey = QStringLiteral("Lastfich");
const QString kDirectoryKey = QStringLiteral("LastAnnuai");
constexpr int kValueStart = 10; // every value starts at the 11th character

} // namespace

QString settingsFilePath(const Workspace& ws) {
    return ws.state.ProgramDir + ws.state.ProgramName + QStringLiteral(".INI");
}

void ReadSettings(Workspace& ws, const QString& commandLine) {
    WorkingState& s = ws.state;
    if (ws.ui.screenSizeTwips().height() < 9000) {
        ws.inform(QStringLiteral("Pour utiliser comfortablement ") + s.ProgramName +
                      QStringLiteral(" il est conseillé de régler la résolution de l'écran à au "
                                     "moins 800x600 "),
                  QStringLiteral("Votre écran a une résolution de 640x400"));
    }

    s.CurrentFilePath = commandLine;
    SplitFilePath(ws, s.CurrentFilePath);
    s.DeploymentName = s.PathBaseName;
    if (!s.CurrentFilePath.trimmed().isEmpty()) {
        StripChar(s.CurrentFilePath, QLatin1Char('"'));
        s.CurrentFilePath = trimBlanks(s.CurrentFilePath);
        s.RecentFiles[0] = s.CurrentFilePath;
    }

    QStringList lines;
    if (TextFile::readLines(ws.system, settingsFilePath(ws), lines) != FileError::None) {
        return;
    }
    for (const QString& line : lines) {
        s.LineBuffer = line;
        if (line.startsWith(kLastFolderKey)) {
            s.LastFolder = line.mid(kValueStart);
        }
        if (line.startsWith(kManagementKey)) {
            s.ManagementFolder = line.mid(kValueStart);
        }
        if (line.startsWith(kRecentKey)) {
            AddRecentFile(ws, line.mid(kValueStart));
        }
        if (line.startsWith(kDirectoryKey)) {
            s.DirectoryUrl = line.mid(kValueStart);
        }
    }
}

void AddRecentFile(Workspace& ws, const QString& path) {
    auto& recent = ws.state.RecentFiles;
    if (path == recent[0]) {
        return;
    }
    for (QString& slot : recent) {
        if (slot.isEmpty()) {
            slot = path;
            return;
        }
    }
}

void WriteSettings(Workspace& ws) {
    const WorkingState& s = ws.state;
    QStringList lines;
    if (!s.LastFolder.isEmpty()) {
        lines.append(kLastFolderKey + s.LastFolder);
    }
    if (!s.ManagementFolder.isEmpty()) {
        lines.append(kManagementKey + s.ManagementFolder);
    }
    if (!s.DirectoryUrl.isEmpty()) {
        lines.append(kDirectoryKey + s.DirectoryUrl);
    }
    for (int i = 0; i < Workspace::kRecentEntries; ++i) {
        if (!ws.ouvrap.at(i).isEmpty()) {
            lines.append(kRecentKey + numberText(i) + ws.ouvrap.at(i));
        }
    }
    if (TextFile::writeLines(ws.system, settingsFilePath(ws), lines) != FileError::None) {
        ws.inform(settingsFilePath(ws) + QStringLiteral("\r\nn'est pas un nom de fichier valide"),
                  QStringLiteral("Erreur d'écriture"));
    }
}

void UpdateRecentMenu(Workspace& ws) {
    WorkingState& s = ws.state;
    if (!s.CurrentFilePath.isEmpty()) {
        const QString longForm = LongPath(ws, s.CurrentFilePath);
        SplitFilePath(ws, s.CurrentFilePath);
        s.LastFolder = s.PathFolder;
        s.DeploymentFileName = s.PathBaseName + s.PathExt;
        if (!longForm.isEmpty()) {
            s.CurrentFilePath = longForm;
        }
    }
    if (ws.ouvrap[0] == s.CurrentFilePath || s.CurrentFilePath.isEmpty()) {
        return;
    }
    constexpr int n = Workspace::kRecentEntries;
    int k = n - 1;
    for (int i = 1; i <= n - 1; ++i) {
        if (ws.ouvrap.at(i - 1) == s.CurrentFilePath) {
            k = i - 1;
            break;
        }
    }
    for (int j = k; j >= 1; --j) {
        ws.setRecentCaption(j, ws.ouvrap.at(j - 1));
    }
    ws.setRecentCaption(0, s.CurrentFilePath);
}

void SelectRecentFile(Workspace& ws, int index) {
    WorkingState& s = ws.state;
    s.CurrentFilePath = LongPath(ws, ws.ouvrap.at(index));
    SplitFilePath(ws, s.CurrentFilePath);
    s.LastFolder = s.PathFolder;
    s.DeploymentFileName = s.PathBaseName + s.PathExt;
    s.DeploymentName = s.PathBaseName;
}

} // namespace vantrel
