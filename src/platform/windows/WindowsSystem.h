#pragma once

#include "platform/System.h"

#include <memory>
#include <vector>

namespace vantrel {

class IcmpEngine;

// Windows reaches an IPv6 address in a UNC path only by its literal name:
// \\fd00:17::5\C$ is \\fd00-17--5.ipv6-literal.net\C$. Other paths are unchanged.
QString windowsUncPath(const QString& path);

// Windows itself: paths are native, command lines go to CreateProcessW as written,
// UNC paths are reached with the logged-on user's credentials.
class WindowsSystem : public System {
public:
    WindowsSystem();
    ~WindowsSystem() override;
    QString programPath() override;
    QString currentFolder() override;
    FileError readFile(const QString& path, QByteArray& bytes) override;
    FileError writeFile(const QString& path, const QByteArray& bytes) override;
    qint64 fileLength(const QString& path) override;
    FileError removeFile(const QString& path) override;
    FileError renameFile(const QString& from, const QString& to) override;
    FileError replaceFile(const QString& from, const QString& to) override;
    FileError linkFile(const QString& from, const QString& to) override;
    FileError copyFile(const QString& from, const QString& to) override;
    FileError sameContents(const QString& source, const QString& path, bool& same) override;
    FileError createFolder(const QString& path) override;
    FileError listFolder(const QString& path, std::vector<FolderEntry>& entries) override;
    FileError fileSha256(const QString& path, QByteArray& digest) override;
    qint64 freeBytes(const QString& folder) override;
    std::unique_ptr<FolderLock> tryLockFolder(const QString& folder) override;
    QString shortPath(const QString& path) override;
    QString longPath(const QString& path) override;
    QString findAssociatedProgram(const QString& extension) override;
    bool startCommand(const QString& commandLine, WindowStyle style) override;
    bool waitForPings(int ms) override;
    std::vector<LandedPing> takeLandedPings() override;
    void finishPings() override;
    std::unique_ptr<Files> forWorker() override;
    QString nativePath(const QString& windowsPath) override;
    QString windowsPath(const QString& nativePath) override;
    void onTerminationRequest(std::function<void()> handler) override;
    int terminationSignal() override;

private:
    // Fills a temporary file beside target, then moves it into place.
    template <typename Fill> FileError replace(const QString& target, Fill fill);
    unsigned temporaryCounter_ = 0;
    // Opened at the first ping; null where the ICMP API is not available.
    std::unique_ptr<IcmpEngine> echoEngine_;
    bool echoEngineTried_ = false;
    // Windows' own pings, where the engine could not open: their process handles.
    std::vector<void*> pingProcesses_;
};

} // namespace vantrel
