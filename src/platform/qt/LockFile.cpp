#include "LockFile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace vantrel {
namespace {

// A holder writes its lock file as it creates it: one that still tells no holder
// after this long was left by a program that died in between (kill -9, power cut).
constexpr qint64 kUnwrittenLockSeconds = 5;

bool tellsNoHolder(const QLockFile& file, const QString& path) {
    qint64 pid = 0;
    QString host;
    QString application;
    if (file.getLockInfo(&pid, &host, &application) && pid > 0) {
        return false;
    }
    const QFileInfo info(path);
    return info.isFile() &&
           info.lastModified().secsTo(QDateTime::currentDateTime()) >= kUnwrittenLockSeconds;
}

} // namespace

std::unique_ptr<FolderLock> LockFile::tryLock(const QString& nativeFolder) {
    const QString path = QDir(nativeFolder).filePath(QStringLiteral("Vantrel.lock"));
    std::unique_ptr<LockFile> lock(new LockFile(path));
    // A pass may last long: only a dead holder frees the lock, never its age.
    lock->file_.setStaleLockTime(0);
    if (lock->file_.tryLock(0)) {
        return lock;
    }
    if (lock->file_.error() == QLockFile::LockFailedError) {
        if (!tellsNoHolder(lock->file_, path) || !lock->file_.removeStaleLockFile() ||
            !lock->file_.tryLock(0)) {
            return nullptr;
        }
        return lock;
    }
    return std::make_unique<FolderLock>();
}

} // namespace vantrel
