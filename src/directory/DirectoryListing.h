#pragma once

#include "platform/Directory.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vantrel {

// The workstations a directory lists, or why there are none.
struct DirectoryListing {
    QStringList names; // sorted without regard to case
    QString error;     // French, "" when names were found
};

// The enabled computers under url (an LDAP URL, see parseDirectoryUrl) as directory
// finds them: their DNS host names, else their cn, sorted as Windows sorts names.
// Zero computers is an error too: a pass over nothing is a mistake in the URL.
DirectoryListing listDirectoryComputers(Directory& directory, const QString& url);

// The French message for answer's error, for the query that got it.
QString directoryErrorText(const DirectoryQuery& query, const DirectoryAnswer& answer);

// The names as a .LPO holds them: Windows-1252, each line ended by CR LF.
QByteArray listingBytes(const QStringList& names);

} // namespace vantrel
