#pragma once

#include <QString>
#include <QStringList>

#include <memory>

namespace vantrel {

class IcmpEngine;
class PathMapper;
class ProcessLauncher;

// Stands in for cmd.exe and the Windows accessories: it recognises the few command
// lines the program writes and runs an equivalent from an argument vector, so
// that no text from a list ever reaches a shell.
class CommandInterpreter {
public:
    // withEchoEngine: ping in-process where ICMP sockets are allowed, else pingProgram.
    CommandInterpreter(const PathMapper& paths, QString pingProgram, bool withEchoEngine);
    ~CommandInterpreter();

    bool start(const QString& commandLine) const;

private:
    bool startPing(const QString& host, const QString& outputFile) const;
    QString newFileInFolder(const QString& windowsPath) const;
    bool writeDateStamp(const QString& outputFile) const;
    bool startTextEditor(const QString& file) const;
    bool startProgramWithArgument(const QString& commandLine) const;
    bool launch(const QString& program, const QStringList& arguments,
                const QString& outputFile = QString()) const;
    QString nativeArgument(const QString& argument) const;

    const PathMapper& paths_;
    QString pingProgram_;
    std::unique_ptr<ProcessLauncher> launcher_;
    // Opened at the first ping; null where ICMP sockets are not allowed.
    mutable std::unique_ptr<IcmpEngine> echoEngine_;
    mutable bool echoEngineTried_ = false;
    mutable QString lastFolder_;
    mutable QString lastNativeFolder_;
};

} // namespace vantrel
