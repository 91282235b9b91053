#include "PassCommands.h"

namespace vantrel::PassCommands {
namespace {

const QString kPingPrefix = QStringLiteral("cmd.exe /C ping ");
const QString kDatePrefix = QStringLiteral("cmd /C echo %Date");
const QString kDateCommand = QStringLiteral(
    "cmd /C echo %Date:~-4%%Date:~-7,-5%%Date:~-10,-8%_%Time:~-11,-9%%Time:~-8,-6%%Time:~-5,-3%");
const QString kRedirect = QStringLiteral(" > ");

std::optional<Redirected> redirected(const QString& commandLine, const QString& prefix,
                                     bool withArgument) {
    const qsizetype redirect = commandLine.lastIndexOf(kRedirect);
    if (!commandLine.startsWith(prefix) || redirect < prefix.size()) {
        return std::nullopt;
    }
    Redirected command;
    if (withArgument) {
        command.argument = commandLine.mid(prefix.size(), redirect - prefix.size());
    }
    command.outputFile = commandLine.mid(redirect + kRedirect.size());
    return command;
}

} // namespace

QString pingCommand(const QString& host, const QString& outputFile) {
    return kPingPrefix + host + kRedirect + outputFile;
}

QString dateStampCommand(const QString& outputFile) {
    return kDateCommand + kRedirect + outputFile;
}

std::optional<Redirected> ping(const QString& commandLine) {
    return redirected(commandLine, kPingPrefix, true);
}

std::optional<Redirected> dateStamp(const QString& commandLine) {
    return redirected(commandLine, kDatePrefix, false);
}

QByteArray dateStampLine(const QDateTime& now) {
    const int hour = now.time().hour();
    const QString hourText = (hour < 10 ? QStringLiteral(" ") : QString()) + QString::number(hour);
    return (now.toString(QStringLiteral("yyyyMMdd_")) + hourText +
            now.toString(QStringLiteral("mmss")) + QStringLiteral(" \r\n"))
        .toLatin1();
}

} // namespace vantrel::PassCommands
