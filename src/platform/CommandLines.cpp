#include "CommandLines.h"

namespace vantrel::CommandLines {
namespace {

const QString kPingPrefix = QStringLiteral("cmd.exe /C ping ");
const QString kRedirect = QStringLiteral(" > ");
const QString kTextEditor = QStringLiteral("notepad.exe");
const QString kCalculator = QStringLiteral("calc.exe");
const QString kImageEditor = QStringLiteral("C:\\WINDOWS\\system32\\mspaint.exe");

std::optional<QString> argumentOf(const QString& commandLine, const QString& program) {
    if (commandLine == program) {
        return QString();
    }
    if (!commandLine.startsWith(program + QLatin1Char(' '))) {
        return std::nullopt;
    }
    return commandLine.mid(program.size() + 1).trimmed();
}

std::optional<Redirected> redirected(const QString& commandLine, const QString& prefix) {
    const qsizetype redirect = commandLine.lastIndexOf(kRedirect);
    if (!commandLine.startsWith(prefix) || redirect < prefix.size()) {
        return std::nullopt;
    }
    Redirected command;
    command.argument = commandLine.mid(prefix.size(), redirect - prefix.size());
    command.outputFile = commandLine.mid(redirect + kRedirect.size());
    return command;
}

} // namespace

QString pingCommand(const QString& host, const QString& outputFile) {
    return kPingPrefix + host + kRedirect + outputFile;
}

QString programCommand(const QString& program, const QString& argument) {
    return program + QLatin1Char(' ') + argument;
}

QString textEditorCommand(const QString& file) {
    return programCommand(kTextEditor, file);
}

QString calculatorCommand() {
    return kCalculator;
}

QString imageEditorProgram() {
    return kImageEditor;
}

std::optional<QString> textEditorFile(const QString& commandLine) {
    return argumentOf(commandLine, kTextEditor);
}

std::optional<QString> imageEditorFile(const QString& commandLine) {
    return argumentOf(commandLine, kImageEditor);
}

bool isCalculator(const QString& commandLine) {
    return commandLine == kCalculator;
}

std::optional<Redirected> ping(const QString& commandLine) {
    return redirected(commandLine, kPingPrefix);
}

QByteArray dateStampLine(const QDateTime& now) {
    const int hour = now.time().hour();
    const QString hourText = (hour < 10 ? QStringLiteral(" ") : QString()) + QString::number(hour);
    return (now.toString(QStringLiteral("yyyyMMdd_")) + hourText +
            now.toString(QStringLiteral("mmss")) + QStringLiteral(" \r\n"))
        .toLatin1();
}

} // namespace vantrel::CommandLines
