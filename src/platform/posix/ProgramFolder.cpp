#include "ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <unistd.h>

namespace vantrel {
namespace {

bool isWritableFolder(const QString& folder) {
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

// The help file (_NAME.VTR) and the board's lights go with the program.
void copyCompanions(const QString& from, const QString& to) {
    const QDir source(from);
    for (const QString& name :
         source.entryList({QStringLiteral("_*.VTR"), QStringLiteral("*.bmp")}, QDir::Files)) {
        if (!QFile::exists(to + QLatin1Char('/') + name)) {
            QFile::copy(source.filePath(name), to + QLatin1Char('/') + name);
        }
    }
}

} // namespace

QString programFolder(const QString& environmentHome, const QString& executableFolder) {
    if (!environmentHome.isEmpty()) {
        return environmentHome;
    }
    if (isWritableFolder(executableFolder)) {
        return executableFolder;
    }
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty()) {
        return QString();
    }
    const QString folder = data + QStringLiteral("/vantrel");
    if (!QDir().mkpath(folder)) {
        return QString();
    }
    copyCompanions(executableFolder, folder);
    return folder;
}

} // namespace vantrel
