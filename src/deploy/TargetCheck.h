#pragma once

#include "platform/Files.h"

#include <QString>

#include <optional>

namespace vantrel {

class Files;

// What a rule meets on a workstation, found without writing anything there.
struct TargetCheck {
    enum class Kind { Absent, Present, Unchanged, Failure };
    Kind kind = Kind::Absent;
    FileError error = FileError::None; // why, for a failure
};

// With --si-different, before a rule writes: Unchanged when the target holds the
// source's bytes; a target that cannot be read is the rule's failure; a missing
// target or folder is left for the copy to meet, as without the option.
TargetCheck compareBeforeCopy(Files& files, const QString& source, const QString& target);

// What path's folder lists under path's name (compared without regard to case):
// nothing when the folder has no such name; the listing's error when it cannot be
// listed.
FileError findListed(Files& files, const QString& path, std::optional<FolderEntry>& entry);

// For a preview: the target's folder is listed (missing, unreadable or unreachable,
// it is the failure a pass would meet; so is a folder of the target's name), then,
// when compare is asked and the target is there, its bytes compared with the source's.
TargetCheck inspectTarget(Files& files, const QString& source, const QString& target, bool compare);

} // namespace vantrel
