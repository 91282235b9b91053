#pragma once

#include "Files.h"
#include "FolderLock.h"
#include "LandedPing.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace vantrel {

enum class WindowStyle { Normal, MinimizedWithFocus };

// The operating system as the logic sees it: its files, and what only the program
// itself does (programs, pings, locks, paths, signals). Every path is in Windows
// form, whatever the system underneath.
class System : public Files {
public:
    // The program's own executable, Windows form; "" when it cannot be told.
    virtual QString programPath() = 0;
    // The process's current folder, Windows form, without final backslash.
    virtual QString currentFolder() = 0;

    // The SHA-256 of a local file, read in blocks, never whole in memory.
    virtual FileError fileSha256(const QString& path, QByteArray& digest) = 0;
    // The bytes that may still be written in a local folder, -1 when it cannot be told.
    virtual qint64 freeBytes(const QString& folder) = 0;
    // The lock of a local folder; null while another process holds it.
    virtual std::unique_ptr<FolderLock> tryLockFolder(const QString& folder) = 0;

    // "" when the path does not exist.
    virtual QString shortPath(const QString& path) = 0;
    virtual QString longPath(const QString& path) = 0;

    // The program that opens files with this extension (".txt"), "" when none.
    virtual QString findAssociatedProgram(const QString& extension) = 0;
    // Starts a command line without waiting; false when nothing could be started.
    virtual bool startCommand(const QString& commandLine, WindowStyle style) = 0;
    // True once every ping started has its transcript (its requests answered or given
    // up on, its program ended); waits up to ms for it.
    virtual bool waitForPings(int ms) = 0;
    // The transcripts written since the last call, so that a sweep reads each as it
    // lands; those of a ping program are not told.
    virtual std::vector<LandedPing> takeLandedPings() = 0;
    // Ends the pings started that are still under way: each one's transcript is
    // written now, a request not yet answered counting as lost, and a ping program
    // still running is ended with every process it started.
    virtual void finishPings() = 0;

    // Translation for the few places that must hand a path to native code (dialogs).
    virtual QString nativePath(const QString& windowsPath) = 0;
    virtual QString windowsPath(const QString& nativePath) = 0;

    // The files for one worker thread of a pass, on the same drives and network,
    // with connections of its own.
    virtual std::unique_ptr<Files> forWorker() = 0;
    // Whether a file call may wait on an unanswering server for long: a pass then
    // serves even one workstation at a time from a worker, which it can interrupt.
    virtual bool callsMayHang() const { return false; }

    // Calls handler when the session asks the program to end (logout, shutdown,
    // SIGTERM, SIGINT, Ctrl+C); from then on terminationSignal() tells which.
    virtual void onTerminationRequest(std::function<void()> handler) = 0;
    // The signal number that asked the program to end, 0 when none: long work
    // stops at its next safe point.
    virtual int terminationSignal() = 0;
};

} // namespace vantrel
