#pragma once

#include "platform/FileError.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace vantrel {

class System;
class Workspace;

// One source of a pass as every workstation receives it: a copy taken once in the
// pass folder, so that all of them get the same bytes, and those a whole version.
struct SourceSnapshot {
    QString source;                    // as the rules name it
    QString copy;                      // in the pass folder
    FileError error = FileError::None; // it could not be taken: its rules fail
    qint64 size = 0;
    QByteArray sha256;
};

// Why a source cannot be taken as it stands (missing, a folder, unreachable), None
// when it can.
FileError checkSource(System& system, const QString& source);

class SourceSnapshots {
public:
    // Whether the pass folder has room for a copy of each source. When it has not, the
    // operator is told once, as the journal will be.
    bool roomFor(Workspace& ws, const QStringList& sources);
    // Removes the copies that passes ended before their end (killed, a power cut) left
    // in their folders. Only while holding the program folder's lock: no other pass
    // runs, so no copy there is in use.
    static void removeAbandoned(Workspace& ws);
    // Takes each source once (names compared without regard to case) into the pass
    // folder. A source written to in the last second, or while it is copied, is
    // taken again a second later; one that keeps changing is refused.
    void take(Workspace& ws, const QStringList& sources);
    // The snapshot of a source that take() was given.
    const SourceSnapshot& of(const QString& source) const;
    // What was deployed, for the journal: "SOURCE;SIZE;SHA-256", or "SOURCE;error".
    QStringList journalLines() const;
    // The copies go with the pass: the folder keeps only its transcripts and journal.
    void removeCopies(Workspace& ws) const;

private:
    // The snapshot of a source, or null (names compared without regard to case).
    const SourceSnapshot* find(const QString& source) const;

    std::vector<SourceSnapshot> snapshots_;
    QString noRoom_; // why no copy was taken, for the journal
};

} // namespace vantrel
