#include "StampedVersions.h"

#include "Pass.h"
#include "Stamps.h"
#include "platform/System.h"

#include <QHash>

#include <algorithm>

namespace vantrel {
namespace {

// A version stamped this far after the clock is not a pass of this clock's.
constexpr qint64 kFutureToleranceSeconds = 60;

// The versions of the file named name among a folder's entries, newest first.
std::vector<StampedVersion> versionsAmong(const QString& name,
                                          const std::vector<FolderEntry>& entries,
                                          const StampOrder& order) {
    std::vector<StampedVersion> newestFirst;
    for (const FolderEntry& entry : entries) {
        if (entry.folder || !entry.name.startsWith(name, Qt::CaseInsensitive)) {
            continue;
        }
        const QString stamp = entry.name.mid(name.size());
        if (isRunStamp(stamp)) {
            const QDateTime wallTime = stampWallTime(stamp);
            newestFirst.push_back({stamp, wallTime, order.place(wallTime), entry.size});
        }
    }
    std::sort(newestFirst.begin(), newestFirst.end(),
              [](const StampedVersion& a, const StampedVersion& b) { return b.place < a.place; });
    return newestFirst;
}

void pruneVersions(Files& files, const QString& target, const std::vector<FolderEntry>& entries,
                   const KeptVersions& keep) {
    const std::vector<StampedVersion> versions = versionsAmong(nameOf(target), entries, keep.order);
    const auto own = [&keep](const StampedVersion& v) { return v.stamp == keep.ownStamp; };
    // The version this pass has just put aside is the newest, wherever its stamp ranks.
    int place = std::any_of(versions.begin(), versions.end(), own) ? 1 : 0;
    const qint64 futureMs = keep.now.toMSecsSinceEpoch() + kFutureToleranceSeconds * 1000;
    for (const StampedVersion& version : versions) {
        if (own(version) || version.place.instantMs > futureMs ||
            version.place.placed == StampOrder::Placed::Undecided) {
            continue;
        }
        if (++place > keep.count) {
            files.removeFile(target + version.stamp);
        }
    }
}

} // namespace

FileError stampedVersions(Files& files, const QString& target, const StampOrder& order,
                          std::vector<StampedVersion>& newestFirst) {
    newestFirst.clear();
    std::vector<FolderEntry> entries;
    if (const FileError error = files.listFolder(folderOf(target), entries);
        error != FileError::None) {
        return error;
    }
    newestFirst = versionsAmong(nameOf(target), entries, order);
    return FileError::None;
}

void keepNewestVersions(Files& files, const QStringList& targets, const KeptVersions& keep) {
    if (keep.count < 1) {
        return;
    }
    // Each folder is listed once, however many of its files were replaced.
    QHash<QString, QStringList> byFolder;
    QStringList folders;
    for (const QString& target : targets) {
        const QString folder = folderOf(target);
        const QString key = folder.toLower();
        if (!byFolder.contains(key)) {
            folders.append(folder);
        }
        byFolder[key].append(target);
    }
    for (const QString& folder : folders) {
        std::vector<FolderEntry> entries;
        if (files.listFolder(folder, entries) != FileError::None) {
            continue;
        }
        for (const QString& target : byFolder.value(folder.toLower())) {
            pruneVersions(files, target, entries, keep);
        }
    }
}

} // namespace vantrel
