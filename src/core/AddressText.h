#pragma once

#include <QByteArray>
#include <QStringView>

namespace vantrel {

// An IPv4 or IPv6 address as written ("10.0.0.11", "fd00:72:0:0::12",
// "fe80::1%12") as its 16 bytes, an IPv4 one mapped into IPv6, its zone after them:
// every form of one address gives the same bytes. Empty when the text is no address.
QByteArray addressBytes(QStringView text);

} // namespace vantrel
