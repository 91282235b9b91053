#pragma once

#include <QString>

namespace vantrel {

class Workspace;

// A path's folder (with its final backslash; "" when it has none), base name and
// extension (with its dot), as written.
struct FilePathParts {
    QString folder;
    QString baseName;
    QString extension;
};
FilePathParts filePathParts(const QString& path);

// Splits path into PathFolder (kept when path has no folder), PathBaseName and
// PathExt; forbidden characters of the base name become "-" and the operator is told.
void SplitFilePath(Workspace& ws, const QString& path);

QString ShortPath(Workspace& ws, const QString& path);
QString LongPath(Workspace& ws, const QString& path);

// path without its final backslash, if it has one.
QString withoutFinalBackslash(const QString& path);

} // namespace vantrel
