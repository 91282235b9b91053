#pragma once

#include "platform/FileError.h"
#include "platform/System.h"

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

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
FileError copy(const QString& from, const QString& to);
FileError createFolder(const QString& path);
FileError listFolder(const QString& path, std::vector<FolderEntry>& entries);

} // namespace LocalFiles
} // namespace vantrel
