#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

namespace vantrel {

// The two command lines a pass starts, as the pass writes them and as every platform
// recognises them to answer them itself, whatever a command interpreter's language:
//   cmd.exe /C ping HOST > FILE          the sweep's transcripts
//   cmd /C echo %Date:...%_%Time:...% > FILE   the pass's date stamp
namespace PassCommands {

struct Redirected {
    QString argument; // the host; "" for the date stamp
    QString outputFile;
};

QString pingCommand(const QString& host, const QString& outputFile);
QString dateStampCommand(const QString& outputFile);

std::optional<Redirected> ping(const QString& commandLine);
std::optional<Redirected> dateStamp(const QString& commandLine);

// What %Date% and %Time% give on a French Windows, cut as the stamp command cuts
// them: yyyymmdd_hhmmss and a blank, the hour with a blank instead of a leading 0.
QByteArray dateStampLine(const QDateTime& now);

} // namespace PassCommands
} // namespace vantrel
