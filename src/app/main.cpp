#include "CommandLine.h"
#include "ConsoleUserInterface.h"
#include "DirectoryCommands.h"
#include "UnattendedRun.h"
#include "core/Workspace.h"
#include "documents/Lifecycle.h"
#include "mainwindow/Form1.h"
#include "platform/Directory.h"
#include "platform/SystemFactory.h"
#include "platform/qt/QtUserInterface.h"
#include "platform/qt/RealClock.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTextStream>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>

using namespace vantrel;

namespace {

// Workstations a pass serves at once, from VANTREL_SIMULTANES; 1 when it is not set.
std::optional<int> simultaneousFromEnvironment(QString& error) {
    const QString value = qEnvironmentVariable("VANTREL_SIMULTANES");
    return value.isEmpty() ? 1
                           : parseSimultaneous(value, QStringLiteral("VANTREL_SIMULTANES"), error);
}

// The cap on a pass's copies, from VANTREL_DEBIT_MAX; 0 (none) when it is not set.
std::optional<double> maxRateFromEnvironment(QString& error) {
    const QString value = qEnvironmentVariable("VANTREL_DEBIT_MAX");
    return value.isEmpty() ? 0 : parseMaxRate(value, QStringLiteral("VANTREL_DEBIT_MAX"), error);
}

bool onlyIfDifferentFromEnvironment() {
    return qEnvironmentVariable("VANTREL_SI_DIFFERENT") == QLatin1String("1");
}

int unattended(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    QString error;
    std::optional<UnattendedOptions> options = parseUnattended(arguments, error);
    if (options && options->simultaneous == 0) {
        if (const std::optional<int> fromEnvironment = simultaneousFromEnvironment(error)) {
            options->simultaneous = *fromEnvironment;
        } else {
            options.reset();
        }
    }
    if (options && options->maxBytesPerSecond < 0) {
        if (const std::optional<double> fromEnvironment = maxRateFromEnvironment(error)) {
            options->maxBytesPerSecond = *fromEnvironment;
        } else {
            options.reset();
        }
    }
    if (!options) {
        QTextStream(stderr) << "vantrel: " << error << '\n' << usageText();
        return kCouldNotRun;
    }
    const std::unique_ptr<Directory> directory = createDirectory();
    if (options->command == UnattendedOptions::Command::ListDirectory) {
        return printDirectoryComputers(*directory, options->directoryUrl) ? kNoErrorLeft
                                                                          : kCouldNotRun;
    }
    const std::unique_ptr<System> system = createSystem();
    ConsoleUserInterface ui;
    RealClock clock(nullptr, *system);
    Platform platform{*system, ui, clock};
    Workspace ws(platform);
    // A signal only marks the run: it stops at its next safe point, files whole.
    system->onTerminationRequest([] {});
    StartProgram(ws, QString());
    UnattendedOptions resolved = *options;
    resolved.onlyIfDifferent = options->onlyIfDifferent || onlyIfDifferentFromEnvironment();
    resolved.deploymentFile = deploymentArgument(*system, {options->deploymentFile});
    return runUnattended(ws, resolved, directory.get());
}

void installFrenchTranslation(QApplication& app, QTranslator& translator) {
    if (translator.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        translator.load(QStringLiteral("qtbase_fr"),
                        QCoreApplication::applicationDirPath() + QStringLiteral("/translations"))) {
        app.installTranslator(&translator);
    }
}

int runProgram(int argc, char* argv[]) {
    if (const int status = serveAsWorkerProcess(argc, argv); status >= 0) {
        return status;
    }
    if (isHelpRequest(QStringList(argv + 1, argv + argc))) {
        QTextStream(stdout) << usageText();
        return 0;
    }
    if (isUnattended(QStringList(argv + 1, argv + argc))) {
        return unattended(argc, argv);
    }
    QApplication app(argc, argv);
    QTranslator translator;
    installFrenchTranslation(app, translator);

    const std::unique_ptr<System> system = createSystem();
    QtUserInterface ui(*system);
    RealClock clock(&ui, *system);
    Platform platform{*system, ui, clock};
    Workspace ws(platform);

    StartProgram(ws, deploymentArgument(*system, app.arguments().mid(1)));
    QString error;
    PassSettings settings;
    settings.simultaneous = simultaneousFromEnvironment(error).value_or(1);
    settings.onlyIfDifferent = onlyIfDifferentFromEnvironment();
    if (!error.isEmpty()) {
        ws.inform(error + QStringLiteral("\r\nLes postes seront servis un par un"),
                  QStringLiteral("Variable d'environnement"), Icon::Information);
        error.clear();
    }
    settings.maxBytesPerSecond = maxRateFromEnvironment(error).value_or(0);
    if (!error.isEmpty()) {
        ws.inform(error + QStringLiteral("\r\nLes copies iront sans limite de débit"),
                  QStringLiteral("Variable d'environnement"), Icon::Information);
    }
    // Quit and the window's unload end the program at once, even from inside a
    // message box, as soon as the settings are written.
    QObject::connect(&ws, &Workspace::endRequested, [] { endProcess(0); });
    Form1 form(ws, settings);
    // A pass under way stops at its next safe point; the window closes after it.
    system->onTerminationRequest([&form, &ws] {
        if (ws.passRunning()) {
            QObject::connect(&ws, &Workspace::passFinished, &form, &Form1::close,
                             Qt::SingleShotConnection);
        } else {
            form.close();
        }
    });
    form.load();
    form.show();
    FinishStart(ws);
    return app.exec();
}

} // namespace

int main(int argc, char* argv[]) {
    endProcess(runProgram(argc, argv));
}
