#include "SmbNetwork.h"

#include "CredentialsFile.h"
#include "LocalFiles.h"
#include "PosixErrors.h"
#include "platform/NameLength.h"
#include "platform/System.h"

#include <QFile>
#include <QStringList>
#include <QUrl>

#include <libsmbclient.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <netdb.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {
namespace {

void copyInto(char* target, int size, const QByteArray& value) {
    if (size > 0) {
        std::strncpy(target, value.constData(), static_cast<size_t>(size - 1));
        target[size - 1] = '\0';
    }
}

QStringList components(const QString& unc) {
    return unc.mid(2).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

} // namespace

struct SmbNetwork::Context {
    SMBCCTX* ctx = nullptr;
    Credentials credentials;
    FileError refusal = FileError::None; // set when the credentials must not be used
    bool named = false;                  // a user of the authentication file or Kerberos
    bool kerberos = false;               // the ticket's user
    // A server stopped answering with one of its files open: freeing would close that
    // file and wait on the server as long again, so the context is left to the end of
    // the process.
    bool abandoned = false;

    ~Context() {
        if (ctx != nullptr && !abandoned) {
            smbc_free_context(ctx, 1);
        }
    }

    static void authenticate(SMBCCTX* c, const char*, const char*, char* workgroup, int wgLen,
                             char* user, int userLen, char* password, int passwordLen) {
        const auto* self = static_cast<const Context*>(smbc_getOptionUserData(c));
        if (!self->credentials.domain.isEmpty()) {
            copyInto(workgroup, wgLen, self->credentials.domain);
        }
        copyInto(user, userLen, self->credentials.user);
        copyInto(password, passwordLen, self->credentials.password);
    }
};

SmbNetwork::SmbNetwork(QString authenticationFile)
    : authenticationFile_(std::move(authenticationFile)) {}

SmbNetwork::~SmbNetwork() = default;

FileError SmbNetwork::context(Context*& ctx) {
    if (!context_) {
        // The workers of a pass each have a context of their own; making one reads
        // the library's shared configuration, so one is made at a time.
        static std::mutex making;
        const std::lock_guard<std::mutex> lock(making);
        auto made = std::make_unique<Context>();
        const bool kerberos = kerberosTicketPresent();
        bool named = false;
        if (!kerberos && !authenticationFile_.isEmpty()) {
            named = readCredentials(authenticationFile_, made->credentials, made->refusal);
        }
        made->named = named || kerberos;
        made->kerberos = kerberos;
        if (!kerberos && !named && made->refusal == FileError::None) {
            made->credentials.user = "guest";
        }
        if (kerberos) {
            // An empty user is taken for an anonymous logon, ticket or not: any name
            // will do, the ticket says who logs on.
            made->credentials.user = qgetenv("USER");
            if (made->credentials.user.isEmpty()) {
                made->credentials.user = "vantrel";
            }
        }
        made->ctx = smbc_new_context();
        if (made->ctx == nullptr) {
            return FileError::Other;
        }
        smbc_setOptionUserData(made->ctx, made.get());
        smbc_setFunctionAuthDataWithContext(made->ctx, &Context::authenticate);
        smbc_setTimeout(made->ctx, kTimeoutMs);
        // Port 445 alone: a server that accepts and then says nothing would otherwise
        // be waited for on 139 too.
        smbc_setPort(made->ctx, 445);
        smbc_setOptionUseKerberos(made->ctx, kerberos);
        smbc_setOptionFallbackAfterKerberos(made->ctx, kerberos);
        smbc_setOptionNoAutoAnonymousLogin(made->ctx, named || kerberos);
        // The library's own complaints (a refused ticket...) go to standard output
        // otherwise, where a file agent answers its caller.
        smbc_setOptionDebugToStderr(made->ctx, 1);
        if (smbc_init_context(made->ctx) == nullptr) {
            return FileError::Other;
        }
        context_ = std::move(made);
    }
    if (context_->refusal != FileError::None) {
        return context_->refusal;
    }
    ctx = context_.get();
    return FileError::None;
}

void SmbNetwork::markSilent(const QString& unc) {
    const QStringList parts = components(unc);
    if (!parts.isEmpty()) {
        silentHosts_[parts.first().toCaseFolded()].start();
    }
}

FileError SmbNetwork::reach(const QString& unc, Context*& ctx) {
    const QStringList parts = components(unc);
    if (!parts.isEmpty()) {
        const auto silent = silentHosts_.constFind(parts.first().toCaseFolded());
        if (silent != silentHosts_.constEnd() && !silent->hasExpired(kSilenceMs)) {
            return FileError::TimedOut;
        }
    }
    return context(ctx);
}

QByteArray SmbNetwork::url(const QString& unc) {
    QByteArray text("smb:/");
    for (const QString& part : components(unc)) {
        text += '/' + QUrl::toPercentEncoding(part, "$!&'()+,;=@~");
    }
    return text;
}

FileError SmbNetwork::classify(int errnoValue, const QString& unc) {
    const QStringList parts = components(unc);
    if (parts.size() < 2) {
        return FileError::InvalidName;
    }
    switch (errnoValue) {
    case ECONNREFUSED:
    case EHOSTUNREACH:
    case ENETUNREACH:
    case EHOSTDOWN:
        return FileError::HostUnreachable;
    case ETIMEDOUT:
        markSilent(unc);
        return FileError::TimedOut;
    case ENOSPC:
    case EDQUOT:
        return FileError::DiskFull;
    case EBUSY:
        return FileError::SharingViolation;
    case EEXIST:
        return FileError::AlreadyExists;
    default:
        break;
    }
    if (errnoValue != ENOENT && errnoValue != ENOTDIR && errnoValue != EACCES &&
        errnoValue != EPERM && errnoValue != EINVAL && errnoValue != ENODEV) {
        return fileErrorFromErrno(errnoValue);
    }
    // Look at the share, then at the folder, to say which is missing or refused.
    Context* ctx = nullptr;
    if (context(ctx) != FileError::None) {
        return FileError::Other;
    }
    struct stat st {};
    const QString share = QStringLiteral("\\\\") + parts.at(0) + QLatin1Char('\\') + parts.at(1);
    if (smbc_getFunctionStat(ctx->ctx)(ctx->ctx, url(share).constData(), &st) != 0) {
        const int shareErrno = errno;
        addrinfo* found = nullptr;
        if (::getaddrinfo(parts.at(0).toUtf8().constData(), nullptr, nullptr, &found) != 0) {
            return FileError::HostUnreachable;
        }
        ::freeaddrinfo(found);
        if (shareErrno == EACCES || shareErrno == EPERM) {
            // A refused ticket is one to renew; a guest not let in needs one, or a name.
            if (ctx->kerberos) {
                return FileError::KerberosRefused;
            }
            return ctx->named ? FileError::LogonFailure : FileError::GuestRefused;
        }
        if (shareErrno == ENOENT || shareErrno == ENODEV || shareErrno == EINVAL) {
            return FileError::ShareNotFound;
        }
        return fileErrorFromErrno(shareErrno);
    }
    if (errnoValue == EACCES || errnoValue == EPERM) {
        return FileError::AccessDenied;
    }
    QString folder = unc;
    folder.truncate(folder.lastIndexOf(QLatin1Char('\\')));
    if (smbc_getFunctionStat(ctx->ctx)(ctx->ctx, url(folder).constData(), &st) != 0 ||
        !S_ISDIR(st.st_mode)) {
        return FileError::PathNotFound;
    }
    return FileError::FileNotFound;
}

// Opens unc to read it and hands use the context, the file and its status; a folder
// is refused. The file is closed after, unless use gave up a silent host's context
// (and the file with it).
template <typename Use> FileError SmbNetwork::readingFile(const QString& unc, Use use) {
    Context* ctx = nullptr;
    if (const FileError e = reach(unc, ctx); e != FileError::None) {
        return e;
    }
    SMBCFILE* file = smbc_getFunctionOpen(ctx->ctx)(ctx->ctx, url(unc).constData(), O_RDONLY, 0);
    if (file == nullptr) {
        return classify(errno, unc);
    }
    const int contextsGivenUp = contextsGivenUp_;
    FileError error = FileError::None;
    struct stat st {};
    if (smbc_getFunctionFstat(ctx->ctx)(ctx->ctx, file, &st) != 0) {
        error = classify(errno, unc);
    } else if (S_ISDIR(st.st_mode)) {
        error = FileError::IsAFolder;
    } else {
        error = use(*ctx, file, st);
    }
    if (contextsGivenUp_ == contextsGivenUp) { // else ctx and its files are gone
        smbc_getFunctionClose(ctx->ctx)(ctx->ctx, file);
    }
    return error;
}

FileError SmbNetwork::read(const QString& unc, QByteArray& bytes) {
    bytes.clear();
    return readingFile(unc, [&](Context& ctx, SMBCFILE* file, const struct stat& st) {
        if (st.st_size > kMaxReadBytes) {
            return FileError::TooLarge;
        }
        QByteArray block(kBlockBytes, Qt::Uninitialized);
        for (;;) {
            const ssize_t n = smbc_getFunctionRead(ctx.ctx)(ctx.ctx, file, block.data(),
                                                            static_cast<size_t>(block.size()));
            if (n <= 0) {
                return n < 0 ? classify(errno, unc) : FileError::None;
            }
            if (bytes.size() + n > kMaxReadBytes) {
                bytes.clear();
                return FileError::TooLarge;
            }
            bytes.append(block.constData(), n);
        }
    });
}

FileError SmbNetwork::sameAsLocal(const QString& nativeSource, const QString& unc, bool& same) {
    same = false;
    return readingFile(unc, [&](Context& ctx, SMBCFILE* file, const struct stat& st) {
        FileError readError = FileError::None;
        const LocalFiles::ReadBlock read = [&](char* into, qint64 size) -> qint64 {
            const ssize_t n =
                smbc_getFunctionRead(ctx.ctx)(ctx.ctx, file, into, static_cast<size_t>(size));
            if (n < 0) {
                readError = classify(errno, unc);
            }
            return n;
        };
        const FileError error = LocalFiles::sameAsSource(nativeSource, st.st_size, read, same);
        return error != FileError::None ? error : readError;
    });
}

// Fills a temporary file beside unc, then renames it over unc.
template <typename Fill> FileError SmbNetwork::replace(const QString& unc, Fill fill) {
    Context* ctx = nullptr;
    if (const FileError e = reach(unc, ctx); e != FileError::None) {
        return e;
    }
    // One name per target: what a copy cut off by a dead workstation leaves there is
    // taken over and put in place by the next copy that reaches it.
    const QString temporary = besideWithSuffix(unc, QStringLiteral(".vantrel-partiel"));
    const QByteArray temporaryUrl = url(temporary);
    SMBCFILE* file = smbc_getFunctionOpen(ctx->ctx)(ctx->ctx, temporaryUrl.constData(),
                                                    O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (file == nullptr) {
        return classify(errno, unc);
    }
    auto writeBlock = [ctx, file](const char* data, qint64 size) -> int {
        while (size > 0) {
            const ssize_t n =
                smbc_getFunctionWrite(ctx->ctx)(ctx->ctx, file, data, static_cast<size_t>(size));
            if (n <= 0) {
                return n < 0 ? errno : EIO;
            }
            data += n;
            size -= n;
        }
        return 0;
    };
    int failure = fill(writeBlock);
    if (failure == ETIMEDOUT) {
        // The workstation stopped answering: closing or removing would each wait as
        // long again. Its connections are dropped; the next copy there takes over
        // the temporary file.
        markSilent(unc);
        context_->abandoned = true;
        context_.reset();
        ++contextsGivenUp_;
        return FileError::TimedOut;
    }
    if (smbc_getFunctionClose(ctx->ctx)(ctx->ctx, file) != 0 && failure == 0) {
        failure = errno;
    }
    if (failure == 0 && smbc_getFunctionRename(ctx->ctx)(ctx->ctx, temporaryUrl.constData(),
                                                         ctx->ctx, url(unc).constData()) != 0) {
        failure = errno;
    }
    if (failure != 0) {
        smbc_getFunctionUnlink(ctx->ctx)(ctx->ctx, temporaryUrl.constData());
        return failure < 0 ? FileError::Other : classify(failure, unc);
    }
    return FileError::None;
}

FileError SmbNetwork::write(const QString& unc, const QByteArray& bytes) {
    return replace(
        unc, [&bytes](auto& writeBlock) { return writeBlock(bytes.constData(), bytes.size()); });
}

FileError SmbNetwork::copyFromLocal(const QString& nativeSource, const QString& unc,
                                    CopyMeter* meter) {
    int in = -1;
    struct stat st {};
    if (const FileError error = LocalFiles::openForReading(nativeSource, in, st);
        error != FileError::None) {
        return error;
    }
    const FileError error = replace(unc, [in, meter](auto& writeBlock) {
        QByteArray block(kBlockBytes, Qt::Uninitialized);
        for (;;) {
            const ssize_t n = ::read(in, block.data(), static_cast<size_t>(block.size()));
            if (n == 0) {
                return 0;
            }
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return -1; // the source could not be read
            }
            if (const int failure = sendMetered(meter, block.constData(), n, writeBlock);
                failure != 0) {
                return failure;
            }
        }
    });
    ::close(in);
    return error;
}

// A version put back on a workstation: read there and written there again, a block
// at a time, whatever its size.
FileError SmbNetwork::copyWithin(const QString& fromUnc, const QString& toUnc, CopyMeter* meter) {
    return readingFile(fromUnc, [&](Context& ctx, SMBCFILE* in, const struct stat&) {
        int readFailure = 0;
        const FileError error = replace(toUnc, [&](auto& writeBlock) {
            QByteArray block(kBlockBytes, Qt::Uninitialized);
            for (;;) {
                const ssize_t n = smbc_getFunctionRead(ctx.ctx)(ctx.ctx, in, block.data(),
                                                                static_cast<size_t>(block.size()));
                if (n == 0) {
                    return 0;
                }
                if (n < 0) {
                    readFailure = errno;
                    // A silent host is given up as a write to it would be.
                    return readFailure == ETIMEDOUT ? ETIMEDOUT : -1;
                }
                if (const int failure = sendMetered(meter, block.constData(), n, writeBlock);
                    failure != 0) {
                    return failure;
                }
            }
        });
        return error == FileError::Other && readFailure != 0 ? classify(readFailure, fromUnc)
                                                             : error;
    });
}

FileError SmbNetwork::rename(const QString& fromUnc, const QString& toUnc) {
    return move(fromUnc, toUnc, false);
}

FileError SmbNetwork::renameOver(const QString& fromUnc, const QString& toUnc) {
    return move(fromUnc, toUnc, true);
}

FileError SmbNetwork::move(const QString& fromUnc, const QString& toUnc, bool replacing) {
    Context* ctx = nullptr;
    if (const FileError e = reach(fromUnc, ctx); e != FileError::None) {
        return e;
    }
    struct stat st {};
    if (smbc_getFunctionStat(ctx->ctx)(ctx->ctx, url(fromUnc).constData(), &st) != 0) {
        return classify(errno, fromUnc);
    }
    if (S_ISDIR(st.st_mode)) {
        return FileError::IsAFolder;
    }
    // The library's rename replaces an existing target; Windows' does not.
    if (!replacing && smbc_getFunctionStat(ctx->ctx)(ctx->ctx, url(toUnc).constData(), &st) == 0) {
        return FileError::AlreadyExists;
    }
    if (smbc_getFunctionRename(ctx->ctx)(ctx->ctx, url(fromUnc).constData(), ctx->ctx,
                                         url(toUnc).constData()) != 0) {
        return classify(errno, toUnc);
    }
    return FileError::None;
}

FileError SmbNetwork::keepCopy(const QString& fromUnc, const QString& toUnc, CopyMeter* meter) {
    Context* ctx = nullptr;
    if (const FileError e = reach(toUnc, ctx); e != FileError::None) {
        return e;
    }
    struct stat st {};
    if (smbc_getFunctionStat(ctx->ctx)(ctx->ctx, url(toUnc).constData(), &st) == 0) {
        return FileError::AlreadyExists;
    }
    return copyWithin(fromUnc, toUnc, meter);
}

FileError SmbNetwork::remove(const QString& unc) {
    Context* ctx = nullptr;
    if (const FileError e = reach(unc, ctx); e != FileError::None) {
        return e;
    }
    if (smbc_getFunctionUnlink(ctx->ctx)(ctx->ctx, url(unc).constData()) != 0) {
        return classify(errno, unc);
    }
    return FileError::None;
}

FileError SmbNetwork::createFolder(const QString& unc) {
    Context* ctx = nullptr;
    if (const FileError e = reach(unc, ctx); e != FileError::None) {
        return e;
    }
    if (smbc_getFunctionMkdir(ctx->ctx)(ctx->ctx, url(unc).constData(), 0755) != 0) {
        return classify(errno, unc);
    }
    return FileError::None;
}

FileError SmbNetwork::list(const QString& unc, std::vector<FolderEntry>& entries) {
    entries.clear();
    Context* ctx = nullptr;
    if (const FileError error = reach(unc, ctx); error != FileError::None) {
        return error;
    }
    SMBCFILE* folder = smbc_getFunctionOpendir(ctx->ctx)(ctx->ctx, url(unc).constData());
    if (folder == nullptr) {
        // A folder that is not there is a missing path, as for every other backend.
        const FileError error = classify(errno, unc);
        return error == FileError::FileNotFound ? FileError::PathNotFound : error;
    }
    struct stat st {};
    while (const libsmb_file_info* info =
               smbc_getFunctionReaddirPlus2(ctx->ctx)(ctx->ctx, folder, &st)) {
        const QString name = QString::fromUtf8(info->name);
        if (name != QLatin1String(".") && name != QLatin1String("..")) {
            entries.push_back({name, static_cast<qint64>(info->size), S_ISDIR(st.st_mode),
                               QDateTime::fromSecsSinceEpoch(st.st_mtime)});
        }
    }
    smbc_getFunctionClosedir(ctx->ctx)(ctx->ctx, folder);
    return FileError::None;
}

qint64 SmbNetwork::length(const QString& unc) {
    Context* ctx = nullptr;
    struct stat st {};
    if (reach(unc, ctx) != FileError::None ||
        smbc_getFunctionStat(ctx->ctx)(ctx->ctx, url(unc).constData(), &st) != 0 ||
        S_ISDIR(st.st_mode)) {
        return -1;
    }
    return st.st_size;
}

bool SmbNetwork::exists(const QString& unc) {
    Context* ctx = nullptr;
    struct stat st {};
    return reach(unc, ctx) == FileError::None &&
           smbc_getFunctionStat(ctx->ctx)(ctx->ctx, url(unc).constData(), &st) == 0;
}

} // namespace vantrel
