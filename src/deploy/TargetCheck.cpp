#include "TargetCheck.h"

#include "Pass.h"
#include "platform/System.h"

#include <algorithm>
#include <vector>

namespace vantrel {
namespace {

TargetCheck failure(FileError error) {
    return {TargetCheck::Kind::Failure, error};
}

} // namespace

TargetCheck compareBeforeCopy(Files& files, const QString& source, const QString& target) {
    bool same = false;
    const FileError error = files.sameContents(source, target, same);
    if (error == FileError::FileNotFound || error == FileError::PathNotFound) {
        return {TargetCheck::Kind::Absent, FileError::None};
    }
    if (error != FileError::None) {
        return failure(error);
    }
    return {same ? TargetCheck::Kind::Unchanged : TargetCheck::Kind::Present, FileError::None};
}

FileError findListed(Files& files, const QString& path, std::optional<FolderEntry>& entry) {
    entry.reset();
    std::vector<FolderEntry> entries;
    if (const FileError error = files.listFolder(folderOf(path), entries);
        error != FileError::None) {
        return error;
    }
    const QString name = nameOf(path);
    const auto found = std::find_if(entries.begin(), entries.end(), [&name](const FolderEntry& e) {
        return e.name.compare(name, Qt::CaseInsensitive) == 0;
    });
    if (found != entries.end()) {
        entry = *found;
    }
    return FileError::None;
}

TargetCheck inspectTarget(Files& files, const QString& source, const QString& target,
                          bool compare) {
    std::optional<FolderEntry> found;
    if (const FileError error = findListed(files, target, found); error != FileError::None) {
        return failure(error);
    }
    if (!found) {
        return {TargetCheck::Kind::Absent, FileError::None};
    }
    if (found->folder) {
        return failure(FileError::IsAFolder);
    }
    return compare ? compareBeforeCopy(files, source, target)
                   : TargetCheck{TargetCheck::Kind::Present, FileError::None};
}

} // namespace vantrel
