#pragma once

#include "platform/FileError.h"

#include <QByteArray>
#include <QString>

namespace vantrel {

struct Credentials {
    QByteArray user;
    QByteArray password;
    QByteArray domain;
};

// Whether Kerberos has a credentials cache to offer: KRB5CCNAME's, or the default one.
bool kerberosTicketPresent();

// Reads smbclient's authentication-file format ("username = / password = / domain =");
// false, with refusal set, when the file cannot be used: missing, not a regular file,
// readable by other users, or too big to be one.
bool readCredentials(const QString& path, Credentials& credentials, FileError& refusal);

} // namespace vantrel
