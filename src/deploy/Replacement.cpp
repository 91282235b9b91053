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

Replacement replaceKeepingAside(Files& files, const QString& from, const QString& target,
                                const QString& aside, const QString& runStamp) {
    Replacement result;
    const QString incoming = target + kCopyMark + runStamp;
    result.error = files.copyFile(from, incoming);
    if (result.error != FileError::None) {
        result.liveKeptAside = !isLostWorkstation(result.error) && files.fileLength(target) >= 0;
        return result;
    }
    const FileError keptAside = files.renameFile(target, aside);
    result.liveKeptAside = keptAside == FileError::None;
    if (!result.liveKeptAside &&
        (isLostWorkstation(keptAside) ||
         (keptAside != FileError::FileNotFound && files.fileLength(target) >= 0))) {
        files.removeFile(incoming);
        result.error = keptAside;
        return result;
    }
    result.error = files.renameFile(incoming, target);
    if (result.error != FileError::None && !isLostWorkstation(result.error)) {
        files.removeFile(incoming);
        if (result.liveKeptAside) {
            files.renameFile(aside, target);
        }
    }
    return result;
}

void removeLeftoverCopies(Files& files, const QString& target, const QDateTime& now) {
    std::vector<FolderEntry> entries;
    if (files.listFolder(folderOf(target), entries) != FileError::None) {
        return;
    }
    const QString prefix = nameOf(target) + kCopyMark;
    const QDateTime old = now.addSecs(-kLeftoverAgeSeconds);
    for (const FolderEntry& entry : entries) {
        if (!entry.folder && entry.modified.isValid() && entry.modified < old &&
            entry.name.startsWith(prefix, Qt::CaseInsensitive)) {
            files.removeFile(folderOf(target) + QLatin1Char('\\') + entry.name);
        }
    }
}

} // namespace vantrel
