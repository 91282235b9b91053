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

FileError readLines(System& system, const QString& path, QStringList& lines);
FileError readText(System& system, const QString& path, QString& text);
FileError writeLines(System& system, const QString& path, const QStringList& lines);
FileError writeText(System& system, const QString& path, const QString& text);

} // namespace TextFile
} // namespace vantrel
