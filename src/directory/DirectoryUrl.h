#pragma once

#include "platform/Directory.h"

#include <QString>

#include <optional>

namespace vantrel {

// An LDAP URL (RFC 4516) naming where the workstations' computer accounts are:
// ldap[s]://[host[:port]]/base[?attributes[?scope[?filter[?extensions]]]].
// Without a scope the whole subtree is searched (a base search of an OU finds no
// computer); the URL's filter, when there is one, narrows "enabled computer". Without a
// host the controllers of the domain the base names (its DC= parts) are found through
// DNS. The attributes are the program's own (dNSHostName, cn): those of the URL are
// ignored. error receives the French reason when the URL is not one.
std::optional<DirectoryQuery> parseDirectoryUrl(const QString& url, QString& error);

// The filter of every search: computer accounts whose userAccountControl has not the
// "account disabled" bit (2), narrowed by filter when it is not empty.
QString enabledComputersFilter(const QString& filter);

// True when text is a search filter (RFC 4515): one "(...)" with "&", "|", "!" and
// items "attr=value", "attr~=value", "attr>=value", "attr<=value", "attr=*", substrings
// and extensible matches ("attr:1.2.3:=value").
bool isSearchFilter(const QString& text);

} // namespace vantrel
