#include "Win32Errors.h"

#include <windows.h>

namespace vantrel {

FileError fileErrorFromWin32(unsigned long error) {
    switch (error) {
    case ERROR_SUCCESS:
        return FileError::None;
    case ERROR_FILE_NOT_FOUND:
        return FileError::FileNotFound;
    case ERROR_PATH_NOT_FOUND: // also what Wine answers for a host it does not know
    case ERROR_INVALID_DRIVE:
        return FileError::PathNotFound;
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_RESP:
    case ERROR_NETNAME_DELETED:
    case ERROR_UNEXP_NET_ERR:
    case ERROR_NO_NETWORK:
    case ERROR_HOST_UNREACHABLE:
    case ERROR_NETWORK_UNREACHABLE:
        return FileError::HostUnreachable;
    case ERROR_BAD_NET_NAME:
        return FileError::ShareNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return FileError::AccessDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return FileError::SharingViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return FileError::DiskFull;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        return FileError::AlreadyExists;
    case ERROR_LOGON_FAILURE:
    case ERROR_ACCOUNT_RESTRICTION:
        return FileError::LogonFailure;
    case ERROR_SEM_TIMEOUT:
        return FileError::TimedOut;
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE:
        return FileError::InvalidName;
    case ERROR_DIRECTORY:
        return FileError::IsAFolder;
    default:
        return FileError::Other;
    }
}

} // namespace vantrel
