#include "LocalFiles.h"

#include "PosixErrors.h"
#include "platform/NameLength.h"
#include "platform/System.h"

#include <QCryptographicHash>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel::LocalFiles {
namespace {

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

FileError lastError() {
    return fileErrorFromErrno(errno);
}

// Folder of path must exist for a new file to be made in it.
FileError checkParent(const QByteArray& path) {
    const int slash = path.lastIndexOf('/');
    const QByteArray parent = slash <= 0 ? QByteArray("/") : path.left(slash);
    struct stat st {};
    if (::stat(parent.constData(), &st) != 0) {
        return FileError::PathNotFound;
    }
    return S_ISDIR(st.st_mode) ? FileError::None : FileError::PathNotFound;
}

bool isFolder(const QByteArray& path) {
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

mode_t newFileMode() {
    static const mode_t mode = [] {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return static_cast<mode_t>(0666 & ~mask);
    }();
    return mode;
}

// A temporary file beside target (mkstemp makes it private); its descriptor, or -1.
int openTemporary(const QByteArray& target, QByteArray& temporary) {
    temporary =
        encoded(besideWithSuffix(QFile::decodeName(target), QStringLiteral(".vantrel-XXXXXX")));
    const int fd = ::mkstemp(temporary.data());
    if (fd >= 0) {
        ::fchmod(fd, newFileMode());
    }
    return fd;
}

FileError writeAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return lastError();
        }
        data += n;
        size -= n;
    }
    return FileError::None;
}

constexpr qint64 kReadBlock = 1 << 20;

// Reads fd to its end blockSize bytes at a time, handing each block to take, which
// may stop the reading with an error.
template <typename Take> FileError readBlocks(int fd, Take take, qint64 blockSize = kReadBlock) {
    QByteArray block(blockSize, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::read(fd, block.data(), static_cast<size_t>(block.size()));
        if (n == 0) {
            return FileError::None;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return lastError();
        }
        if (const FileError error = take(block.constData(), n); error != FileError::None) {
            return error;
        }
    }
}

// Copies at most 8 MiB at a time, each piece let go by meter before it is written.
FileError copyContent(int in, int out, CopyMeter* meter) {
    constexpr qint64 kBlock = qint64(8) << 20;
    struct stat st {};
    qint64 left = ::fstat(in, &st) == 0 && S_ISREG(st.st_mode) ? st.st_size : kBlock;
    // The kernel copies without a round trip through user space where it can.
    for (;;) {
        // Past the length seen at the start (a file still growing) a piece is asked for
        // anyway: the cap holds whatever the file does.
        const qint64 wanted = allowance(meter, std::clamp<qint64>(left, 1, kBlock));
        const ssize_t n =
            ::copy_file_range(in, nullptr, out, nullptr, static_cast<size_t>(wanted), 0);
        if (n == 0) {
            return FileError::None;
        }
        if (n > 0) {
            left -= n;
        } else if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP) {
            break;
        } else if (errno != EINTR) {
            return lastError();
        }
    }
    return readBlocks(in, [out, meter](const char* data, ssize_t n) {
        return sendMetered(meter, data, n, [out](const char* piece, qint64 size) {
            return writeAll(out, piece, size);
        });
    });
}

// expected: the file's length when it was opened. A small file (a sweep reads
// thousands of transcripts) is read in one block of its size, not a megabyte's.
FileError readAtMost(int fd, qint64 expected, qint64 limit, QByteArray& bytes) {
    bytes.clear();
    return readBlocks(
        fd,
        [&bytes, limit](const char* data, ssize_t n) {
            if (bytes.size() + n > limit) {
                bytes.clear();
                return FileError::TooLarge; // it grew while being read
            }
            bytes.append(data, n);
            return FileError::None;
        },
        std::clamp<qint64>(expected + 1, 4096, kReadBlock));
}

// Writes into a temporary file beside target, then puts it in place.
template <typename Fill> FileError replaceWith(const QString& target, Fill fill) {
    const QByteArray path = encoded(target);
    if (isFolder(path)) {
        return FileError::IsAFolder;
    }
    if (const FileError parent = checkParent(path); parent != FileError::None) {
        return parent;
    }
    QByteArray temporary;
    const int fd = openTemporary(path, temporary);
    if (fd < 0) {
        return lastError();
    }
    FileError error = fill(fd);
    if (::close(fd) != 0 && error == FileError::None) {
        error = lastError();
    }
    if (error == FileError::None && ::rename(temporary.constData(), path.constData()) != 0) {
        error = lastError();
    }
    if (error != FileError::None) {
        ::unlink(temporary.constData());
    }
    return error;
}

} // namespace

// Opens a regular file for reading. O_NONBLOCK keeps a FIFO from blocking the open;
// anything that is not a regular file is refused before a byte is read.
FileError openForReading(const QString& path, int& fd, struct stat& st) {
    const QByteArray name = encoded(path);
    fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int openError = errno;
        if (isFolder(name)) {
            return FileError::IsAFolder;
        }
        if (openError == ENOENT) {
            return checkParent(name) == FileError::None ? FileError::FileNotFound
                                                        : FileError::PathNotFound;
        }
        return fileErrorFromErrno(openError);
    }
    const bool statted = ::fstat(fd, &st) == 0;
    if (statted && S_ISREG(st.st_mode)) {
        return FileError::None;
    }
    ::close(fd);
    fd = -1;
    return statted && S_ISDIR(st.st_mode) ? FileError::IsAFolder : FileError::NotAFile;
}

FileError read(const QString& path, QByteArray& bytes) {
    int fd = -1;
    struct stat st {};
    if (const FileError error = openForReading(path, fd, st); error != FileError::None) {
        return error;
    }
    const FileError error = st.st_size > kMaxReadBytes
                                ? FileError::TooLarge
                                : readAtMost(fd, st.st_size, kMaxReadBytes, bytes);
    ::close(fd);
    return error;
}

FileError write(const QString& path, const QByteArray& bytes) {
    return replaceWith(path,
                       [&bytes](int fd) { return writeAll(fd, bytes.constData(), bytes.size()); });
}

qint64 length(const QString& path) {
    struct stat st {};
    if (::stat(encoded(path).constData(), &st) != 0 || S_ISDIR(st.st_mode)) {
        return -1;
    }
    return st.st_size;
}

FileError remove(const QString& path) {
    const QByteArray name = encoded(path);
    if (isFolder(name)) {
        return FileError::IsAFolder;
    }
    if (::unlink(name.constData()) != 0) {
        return errno == ENOENT ? FileError::FileNotFound : lastError();
    }
    return FileError::None;
}

FileError rename(const QString& from, const QString& to) {
    const QByteArray source = encoded(from);
    const QByteArray target = encoded(to);
    struct stat st {};
    if (::stat(source.constData(), &st) != 0) {
        return errno == ENOENT ? FileError::FileNotFound : lastError();
    }
    if (S_ISDIR(st.st_mode)) {
        return FileError::IsAFolder;
    }
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0) {
        return FileError::None;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return lastError();
    }
    // A file system without atomic no-replace rename: a hard link refuses an existing target.
    if (::link(source.constData(), target.constData()) != 0) {
        return lastError();
    }
    ::unlink(source.constData());
    return FileError::None;
}

namespace {

// A file to be renamed, linked...: FileNotFound when it is not there.
FileError checkSource(const QByteArray& source) {
    struct stat st {};
    if (::stat(source.constData(), &st) != 0) {
        return errno == ENOENT ? FileError::FileNotFound : lastError();
    }
    return S_ISDIR(st.st_mode) ? FileError::IsAFolder : FileError::None;
}

} // namespace

FileError replace(const QString& from, const QString& to) {
    const QByteArray source = encoded(from);
    const QByteArray target = encoded(to);
    if (const FileError error = checkSource(source); error != FileError::None) {
        return error;
    }
    if (isFolder(target)) {
        return FileError::IsAFolder;
    }
    return ::rename(source.constData(), target.constData()) == 0 ? FileError::None : lastError();
}

FileError link(const QString& from, const QString& to) {
    const QByteArray source = encoded(from);
    const QByteArray target = encoded(to);
    if (const FileError error = checkSource(source); error != FileError::None) {
        return error;
    }
    if (::link(source.constData(), target.constData()) == 0) {
        return FileError::None;
    }
    struct stat st {};
    if (errno == EEXIST || ::lstat(target.constData(), &st) == 0) {
        return FileError::AlreadyExists;
    }
    return copy(from, to); // a file system without hard links (FAT, some shares)
}

FileError copy(const QString& from, const QString& to, CopyMeter* meter) {
    int in = -1;
    struct stat st {};
    if (const FileError error = openForReading(from, in, st); error != FileError::None) {
        return error;
    }
    const FileError error =
        replaceWith(to, [in, meter](int out) { return copyContent(in, out, meter); });
    ::close(in);
    return error;
}

FileError createFolder(const QString& path) {
    const QByteArray name = encoded(path);
    if (::mkdir(name.constData(), 0777) != 0) {
        return lastError();
    }
    return FileError::None;
}

FileError listFolder(const QString& path, std::vector<FolderEntry>& entries) {
    entries.clear();
    const QByteArray name = encoded(path);
    DIR* folder = ::opendir(name.constData());
    if (folder == nullptr) {
        return errno == ENOTDIR ? FileError::PathNotFound : lastError();
    }
    errno = 0;
    while (const dirent* entry = ::readdir(folder)) {
        const QByteArray entryName(entry->d_name);
        if (entryName == "." || entryName == "..") {
            continue;
        }
        struct stat st {};
        if (::fstatat(::dirfd(folder), entry->d_name, &st, 0) == 0) {
            entries.push_back({QFile::decodeName(entryName), st.st_size, S_ISDIR(st.st_mode),
                               QDateTime::fromMSecsSinceEpoch(qint64(st.st_mtim.tv_sec) * 1000 +
                                                              st.st_mtim.tv_nsec / 1000000)});
        }
    }
    ::closedir(folder);
    return FileError::None;
}

namespace {

constexpr qint64 kCompareBlockBytes = 1 << 20;

// Fills size bytes from read unless the file ends or fails first: what it got.
qint64 fill(const ReadBlock& read, char* into, qint64 size) {
    qint64 got = 0;
    while (got < size) {
        const qint64 n = read(into + got, size - got);
        if (n <= 0) {
            return n < 0 ? -1 : got;
        }
        got += n;
    }
    return got;
}

ReadBlock descriptorReader(int fd) {
    return [fd](char* into, qint64 size) -> qint64 {
        for (;;) {
            const ssize_t n = ::read(fd, into, static_cast<size_t>(size));
            if (n >= 0 || errno != EINTR) {
                return n;
            }
        }
    };
}

} // namespace

FileError sameAsSource(const QString& source, qint64 targetSize, const ReadBlock& readTarget,
                       bool& same) {
    same = false;
    int fd = -1;
    struct stat st {};
    if (const FileError error = openForReading(source, fd, st); error != FileError::None) {
        return error;
    }
    FileError error = FileError::None;
    if (st.st_size == targetSize) {
        const ReadBlock readSource = descriptorReader(fd);
        QByteArray ours(kCompareBlockBytes, Qt::Uninitialized);
        QByteArray theirs(kCompareBlockBytes, Qt::Uninitialized);
        same = true;
        while (same) {
            const qint64 got = fill(readSource, ours.data(), ours.size());
            if (got < 0) {
                error = lastError();
                same = false;
                break;
            }
            const qint64 gotTheirs = fill(readTarget, theirs.data(), got);
            same = gotTheirs == got &&
                   std::memcmp(ours.constData(), theirs.constData(), static_cast<size_t>(got)) == 0;
            if (got == 0) {
                break;
            }
        }
    }
    ::close(fd);
    return error;
}

FileError sha256(const QString& path, QByteArray& digest) {
    int fd = -1;
    struct stat st {};
    if (const FileError error = openForReading(path, fd, st); error != FileError::None) {
        return error;
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QByteArray block(kCompareBlockBytes, Qt::Uninitialized);
    const ReadBlock read = descriptorReader(fd);
    qint64 n = 0;
    while ((n = read(block.data(), block.size())) > 0) {
        hash.addData(QByteArrayView(block.constData(), n));
    }
    const FileError error = n < 0 ? lastError() : FileError::None;
    ::close(fd);
    digest = error == FileError::None ? hash.result() : QByteArray();
    return error;
}

FileError sameContents(const QString& source, const QString& target, bool& same) {
    same = false;
    int fd = -1;
    struct stat st {};
    if (const FileError error = openForReading(target, fd, st); error != FileError::None) {
        return error;
    }
    FileError targetError = FileError::None;
    const ReadBlock read = [&targetError, reader = descriptorReader(fd)](char* into, qint64 size) {
        const qint64 n = reader(into, size);
        if (n < 0) {
            targetError = lastError();
        }
        return n;
    };
    const FileError error = sameAsSource(source, st.st_size, read, same);
    ::close(fd);
    return error != FileError::None ? error : targetError;
}

} // namespace vantrel::LocalFiles
