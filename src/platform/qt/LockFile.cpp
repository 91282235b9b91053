#include "LockFile.h"

#include <QDir>

namespace vantrel {

std::unique_ptr<FolderLock> LockFile::tryLock(const QString& nativeFolder) {
    std::unique_ptr<LockFile> lock(
        new LockFile(QDir(nativeFolder).filePath(QStringLiteral("Vantrel.lock"))));
    // A pass may last long: only a dead holder frees the lock, never its age.
    lock->file_.setStaleLockTime(0);
    if (lock->file_.tryLock(0)) {
        return lock;
    }
    if (lock->file_.error() == QLockFile::LockFailedError) {
        return nullptr;
    }
    return std::make_unique<FolderLock>();
}

} // namespace vantrel
