#pragma once

#include "platform/FolderLock.h"

#include <QLockFile>

#include <memory>

namespace vantrel {

// A folder's lock as a lock file in it ("Vantrel.lock"). A lock left by a process
// that has died is taken over. Null while a live process holds it; where no lock
// file can be made (a read-only folder) a lock that holds nothing, so the caller
// meets the folder's own error.
class LockFile : public FolderLock {
public:
    static std::unique_ptr<FolderLock> tryLock(const QString& nativeFolder);

private:
    explicit LockFile(const QString& path) : file_(path) {}
    QLockFile file_;
};

} // namespace vantrel
