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

TargetCheck inspectTarget(Files& files, const QString& source, const QString& target,
                          bool compare) {
    std::vector<FolderEntry> entries;
    if (const FileError error = files.listFolder(folderOf(target), entries);
        error != FileError::None) {
        return failure(error);
    }
    const QString name = nameOf(target);
    const auto found = std::find_if(entries.begin(), entries.end(), [&name](const FolderEntry& e) {
        return e.name.compare(name, Qt::CaseInsensitive) == 0;
    });
    if (found == entries.end()) {
        return {TargetCheck::Kind::Absent, FileError::None};
    }
    if (found->folder) {
        return failure(FileError::IsAFolder);
    }
    return compare ? compareBeforeCopy(files, source, target)
                   : TargetCheck{TargetCheck::Kind::Present, FileError::None};
}

} // namespace vantrel
