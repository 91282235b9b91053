#include "ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <unistd.h>

namespace vantrel {
namespace {

// A build or an unpacked copy: a folder the user may write, not one of the system's
// (root may write /usr/lib/vantrel, but an installed program's passes are no system file).
bool isOwnFolder(const QString& folder) {
    return !folder.startsWith(QLatin1String("/usr/")) &&
           ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
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
    if (isOwnFolder(executableFolder)) {
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
