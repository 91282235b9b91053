#pragma once

#include "CommandInterpreter.h"
#include "PathMapper.h"
#include "SmbNetwork.h"
#include "platform/System.h"

#include <memory>

namespace vantrel {

class TerminationSignal;

// The Linux system: Windows paths mapped onto folders, cmd.exe stood in for.
class PosixSystem : public System {
public:
    // Reads VANTREL_LECTEURS, VANTREL_RESEAU (a folder, or "smb", the default),
    // VANTREL_SMB_AUTH, VANTREL_HOME and VANTREL_PING.
    PosixSystem();
    ~PosixSystem() override;

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
    bool callsMayHang() const override { return smb_ != nullptr; }
    QString nativePath(const QString& windowsPath) override;
    QString windowsPath(const QString& nativePath) override;
    void onTerminationRequest(std::function<void()> handler) override;
    int terminationSignal() override;

private:
    // The native path, or the error to report when the path cannot be mapped.
    FileError map(const QString& windowsPath, QString& native) const;
    // As map, for a file or folder to be made: never at share level.
    FileError mapTarget(const QString& windowsPath, QString& native) const;
    // True when path is reached over SMB rather than through a folder.
    bool onSmb(const QString& path) const;
    // Whether a path names something that is to be made (never at share level).
    enum class Use { Existing, ToMake };
    // The one place that chooses: smbCall(network) for a path on the real network,
    // localCall(native path) for the others, or the error of a path that cannot be
    // mapped.
    template <typename SmbCall, typename LocalCall>
    FileError route(const QString& path, Use use, SmbCall smbCall, LocalCall localCall) const;
    // An operation that does not move a file to another volume, as on Windows.
    template <typename SmbCall, typename LocalCall>
    FileError onOneVolume(const QString& from, const QString& to, SmbCall smbCall,
                          LocalCall localCall) const;

    PathMapper paths_;
    CommandInterpreter commands_;
    QString home_;
    std::unique_ptr<SmbNetwork> smb_;
    std::unique_ptr<TerminationSignal> termination_;
};

} // namespace vantrel
