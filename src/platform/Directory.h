#pragma once

#include "FileError.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace vantrel {

// One search for computer accounts, as the directory's library is handed it.
struct DirectoryQuery {
    enum class Scope { Base, OneLevel, Subtree };
    bool secure = false; // ldaps://
    QString host;        // empty: the domain's controllers, found through DNS
    int port = 0;        // 0: the scheme's
    QString domain;      // the DNS domain whose controllers are looked up
    QString base;
    Scope scope = Scope::Subtree;
    QString filter; // complete, enabled computers included
    // A simple bind's credentials (smbclient's authentication-file format) when no
    // Kerberos ticket binds; empty: Kerberos only.
    QString credentialsFile;
    QString certificateAuthorities; // a PEM file; empty: the system's
};

enum class DirectoryError {
    None,
    NoController,     // no controller found through DNS for the domain
    Unreachable,      // no answer from the server
    NoSuchBase,       // the base does not exist
    NoTicket,         // no usable Kerberos ticket, and no credentials to fall back on
    WrongPassword,    // the simple bind's credentials were refused
    TlsRefused,       // TLS could not be set up, or the certificate is not trusted
    BadFilter,        // the server (or the library) does not take the filter
    ClearTextRefused, // a simple bind would send the password in clear
    Credentials,      // the authentication file cannot be used (see credentials)
    Refused,          // the server refused the search (rights, signing...)
};

struct DirectoryAnswer {
    DirectoryError error = DirectoryError::None;
    FileError credentials = FileError::None; // with DirectoryError::Credentials
    QString detail;                          // the library's own words, for the message
    QStringList names;                       // dNSHostName, else cn, of every entry found
};

// The directory's library of this operating system.
class Directory {
public:
    virtual ~Directory() = default;
    // Every entry of every page of the search; blocks, never on the window's thread.
    virtual DirectoryAnswer computers(const DirectoryQuery& query) = 0;
};

std::unique_ptr<Directory> createDirectory();

} // namespace vantrel
