#pragma once

#include <QString>

namespace vantrel {

// Outcome of a file operation, shared by every backend so that the copy lines of
// a pass read the same whatever the operating system.
enum class FileError {
    None,
    FileNotFound,
    PathNotFound,
    AccessDenied,
    SharingViolation,
    DiskFull,
    AlreadyExists,
    HostUnreachable,
    ShareNotFound,
    LogonFailure,
    KerberosRefused, // a logon with the Kerberos ticket refused: none valid any more
    GuestRefused,    // no ticket, no credentials: the guest was not let in
    TimedOut,
    IsAFolder,
    InvalidName,
    UnsafeCredentials,
    CredentialsMissing,    // the authentication file named is not there
    CredentialsNotAFile,   // it names a folder, a device...
    CredentialsUnreadable, // it cannot be read, or is far too big to be one
    NotAFile,
    TooLarge,
    TooManyLines,
    NotWindows1252, // NUL bytes or a UTF-16 byte order mark: no text of the program's
    LineTooLong,
    PathTooLong,
    SourceChanging,
    SameTarget,
    RefusedName,          // a name no Windows share takes
    NameTooLongForBackup, // the name with a pass's stamp would pass 255 units
    CaseTwins,            // names Windows takes for one stand for several files
    Interrupted,
    Other,
};

// The longest path Windows itself takes: a longer one names nothing anywhere.
constexpr qsizetype kMaxPathCharacters = 32767;

QString describe(FileError error);

} // namespace vantrel
