#include "Replacement.h"

#include "Pass.h"
#include "platform/NameLength.h"
#include "platform/System.h"

namespace vantrel {
namespace {

// The mark of the program's own copies under way, here and in the backends.
const QString kCopyMark = QStringLiteral(".vantrel-");
// A stamp, and the backends' own temporary suffix (".vantrel-partiel") after it.
constexpr qsizetype kRoomAfterMark = 15 + 16;
// A copy younger than this may be another program's, still being written.
constexpr qint64 kLeftoverAgeSeconds = 60;

// Where the names of the copies under way beside target begin (the copy mark
// included): the target's name, cut where a copy's name and the backend's temporary
// beside it would not fit in a Windows name, the same whatever the stamp.
QString copyPrefix(const QString& target) {
    return besideWithSuffix(target, kCopyMark + QString(kRoomAfterMark, QLatin1Char('0')))
        .chopped(kRoomAfterMark);
}

// Windows renames a running program's file but does not replace it.
bool inUse(FileError error) {
    return error == FileError::SharingViolation || error == FileError::AccessDenied;
}

// The two renames of old, for a live file that cannot be replaced in place: it goes
// aside, the new version takes its name, and comes back if that fails.
FileError replaceByTwoRenames(Files& files, const QString& incoming, const QString& target,
                              const QString& aside) {
    files.removeFile(aside); // the copy kept of it, in the way of the rename
    if (const FileError error = files.renameFile(target, aside); error != FileError::None) {
        files.removeFile(incoming);
        return error;
    }
    const FileError error = files.renameFile(incoming, target);
    if (error != FileError::None && !isLostWorkstation(error)) {
        files.removeFile(incoming);
        files.renameFile(aside, target);
    }
    return error;
}

} // namespace

Replacement replaceKeepingAside(Files& files, const QString& from, const QString& target,
                                const QString& aside, const QString& runStamp) {
    Replacement result;
    const QString incoming = copyPrefix(target) + runStamp;
    result.error = files.copyFile(from, incoming);
    if (result.error != FileError::None) {
        result.liveKeptAside = !isLostWorkstation(result.error) && files.fileLength(target) >= 0;
        return result;
    }
    // The live version gets its second name first: the live name is never missing.
    const FileError kept = files.linkFile(target, aside);
    result.liveKeptAside = kept == FileError::None;
    if (!result.liveKeptAside && kept != FileError::FileNotFound) {
        if (!isLostWorkstation(kept)) {
            files.removeFile(incoming);
        }
        result.error = kept;
        return result;
    }
    result.error = files.replaceFile(incoming, target);
    if (result.error == FileError::None || isLostWorkstation(result.error)) {
        return result;
    }
    if (result.liveKeptAside && inUse(result.error)) {
        result.error = replaceByTwoRenames(files, incoming, target, aside);
    } else {
        files.removeFile(incoming);
        if (result.liveKeptAside) {
            files.removeFile(aside); // nothing was replaced: nothing to keep
        }
    }
    return result;
}

QStringList caseTwins(const std::vector<FolderEntry>& folder, const QString& target) {
    QStringList alike;
    for (const FolderEntry& entry : folder) {
        if (!entry.folder && entry.name.compare(nameOf(target), Qt::CaseInsensitive) == 0) {
            alike.append(entry.name);
        }
    }
    alike.sort();
    return alike.size() > 1 ? alike : QStringList();
}

QString caseTwinsText(const QStringList& twins) {
    return describe(FileError::CaseTwins) + QStringLiteral(" (") +
           twins.join(QStringLiteral(", ")) + QLatin1Char(')');
}

std::vector<FolderEntry> removeLeftoverCopies(Files& files, const QString& target,
                                              const QDateTime& now) {
    std::vector<FolderEntry> entries;
    if (files.listFolder(folderOf(target), entries) != FileError::None) {
        return {};
    }
    const QString prefix = nameOf(copyPrefix(target));
    const QDateTime old = now.addSecs(-kLeftoverAgeSeconds);
    for (const FolderEntry& entry : entries) {
        if (!entry.folder && entry.modified.isValid() && entry.modified < old &&
            entry.name.startsWith(prefix, Qt::CaseInsensitive)) {
            files.removeFile(folderOf(target) + QLatin1Char('\\') + entry.name);
        }
    }
    return entries;
}

} // namespace vantrel
