#pragma once

#include "FileError.h"
#include "FolderLock.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace vantrel {

enum class WindowStyle { Normal, MinimizedWithFocus };

// Room for 100,000 workstations with their status rows and error lines.
constexpr qint64 kMaxReadBytes = qint64(64) << 20;

// One name in a folder.
struct FolderEntry {
    QString name;
    qint64 size = 0;
    bool folder = false;
    QDateTime modified; // invalid when the system does not tell
};

// The operating system as the logic sees it. Every path is in Windows form
// (drive letter or \\HOST\share\...), whatever the system underneath.
class System {
public:
    virtual ~System() = default;

    // The program's own executable, Windows form; "" when it cannot be told.
    virtual QString programPath() = 0;
    // The process's current folder, Windows form, without final backslash.
    virtual QString currentFolder() = 0;

    // Reads regular files only (NotAFile for devices, pipes...), of at most
    // kMaxReadBytes (TooLarge): a document never exhausts memory or blocks.
    virtual FileError readFile(const QString& path, QByteArray& bytes) = 0;
    virtual FileError writeFile(const QString& path, const QByteArray& bytes) = 0;
    virtual qint64 fileLength(const QString& path) = 0; // -1 when there is no such file
    virtual FileError removeFile(const QString& path) = 0;
    // Fails when from does not exist; never replaces an existing target.
    virtual FileError renameFile(const QString& from, const QString& to) = 0;
    // Replaces an existing target; never creates folders; leaves no partial target.
    // The source must be a regular file.
    virtual FileError copyFile(const QString& from, const QString& to) = 0;
    // Whether path holds the same bytes as the local file source: sizes first, then
    // the bytes side by side in blocks, never whole in memory.
    virtual FileError sameContents(const QString& source, const QString& path, bool& same) = 0;
    virtual FileError createFolder(const QString& path) = 0;
    // What a folder holds, "." and ".." left out, in no particular order.
    virtual FileError listFolder(const QString& path, std::vector<FolderEntry>& entries) = 0;
    // The lock of a local folder; null while another process holds it.
    virtual std::unique_ptr<FolderLock> tryLockFolder(const QString& folder) = 0;

    // "" when the path does not exist.
    virtual QString shortPath(const QString& path) = 0;
    virtual QString longPath(const QString& path) = 0;

    // The program that opens files with this extension (".txt"), "" when none.
    virtual QString findAssociatedProgram(const QString& extension) = 0;
    // Starts a command line without waiting; false when nothing could be started.
    virtual bool startCommand(const QString& commandLine, WindowStyle style) = 0;
    // Ends the pings started that are still under way: each one's transcript is
    // written now, a request not yet answered counting as lost, and a ping program
    // still running is ended with every process it started.
    virtual void finishPings() = 0;

    // Translation for the few places that must hand a path to native code (dialogs).
    virtual QString nativePath(const QString& windowsPath) = 0;
    virtual QString windowsPath(const QString& nativePath) = 0;

    // A system for one worker thread of a pass, on the same drives and network,
    // with connections of its own: file operations only.
    virtual std::unique_ptr<System> forWorker() = 0;

    // Calls handler when the session asks the program to end (logout, shutdown,
    // SIGTERM, SIGINT, Ctrl+C); from then on terminationSignal() tells which.
    virtual void onTerminationRequest(std::function<void()> handler) = 0;
    // The signal number that asked the program to end, 0 when none: long work
    // stops at its next safe point.
    virtual int terminationSignal() = 0;
};

} // namespace vantrel
