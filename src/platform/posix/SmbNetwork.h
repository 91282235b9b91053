#pragma once

#include "platform/FileError.h"
#include "platform/System.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QString>

#include <memory>

namespace vantrel {

// UNC paths (\\HOST\SHARE\path) reached over SMB2/3 with libsmbclient, with the
// semantics of Windows: a rename never replaces, a copy replaces in one step and
// leaves no partial file, folders are never made unless asked for.
//
// Credentials: a Kerberos ticket when there is one, otherwise the file named by
// VANTREL_SMB_AUTH (smbclient's "username = / password = / domain =" format, which
// must not be readable by other users), otherwise guest.
class SmbNetwork {
public:
    explicit SmbNetwork(QString authenticationFile);
    ~SmbNetwork();
    SmbNetwork(const SmbNetwork&) = delete;
    SmbNetwork& operator=(const SmbNetwork&) = delete;

    FileError read(const QString& unc, QByteArray& bytes);
    FileError write(const QString& unc, const QByteArray& bytes);
    // Copies stream in blocks, each reported to meter once written.
    FileError copyFromLocal(const QString& nativeSource, const QString& unc, CopyMeter* meter);
    FileError copyWithin(const QString& fromUnc, const QString& toUnc, CopyMeter* meter);
    // Whether unc holds the bytes of the local file, read in blocks.
    FileError sameAsLocal(const QString& nativeSource, const QString& unc, bool& same);
    FileError rename(const QString& fromUnc, const QString& toUnc);
    // The library's own rename, which replaces an existing target (by removing it
    // first: not in one step).
    FileError renameOver(const QString& fromUnc, const QString& toUnc);
    // SMB has no hard links: a copy made on the workstation, never over an existing toUnc.
    FileError keepCopy(const QString& fromUnc, const QString& toUnc, CopyMeter* meter);
    FileError remove(const QString& unc);
    FileError createFolder(const QString& unc);
    FileError list(const QString& unc, std::vector<FolderEntry>& entries);
    qint64 length(const QString& unc);
    bool exists(const QString& unc);

    // smb://host/share/path, each component percent-encoded.
    static QByteArray url(const QString& unc);

    static constexpr int kTimeoutMs = 10000;
    // How long a host that let a call time out is taken for gone: each call to it
    // would wait as long again.
    static constexpr qint64 kSilenceMs = 60000;
    static constexpr int kBlockBytes = 4 << 20;

private:
    // replacing: an existing toUnc goes (the library's rename); otherwise it is refused.
    FileError move(const QString& fromUnc, const QString& toUnc, bool replacing);
    struct Context;
    FileError context(Context*& ctx);
    // The context for a call to unc's host, or TimedOut at once for a silent host.
    FileError reach(const QString& unc, Context*& ctx);
    // unc's host let a call time out.
    void markSilent(const QString& unc);
    // Why an operation on unc failed with errnoValue: tells a missing folder from a
    // missing share or host, and a refused logon from a refused write.
    FileError classify(int errnoValue, const QString& unc);
    template <typename Fill> FileError replace(const QString& unc, Fill fill);
    template <typename Use> FileError readingFile(const QString& unc, Use use);

    QString authenticationFile_;
    std::unique_ptr<Context> context_;
    int contextsGivenUp_ = 0; // a silent host's context dropped, its files with it
    QHash<QString, QElapsedTimer> silentHosts_; // by host, since its time-out
};

} // namespace vantrel
