#include "CommandInterpreter.h"

#include "DesktopPrograms.h"
#include "PathMapper.h"
#include "ProcessLauncher.h"
#include "platform/CommandLines.h"
#include "platform/echo/IcmpEngine.h"

#include <QFileInfo>

namespace vantrel {
namespace {

bool isExecutableFile(const QString& native) {
    const QFileInfo info(native);
    return info.isFile() && info.isExecutable();
}

} // namespace

CommandInterpreter::CommandInterpreter(const PathMapper& paths, QString pingProgram,
                                       bool withEchoEngine)
    : CommandInterpreter(paths, std::move(pingProgram), withEchoEngine,
                         std::make_unique<ProcessLauncher>(), std::make_unique<DesktopPrograms>()) {
}

CommandInterpreter::CommandInterpreter(const PathMapper& paths, QString pingProgram,
                                       bool withEchoEngine,
                                       std::unique_ptr<ProgramLauncher> launcher,
                                       std::unique_ptr<DesktopPrograms> desktop)
    : paths_(paths), pingProgram_(std::move(pingProgram)), launcher_(std::move(launcher)),
      desktop_(std::move(desktop)), echoEngineTried_(!withEchoEngine) {}

CommandInterpreter::~CommandInterpreter() = default;

bool CommandInterpreter::start(const QString& commandLine) const {
    if (const auto ping = CommandLines::ping(commandLine)) {
        return startPing(ping->argument, ping->outputFile);
    }
    if (const auto file = CommandLines::textEditorFile(commandLine)) {
        return startTextEditor(*file);
    }
    if (CommandLines::isCalculator(commandLine)) {
        const QString calculator = desktop_->calculator();
        return !calculator.isEmpty() && launch(calculator, {});
    }
    if (const auto image = CommandLines::imageEditorFile(commandLine)) {
        const QString opener = desktop_->opener();
        return !opener.isEmpty() && !image->isEmpty() && launch(opener, {nativeArgument(*image)});
    }
    return startProgramWithArgument(commandLine);
}

bool CommandInterpreter::startPing(const QString& host, const QString& outputFile) const {
    const QString output = newFileInFolder(outputFile);
    if (output.isEmpty()) {
        return false;
    }
    if (!echoEngineTried_) {
        echoEngineTried_ = true;
        echoEngine_ = IcmpEngine::open();
    }
    if (echoEngine_) {
        echoEngine_->ping(host, output, outputFile);
        return true;
    }
    // Neither ICMP socket kind is allowed here: the ping stand-in, a process per host.
    return !pingProgram_.isEmpty() && launcher_->startInGroup(pingProgram_, {host}, output);
}

bool CommandInterpreter::waitForPings(int ms) const {
    // One kind of ping per sweep: the engine, or the program where it could not open.
    return echoEngine_ ? echoEngine_->waitUntilDone(ms) : launcher_->waitForGroups(ms);
}

std::vector<LandedPing> CommandInterpreter::takeLandedPings() const {
    return echoEngine_ ? echoEngine_->takeWritten() : std::vector<LandedPing>();
}

void CommandInterpreter::finishPings() const {
    if (echoEngine_) {
        echoEngine_->finishAll();
    }
    launcher_->endGroups();
}

// A file the program makes in its own folders (a pass folder's transcripts) has the
// name it is given: only its folder is looked up, once for a whole sweep.
QString CommandInterpreter::newFileInFolder(const QString& windowsPath) const {
    const qsizetype slash = windowsPath.lastIndexOf(QLatin1Char('\\'));
    if (slash < 0) {
        return paths_.toNative(windowsPath);
    }
    const QString folder = windowsPath.left(slash);
    if (folder != lastFolder_) {
        lastFolder_ = folder;
        lastNativeFolder_ = paths_.toNative(folder);
    }
    return lastNativeFolder_.isEmpty()
               ? QString()
               : lastNativeFolder_ + QLatin1Char('/') + windowsPath.mid(slash + 1);
}

bool CommandInterpreter::startTextEditor(const QString& file) const {
    const QStringList arguments =
        file.isEmpty() ? QStringList() : QStringList{nativeArgument(file)};
    const QString editor = desktop_->textEditor();
    if (!editor.isEmpty() && launch(editor, arguments)) {
        return true;
    }
    const QString opener = desktop_->opener();
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
