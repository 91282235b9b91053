#include "SourceSnapshots.h"

#include "Pass.h"
#include "Stamps.h"
#include "TargetCheck.h"
#include "core/Workspace.h"
#include "platform/NameLength.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <optional>

namespace vantrel {
namespace {

constexpr int kAttempts = 5;
// A source written to more recently than this may still be being written.
constexpr qint64 kQuietMs = 1000;

// The size and time of a file, as its folder lists it.
FileError factsOf(System& system, const QString& path, FolderEntry& facts) {
    std::optional<FolderEntry> found;
    if (const FileError error = findListed(system, path, found); error != FileError::None) {
        return error;
    }
    if (!found) {
        return FileError::FileNotFound;
    }
    facts = *found;
    return found->folder ? FileError::IsAFolder : FileError::None;
}

bool sameFacts(const FolderEntry& a, const FolderEntry& b) {
    return a.size == b.size && a.modified == b.modified;
}

// A clock that runs ahead of the file's (a server's) is no sign of a writer.
bool justWritten(const FolderEntry& facts, const QDateTime& now) {
    return facts.modified.isValid() && facts.modified <= now &&
           facts.modified.msecsTo(now) < kQuietMs;
}

void takeOne(Workspace& ws, SourceSnapshot& snapshot) {
    snapshot.error = FileError::SourceChanging;
    for (int attempt = 0; attempt < kAttempts && !ws.stopRequested(); ++attempt) {
        if (attempt > 0) {
            ws.clock.pause(1);
        }
        FolderEntry before;
        if (const FileError error = factsOf(ws.system, snapshot.source, before);
            error != FileError::None) {
            snapshot.error = error;
            return;
        }
        if (justWritten(before, ws.clock.now())) {
            continue;
        }
        if (const FileError error = ws.system.copyFile(snapshot.source, snapshot.copy);
            error != FileError::None) {
            snapshot.error = error;
            return;
        }
        FolderEntry after;
        if (factsOf(ws.system, snapshot.source, after) != FileError::None ||
            !sameFacts(before, after) || ws.system.fileLength(snapshot.copy) != before.size) {
            continue;
        }
        snapshot.size = before.size;
        snapshot.error = ws.system.fileSha256(snapshot.copy, snapshot.sha256);
        return;
    }
}

// "source3-outil.exe": a copy's name in its pass folder.
bool isSnapshotName(const QString& name) {
    static const QRegularExpression copy(QStringLiteral("^source[0-9]+-"));
    return copy.match(name).hasMatch();
}

// In Mo of 1,000,000 bytes, as the copy traffic's cap is given.
qint64 megabytes(qint64 bytes, bool roundUp) {
    constexpr qint64 kMo = 1000000;
    return (bytes + (roundUp ? kMo - 1 : 0)) / kMo;
}

} // namespace

bool SourceSnapshots::roomFor(Workspace& ws, const QStringList& sources) {
    noRoom_.clear();
    const qint64 free = ws.system.freeBytes(ws.state.RunFolder);
    if (free < 0) {
        return true; // the copies tell what goes wrong
    }
    qint64 needed = 0;
    QSet<QString> counted;
    for (const QString& source : sources) {
        FolderEntry facts;
        if (!counted.contains(source.toCaseFolded()) &&
            factsOf(ws.system, source, facts) == FileError::None) {
            needed += facts.size;
        }
        counted.insert(source.toCaseFolded());
    }
    if (needed <= free) {
        return true;
    }
    noRoom_ = QStringLiteral("Pas assez de place dans le dossier du programme pour la copie de "
                             "la source : %1 Mo libres, %2 Mo nécessaires")
                  .arg(megabytes(free, false))
                  .arg(megabytes(needed, true));
    ws.inform(noRoom_, QStringLiteral("Déploiement impossible"), Icon::Critical);
    return false;
}

void SourceSnapshots::removeAbandoned(Workspace& ws) {
    std::vector<FolderEntry> passFolders;
    if (ws.system.listFolder(ws.state.ProgramDir, passFolders) != FileError::None) {
        return;
    }
    for (const FolderEntry& passFolder : passFolders) {
        const QString folder = ws.state.ProgramDir + passFolder.name;
        if (!passFolder.folder || !isRunStamp(passFolder.name) ||
            folder.compare(ws.state.RunFolder, Qt::CaseInsensitive) == 0) {
            continue;
        }
        std::vector<FolderEntry> files;
        if (ws.system.listFolder(folder, files) != FileError::None) {
            continue;
        }
        for (const FolderEntry& file : files) {
            if (!file.folder && isSnapshotName(file.name)) {
                ws.system.removeFile(folder + QLatin1Char('\\') + file.name);
            }
        }
    }
}

FileError checkSource(System& system, const QString& source) {
    FolderEntry facts;
    return factsOf(system, source, facts);
}

void SourceSnapshots::take(Workspace& ws, const QStringList& sources) {
    snapshots_.clear();
    for (const QString& source : sources) {
        if (find(source) != nullptr) {
            continue;
        }
        SourceSnapshot snapshot;
        snapshot.source = source;
        // The source's name, cut where it would not fit in one name with the prefix.
        snapshot.copy = besideWithSuffix(
            ws.state.RunFolder + QStringLiteral("\\source%1-").arg(snapshots_.size() + 1) +
                nameOf(source),
            QString());
        takeOne(ws, snapshot);
        snapshots_.push_back(snapshot);
    }
}

const SourceSnapshot* SourceSnapshots::find(const QString& source) const {
    const auto found =
        std::find_if(snapshots_.begin(), snapshots_.end(), [&source](const SourceSnapshot& s) {
            return s.source.compare(source, Qt::CaseInsensitive) == 0;
        });
    return found == snapshots_.end() ? nullptr : &*found;
}

const SourceSnapshot& SourceSnapshots::of(const QString& source) const {
    return *find(source);
}

QStringList SourceSnapshots::journalLines() const {
    if (!noRoom_.isEmpty()) {
        return {noRoom_};
    }
    if (snapshots_.empty()) {
        return {};
    }
    QStringList lines{QStringLiteral("Sources déployées : taille en octets et empreinte SHA-256")};
    for (const SourceSnapshot& s : snapshots_) {
        lines.append(s.source + QLatin1Char(';') +
                     (s.error == FileError::None ? QString::number(s.size) + QLatin1Char(';') +
                                                       QString::fromLatin1(s.sha256.toHex())
                                                 : describe(s.error)));
    }
    return lines;
}

void SourceSnapshots::removeCopies(Workspace& ws) const {
    for (const SourceSnapshot& s : snapshots_) {
        ws.system.removeFile(s.copy);
    }
}

} // namespace vantrel
