#pragma once

#include "platform/FileError.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vantrel {

class System;

// Every file the program reads or writes: Windows-1252, CR LF line ends, no BOM.
namespace TextFile {

QString decode(const QByteArray& bytes);
QByteArray encode(const QString& text);

// CR LF, lone LF and lone CR all end a line; a final line without an end counts.
QStringList splitLines(const QString& text);
// Each line followed by CR LF.
QString joinLines(const QStringList& lines);

// What a document may hold, checked on its bytes before any line is made of them, so
// that no accepted document takes more than a few times its size in memory. A file
// with a NUL byte or a UTF-16 byte order mark is no such text: it is refused whole.
struct Limits {
    qsizetype bytes;
    qsizetype lines;
    qsizetype lineLength = 65536;
};
// Documents the operator edits (a deployment's rows, a workstation list) and anything
// else the program reads: room for 100,000 workstations.
inline constexpr Limits kDocumentLimits{qsizetype(64) << 20, 100002};
// A rule file: each rule is copied to every workstation and each failure written out.
inline constexpr Limits kRuleFileLimits{qsizetype(1) << 20, 1000};

FileError readLines(System& system, const QString& path, QStringList& lines,
                    const Limits& limits = kDocumentLimits);
FileError writeLines(System& system, const QString& path, const QStringList& lines);
FileError writeText(System& system, const QString& path, const QString& text);

} // namespace TextFile
} // namespace vantrel
