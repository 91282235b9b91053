#pragma once

#include "platform/FileError.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

namespace vantrel {

class Files;

// A version of a target that a pass put aside on a workstation: the target's name
// followed by the pass's stamp, in the target's folder.
struct StampedVersion {
    QString stamp;
    QDateTime time;
    qint64 size = 0;
};

// The stamped versions of target, newest first (stamps compare by the time they
// stand for). Names that are the target's followed by anything else are not its.
FileError stampedVersions(Files& files, const QString& target,
                          std::vector<StampedVersion>& newestFirst);

// What a pass keeps of the versions it replaced.
struct KeptVersions {
    int count = 0;    // the newest so many; 0 keeps them all
    QString ownStamp; // this pass's stamp: its own versions are never deleted
    QDateTime now;
};

// Deletes all but the kept newest stamped versions of each target, listing each folder
// once. The version this pass has just put aside is never deleted; nor is a version
// stamped later than now by more than a minute (a clock that was wrong once, a copied
// folder): those are kept without taking one of the kept places.
void keepNewestVersions(Files& files, const QStringList& targets, const KeptVersions& keep);

} // namespace vantrel
