#include "CommandInterpreter.h"

#include "DesktopPrograms.h"
#include "LocalFiles.h"
#include "PathMapper.h"
#include "ProcessLauncher.h"

#include <QDateTime>
#include <QFileInfo>

namespace vantrel {
namespace {

const QString kPingPrefix = QStringLiteral("cmd.exe /C ping ");
const QString kDatePrefix = QStringLiteral("cmd /C echo %Date");
const QString kRedirect = QStringLiteral(" > ");
const QString kNotepad = QStringLiteral("notepad.exe");
const QString kCalculator = QStringLiteral("calc.exe");
const QString kPaint = QStringLiteral("C:\\WINDOWS\\system32\\mspaint.exe ");

// What %Date% and %Time% give on a French Windows, cut as the stamp command cuts
// them: yyyymmdd_hhmmss and a blank, the hour with a blank instead of a leading 0.
QByteArray dateStampLine(const QDateTime& now) {
    const int hour = now.time().hour();
    const QString hourText = (hour < 10 ? QStringLiteral(" ") : QString()) + QString::number(hour);
    return (now.toString(QStringLiteral("yyyyMMdd_")) + hourText +
            now.toString(QStringLiteral("mmss")) + QStringLiteral(" \r\n"))
        .toLatin1();
}

bool isExecutableFile(const QString& native) {
    const QFileInfo info(native);
    return info.isFile() && info.isExecutable();
}

} // namespace

CommandInterpreter::CommandInterpreter(const PathMapper& paths, QString pingProgram)
    : paths_(paths), pingProgram_(std::move(pingProgram)),
      launcher_(std::make_unique<ProcessLauncher>()) {}

CommandInterpreter::~CommandInterpreter() = default;

bool CommandInterpreter::start(const QString& commandLine) const {
    const qsizetype redirect = commandLine.lastIndexOf(kRedirect);
    const QString redirectTarget =
        redirect < 0 ? QString() : commandLine.mid(redirect + kRedirect.size());
    if (commandLine.startsWith(kPingPrefix) && redirect >= kPingPrefix.size()) {
        return startPing(commandLine.mid(kPingPrefix.size(), redirect - kPingPrefix.size()),
                         redirectTarget);
    }
    if (commandLine.startsWith(kDatePrefix) && redirect > 0) {
        return writeDateStamp(redirectTarget);
    }
    if (commandLine == kNotepad || commandLine.startsWith(kNotepad + QLatin1Char(' '))) {
        return startTextEditor(commandLine.mid(kNotepad.size() + 1).trimmed());
    }
    if (commandLine == kCalculator) {
        const QString calculator = DesktopPrograms::calculator();
        return !calculator.isEmpty() && launch(calculator, {});
    }
    if (commandLine.startsWith(kPaint)) {
        const QString opener = DesktopPrograms::opener();
        return !opener.isEmpty() &&
               launch(opener, {nativeArgument(commandLine.mid(kPaint.size()))});
    }
    return startProgramWithArgument(commandLine);
}

bool CommandInterpreter::startPing(const QString& host, const QString& outputFile) const {
    const QString output = paths_.toNative(outputFile);
    if (output.isEmpty() || pingProgram_.isEmpty()) {
        return false;
    }
    return launch(pingProgram_, {host}, output);
}

bool CommandInterpreter::writeDateStamp(const QString& outputFile) const {
    const QString output = paths_.toNative(outputFile);
    return !output.isEmpty() &&
           LocalFiles::write(output, dateStampLine(QDateTime::currentDateTime())) ==
               FileError::None;
}

bool CommandInterpreter::startTextEditor(const QString& file) const {
    const QStringList arguments =
        file.isEmpty() ? QStringList() : QStringList{nativeArgument(file)};
    const QString editor = DesktopPrograms::textEditor();
    if (!editor.isEmpty() && launch(editor, arguments)) {
        return true;
    }
    const QString opener = DesktopPrograms::opener();
    return !arguments.isEmpty() && !opener.isEmpty() && launch(opener, arguments);
}

// "PROGRAM ARGUMENT", where the program path may hold blanks: the first prefix that
// names an executable file is the program.
bool CommandInterpreter::startProgramWithArgument(const QString& commandLine) const {
    for (qsizetype blank = commandLine.indexOf(QLatin1Char(' ')); blank > 0;
         blank = commandLine.indexOf(QLatin1Char(' '), blank + 1)) {
        const QString program = paths_.toNative(commandLine.left(blank));
        if (isExecutableFile(program)) {
            const QString argument = commandLine.mid(blank + 1).trimmed();
            return launch(program, argument.isEmpty() ? QStringList()
                                                      : QStringList{nativeArgument(argument)});
        }
    }
    const QString program = paths_.toNative(commandLine.trimmed());
    return isExecutableFile(program) && launch(program, {});
}

bool CommandInterpreter::launch(const QString& program, const QStringList& arguments,
                                const QString& outputFile) const {
    return launcher_->start(program, arguments, outputFile);
}

QString CommandInterpreter::nativeArgument(const QString& argument) const {
    const QString native = paths_.toNative(argument);
    return native.isEmpty() ? argument : native;
}

} // namespace vantrel
