#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

namespace vantrel {

// Every command line the program starts, written as on Windows, built here and read
// back here by the platforms that answer them without a command interpreter:
//   cmd.exe /C ping HOST > FILE                the sweep's transcripts
//   notepad.exe [FILE]                         the text editor
//   calc.exe                                   the calculator
//   C:\WINDOWS\system32\mspaint.exe FILE    the image editor
//   PROGRAM ARGUMENT                           a program associated with a file type
namespace CommandLines {

struct Redirected {
    QString argument; // the host
    QString outputFile;
};

QString pingCommand(const QString& host, const QString& outputFile);

QString textEditorCommand(const QString& file);
QString calculatorCommand();
QString programCommand(const QString& program, const QString& argument);
// The program path the image editor is started from.
QString imageEditorProgram();

std::optional<Redirected> ping(const QString& commandLine);
// The file given to the text editor or the image editor ("" for none).
std::optional<QString> textEditorFile(const QString& commandLine);
std::optional<QString> imageEditorFile(const QString& commandLine);
bool isCalculator(const QString& commandLine);

// The line of DateDeploiement.txt, as a French Windows' %Date% and %Time% gave it
// cut: yyyymmdd_hhmmss and a blank, the hour with a blank instead of a leading 0.
QByteArray dateStampLine(const QDateTime& now);

} // namespace CommandLines
} // namespace vantrel
