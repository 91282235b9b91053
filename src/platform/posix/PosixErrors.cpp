#include "PosixErrors.h"

#include <cerrno>

namespace vantrel {

FileError fileErrorFromErrno(int errnoValue) {
    switch (errnoValue) {
    case 0:
        return FileError::None;
    case ENOENT:
        return FileError::PathNotFound;
    case ENOTDIR:
        return FileError::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return FileError::AccessDenied;
    case EBUSY:
    case ETXTBSY:
        return FileError::SharingViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return FileError::DiskFull;
    case EEXIST:
        return FileError::AlreadyExists;
    case EHOSTUNREACH:
    case ENETUNREACH:
    case ECONNREFUSED:
    case EHOSTDOWN:
        return FileError::HostUnreachable;
    case ETIMEDOUT:
        return FileError::TimedOut;
    case EISDIR:
        return FileError::IsAFolder;
    case ENAMETOOLONG:
    case EINVAL:
        return FileError::InvalidName;
    default:
        return FileError::Other;
    }
}

} // namespace vantrel
