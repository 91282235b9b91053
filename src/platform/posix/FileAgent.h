#pragma once

#include "platform/Files.h"
#include "platform/System.h"

#include <sys/types.h>

#include <atomic>

namespace vantrel {

// File operations served by a process of its own. libsmbclient, as Debian 12 builds
// it, keeps state that all its contexts share and cannot guard it across threads:
// each worker of a pass on the real network hands its file operations to an agent,
// the program itself started with kArgument, which has a network of its own.
class FileAgent : public Files {
public:
    static constexpr char kArgument[] = "--agent-fichiers";

    // Starts the agent; every call fails (FileError::Other) when it could not be.
    explicit FileAgent(const QString& program);
    // Closes the pipes: the agent ends once its call under way is done.
    ~FileAgent() override;
    FileAgent(const FileAgent&) = delete;
    FileAgent& operator=(const FileAgent&) = delete;

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
    // The agent is killed: an SMB call waiting on a server that stopped answering
    // cannot be cut short otherwise.
    void interrupt() override;

    // The agent's side: answers the calls that come on standard input with files,
    // until it closes. Asked to end by a signal, it finishes its call first; it ends
    // with the program parentPid, however that ends.
    static int serve(Files& files, pid_t parentPid);

private:
    enum class Call : quint8;
    static FileError twoNameCall(Files& files, Call what, const QString& from, const QString& to);
    QByteArray call(const QByteArray& request);
    template <typename... Args> QByteArray request(Call call, const Args&... args);

    pid_t agent_ = -1;
    std::atomic<bool> interrupted_{false};
    int toAgent_ = -1;
    int fromAgent_ = -1;
};

} // namespace vantrel
