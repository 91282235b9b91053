#pragma once

#include "platform/Files.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace vantrel {

class Files;

// How putting a new version in place went.
struct Replacement {
    FileError error = FileError::None;
    // A live target was there and was (or, had the copy not failed, would have been)
    // put aside.
    bool liveKeptAside = false;
};

// Puts from in place of target, keeping the live version under aside. The new
// version is first copied beside the target under a name of the program's own, then
// the live version gets aside as a second name (a hard link, or a copy), then the copy
// replaces the target in one rename: whenever the program stops, the target is the
// old version or the new one. A live version that cannot be kept aside is never
// replaced. A live file that cannot be replaced in place (a running program's, on
// Windows) is renamed aside and the copy renamed in its place, as Windows allows;
// when that last rename fails, the live version goes back.
Replacement replaceKeepingAside(Files& files, const QString& from, const QString& target,
                                const QString& aside, const QString& runStamp);

// The files of target's folder (as listed) whose names differ from target's only by
// case, when there are several: Windows sees one of them only (a folder of a Linux
// server may hold them all), and no rule replaces any of them. "" otherwise.
QStringList caseTwins(const std::vector<FolderEntry>& folder, const QString& target);
// Why a rule was refused for them, with their names.
QString caseTwinsText(const QStringList& twins);

// Removes the copies that a program stopped in the middle left beside target: names
// of the program's own pattern, older than a minute. What the folder held (nothing
// when it cannot be listed).
std::vector<FolderEntry> removeLeftoverCopies(Files& files, const QString& target,
                                              const QDateTime& now);

} // namespace vantrel
