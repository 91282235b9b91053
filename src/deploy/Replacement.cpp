#include "Replacement.h"

#include "Pass.h"
#include "platform/System.h"

namespace vantrel {
namespace {

// The mark of the program's own copies under way, here and in the backends.
const QString kCopyMark = QStringLiteral(".vantrel-");
// A copy younger than this may be another program's, still being written.
constexpr qint64 kLeftoverAgeSeconds = 60;

} // namespace

Replacement replaceKeepingAside(System& system, const QString& from, const QString& target,
                                const QString& aside, const QString& runStamp) {
    Replacement result;
    const QString incoming = target + kCopyMark + runStamp;
    result.error = system.copyFile(from, incoming);
    if (result.error != FileError::None) {
        result.liveKeptAside = !isLostWorkstation(result.error) && system.fileLength(target) >= 0;
        return result;
    }
    const FileError keptAside = system.renameFile(target, aside);
    result.liveKeptAside = keptAside == FileError::None;
    if (!result.liveKeptAside &&
        (isLostWorkstation(keptAside) ||
         (keptAside != FileError::FileNotFound && system.fileLength(target) >= 0))) {
        system.removeFile(incoming);
        result.error = keptAside;
        return result;
    }
    result.error = system.renameFile(incoming, target);
    if (result.error != FileError::None && !isLostWorkstation(result.error)) {
        system.removeFile(incoming);
        if (result.liveKeptAside) {
            system.renameFile(aside, target);
        }
    }
    return result;
}

void removeLeftoverCopies(System& system, const QString& target, const QDateTime& now) {
    std::vector<FolderEntry> entries;
    if (system.listFolder(folderOf(target), entries) != FileError::None) {
        return;
    }
    const QString prefix = nameOf(target) + kCopyMark;
    const QDateTime old = now.addSecs(-kLeftoverAgeSeconds);
    for (const FolderEntry& entry : entries) {
        if (!entry.folder && entry.modified.isValid() && entry.modified < old &&
            entry.name.startsWith(prefix, Qt::CaseInsensitive)) {
            system.removeFile(folderOf(target) + QLatin1Char('\\') + entry.name);
        }
    }
}

} // namespace vantrel
