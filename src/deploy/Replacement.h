#pragma once

#include "platform/FileError.h"

#include <QDateTime>
#include <QString>

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
// the live version is renamed aside, then the copy renamed in place: whenever the
// program stops, the target is either the old version or the new one. A live version
// that cannot be put aside is never replaced; when the last step fails, the live
// version goes back.
Replacement replaceKeepingAside(Files& files, const QString& from, const QString& target,
                                const QString& aside, const QString& runStamp);

// Removes the copies that a program stopped in the middle left beside target: names
// of the program's own pattern, older than a minute.
void removeLeftoverCopies(Files& files, const QString& target, const QDateTime& now);

} // namespace vantrel
