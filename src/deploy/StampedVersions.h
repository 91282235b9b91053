#pragma once

#include "StampOrder.h"
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
    QDateTime wallTime; // what the stamp shows
    StampOrder::Place place;
    qint64 size = 0;
};

// The stamped versions of target, newest first (by the instant each stamp stands for).
// Names that are the target's followed by anything else are not its.
FileError stampedVersions(Files& files, const QString& target, const StampOrder& order,
                          std::vector<StampedVersion>& newestFirst);

// What a pass keeps of the versions it replaced.
struct KeptVersions {
    int count = 0;    // the newest so many; 0 keeps them all
    QString ownStamp; // this pass's stamp: its own versions are never deleted
    QDateTime now;
    StampOrder order;
};

// Deletes all but the kept newest stamped versions of each target, listing each folder
// once. The version this pass has just put aside is never deleted. Kept without taking
// one of the kept places: a version stamped later than now by more than a minute (a
// clock that was wrong once, a copied folder); one whose stamp fell in the hour
// repeated when clocks went back and whose order nothing tells (it may be the newer).
void keepNewestVersions(Files& files, const QStringList& targets, const KeptVersions& keep);

} // namespace vantrel
