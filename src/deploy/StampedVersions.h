#pragma once

#include "platform/FileError.h"

#include <QDateTime>
#include <QString>

#include <vector>

namespace vantrel {

class System;

// A version of a target that a pass put aside on a workstation: the target's name
// followed by the pass's stamp, in the target's folder.
struct StampedVersion {
    QString stamp;
    QDateTime time;
    qint64 size = 0;
};

// The stamped versions of target, newest first (stamps compare by the time they
// stand for). Names that are the target's followed by anything else are not its.
FileError stampedVersions(System& system, const QString& target,
                          std::vector<StampedVersion>& newestFirst);

// Deletes all but the kept newest stamped versions of target.
void keepNewestVersions(System& system, const QString& target, int kept);

} // namespace vantrel
