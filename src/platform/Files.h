#pragma once

#include "CopyMeter.h"
#include "FileError.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <vector>

namespace vantrel {

// Room for 100,000 workstations with their status rows and error lines.
constexpr qint64 kMaxReadBytes = qint64(64) << 20;

// One name in a folder.
struct FolderEntry {
    QString name;
    qint64 size = 0;
    bool folder = false;
    QDateTime modified; // invalid when the system does not tell
};

// The file operations, on local paths and on the workstations' shares alike, every
// path in Windows form (drive letter or \\HOST\share\...). All that a pass's worker
// needs and may use.
class Files {
public:
    virtual ~Files() = default;

    // Reads regular files only (NotAFile for devices, pipes...), of at most
    // kMaxReadBytes (TooLarge): a document never exhausts memory or blocks.
    virtual FileError readFile(const QString& path, QByteArray& bytes) = 0;
    virtual FileError writeFile(const QString& path, const QByteArray& bytes) = 0;
    virtual qint64 fileLength(const QString& path) = 0; // -1 when there is no such file
    virtual FileError removeFile(const QString& path) = 0;
    // Fails when from does not exist; never replaces an existing target.
    virtual FileError renameFile(const QString& from, const QString& to) = 0;
    // Renames from to to in one step that replaces an existing to: whenever the
    // program stops, to is the old file or the new one. (Over SMB the client library
    // removes the old one first: a stop between the two leaves no to.)
    virtual FileError replaceFile(const QString& from, const QString& to) = 0;
    // Gives from's bytes a second name, leaving from in place: a hard link where the
    // file system makes them, else a copy. Never replaces an existing to.
    virtual FileError linkFile(const QString& from, const QString& to) = 0;
    // Replaces an existing target; never creates folders; leaves no partial target.
    // The source must be a regular file.
    virtual FileError copyFile(const QString& from, const QString& to) = 0;
    // Whether path holds the same bytes as the local file source: sizes first, then
    // the bytes side by side in blocks, never whole in memory.
    virtual FileError sameContents(const QString& source, const QString& path, bool& same) = 0;
    virtual FileError createFolder(const QString& path) = 0;
    // What a folder holds, "." and ".." left out, in no particular order.
    virtual FileError listFolder(const QString& path, std::vector<FolderEntry>& entries) = 0;
    // Ends the call under way at once where that can be done (a process of its own
    // serves the calls): it and the calls after it fail. A file being replaced keeps
    // its live version or its backup.
    virtual void interrupt() {}

    // The meter that copyFile asks before each piece it sends from now on; none (nullptr) by
    // default. Copies stream in blocks on every backend, whatever their size.
    void meterWith(CopyMeter* meter) { meter_ = meter; }

protected:
    CopyMeter* meter_ = nullptr;
};

} // namespace vantrel
