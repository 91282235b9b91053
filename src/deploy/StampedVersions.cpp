#include "StampedVersions.h"

#include "Stamps.h"
#include "platform/System.h"

#include <algorithm>

namespace vantrel {
namespace {

QString folderOf(const QString& path) {
    return path.left(path.lastIndexOf(QLatin1Char('\\')));
}

QString nameOf(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('\\')) + 1);
}

} // namespace

FileError stampedVersions(System& system, const QString& target,
                          std::vector<StampedVersion>& newestFirst) {
    newestFirst.clear();
    std::vector<FolderEntry> entries;
    if (const FileError error = system.listFolder(folderOf(target), entries);
        error != FileError::None) {
        return error;
    }
    const QString name = nameOf(target);
    for (const FolderEntry& entry : entries) {
        if (entry.folder || !entry.name.startsWith(name, Qt::CaseInsensitive)) {
            continue;
        }
        const QString stamp = entry.name.mid(name.size());
        if (isRunStamp(stamp)) {
            newestFirst.push_back({stamp, stampTime(stamp), entry.size});
        }
    }
    std::sort(newestFirst.begin(), newestFirst.end(),
              [](const StampedVersion& a, const StampedVersion& b) { return a.time > b.time; });
    return FileError::None;
}

void keepNewestVersions(System& system, const QString& target, int kept) {
    std::vector<StampedVersion> versions;
    if (kept < 1 || stampedVersions(system, target, versions) != FileError::None) {
        return;
    }
    for (std::size_t i = static_cast<std::size_t>(kept); i < versions.size(); ++i) {
        system.removeFile(target + versions[i].stamp);
    }
}

} // namespace vantrel
