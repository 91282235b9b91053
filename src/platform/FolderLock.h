#pragma once

namespace vantrel {

// Held while a pass runs, so that programs sharing the program's folder take
// turns; released when destroyed, or by the system when its process ends.
class FolderLock {
public:
    virtual ~FolderLock() = default;
};

} // namespace vantrel
