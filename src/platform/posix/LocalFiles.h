#pragma once

#include "platform/FileError.h"
#include "platform/System.h"

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

#include <functional>

namespace vantrel {

// File operations on native paths with Windows semantics: rename never replaces,
// copy and write replace the target in one step and leave nothing half-written.
namespace LocalFiles {

// A regular file open for reading (NotAFile for a device, a pipe...), its status in st.
FileError openForReading(const QString& path, int& fd, struct stat& st);
FileError read(const QString& path, QByteArray& bytes);
FileError write(const QString& path, const QByteArray& bytes);
qint64 length(const QString& path);
FileError remove(const QString& path);
FileError rename(const QString& from, const QString& to);
// rename(2): replaces to in one step.
FileError replace(const QString& from, const QString& to);
// A hard link, or a copy where the file system has none; never replaces to.
FileError link(const QString& from, const QString& to);
// Each piece waits for meter (when there is one) to let it go before it is copied.
FileError copy(const QString& from, const QString& to, CopyMeter* meter = nullptr);
FileError createFolder(const QString& path);
FileError listFolder(const QString& path, std::vector<FolderEntry>& entries);

// Reads up to size bytes of another file into into: how many, 0 at its end, -1 on a
// failure (the reader keeps why).
using ReadBlock = std::function<qint64(char* into, qint64 size)>;
// Whether the local file source holds the same bytes as another file of targetSize
// bytes, read side by side in blocks, never whole. A failure of the source is
// returned; one of the other file stops the comparison and is the reader's to tell.
FileError sameAsSource(const QString& source, qint64 targetSize, const ReadBlock& readTarget,
                       bool& same);
FileError sha256(const QString& path, QByteArray& digest);
// The same for two local files (target's failures returned too).
FileError sameContents(const QString& source, const QString& target, bool& same);

} // namespace LocalFiles
} // namespace vantrel
