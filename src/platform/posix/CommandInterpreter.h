#pragma once

#include "platform/LandedPing.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace vantrel {

class DesktopPrograms;
class IcmpEngine;
class PathMapper;
class ProgramLauncher;

// Stands in for cmd.exe and the Windows accessories: it recognises the few command
// lines the program writes and runs an equivalent from an argument vector, so
// that no text from a list ever reaches a shell.
class CommandInterpreter {
public:
    // withEchoEngine: ping in-process where ICMP sockets are allowed, else pingProgram.
    CommandInterpreter(const PathMapper& paths, QString pingProgram, bool withEchoEngine);
    // The same, starting programs through launcher and finding them through desktop.
    CommandInterpreter(const PathMapper& paths, QString pingProgram, bool withEchoEngine,
                       std::unique_ptr<ProgramLauncher> launcher,
                       std::unique_ptr<DesktopPrograms> desktop);
    ~CommandInterpreter();

    bool start(const QString& commandLine) const;
    // See System::waitForPings and System::finishPings.
    bool waitForPings(int ms) const;
    std::vector<LandedPing> takeLandedPings() const;
    void finishPings() const;

private:
    bool startPing(const QString& host, const QString& outputFile) const;
    QString newFileInFolder(const QString& windowsPath) const;
    bool startTextEditor(const QString& file) const;
    bool startProgramWithArgument(const QString& commandLine) const;
    bool launch(const QString& program, const QStringList& arguments,
                const QString& outputFile = QString()) const;
    QString nativeArgument(const QString& argument) const;

    const PathMapper& paths_;
    QString pingProgram_;
    std::unique_ptr<ProgramLauncher> launcher_;
    std::unique_ptr<DesktopPrograms> desktop_;
    // Opened at the first ping; null where ICMP sockets are not allowed.
    mutable std::unique_ptr<IcmpEngine> echoEngine_;
    mutable bool echoEngineTried_ = false;
    mutable QString lastFolder_;
    mutable QString lastNativeFolder_;
};

} // namespace vantrel
