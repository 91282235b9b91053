#include "AddressText.h"

#include <QList>

#include <array>
#include <vector>

namespace vantrel {
namespace {

// Digits only: no sign, no blank, no "0x" that the number readers would let through.
bool isNumber(QStringView text, int base, qsizetype maxDigits, uint& value) {
    if (text.isEmpty() || text.size() > maxDigits) {
        return false;
    }
    value = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const char16_t lower = u | 0x20;
        int digit = 0;
        if (u >= u'0' && u <= u'9') {
            digit = u - u'0';
        } else if (base == 16 && lower >= u'a' && lower <= u'f') {
            digit = lower - u'a' + 10;
        } else {
            return false;
        }
        value = value * static_cast<uint>(base) + static_cast<uint>(digit);
    }
    return true;
}

bool ipv4(QStringView text, std::array<uint, 4>& parts) {
    const QList<QStringView> fields = text.split(u'.');
    if (fields.size() != 4) {
        return false;
    }
    for (int i = 0; i < 4; ++i) {
        if (!isNumber(fields.at(i), 10, 3, parts[static_cast<size_t>(i)]) ||
            parts[static_cast<size_t>(i)] > 255) {
            return false;
        }
    }
    return true;
}

// The 16-bit groups of one side of "::"; an IPv4 address may end the address.
bool groupsOf(QStringView side, bool mayEndInIpv4, std::vector<uint>& groups) {
    if (side.isEmpty()) {
        return true;
    }
    const QList<QStringView> fields = side.split(u':');
    for (qsizetype i = 0; i < fields.size(); ++i) {
        std::array<uint, 4> v4{};
        uint group = 0;
        if (mayEndInIpv4 && i == fields.size() - 1 && ipv4(fields.at(i), v4)) {
            groups.push_back(v4[0] << 8 | v4[1]);
            groups.push_back(v4[2] << 8 | v4[3]);
        } else if (isNumber(fields.at(i), 16, 4, group)) {
            groups.push_back(group);
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

QByteArray addressBytes(QStringView text) {
    std::vector<uint> groups;
    std::array<uint, 4> v4{};
    if (ipv4(text, v4)) {
        groups = {0, 0, 0, 0, 0, 0xffff, v4[0] << 8 | v4[1], v4[2] << 8 | v4[3]};
    } else {
        const QStringView address = text.left(text.indexOf(u'%'));
        const qsizetype gap = address.indexOf(u"::");
        if (gap < 0) {
            if (!groupsOf(address, true, groups) || groups.size() != 8) {
                return QByteArray();
            }
        } else {
            std::vector<uint> tail;
            // A second "::" leaves an empty group on its side: refused there.
            if (!groupsOf(address.left(gap), false, groups) ||
                !groupsOf(address.mid(gap + 2), true, tail) || groups.size() + tail.size() > 7) {
                return QByteArray();
            }
            groups.resize(8 - tail.size(), 0);
            groups.insert(groups.end(), tail.begin(), tail.end());
        }
    }
    QByteArray bytes;
    for (const uint group : groups) {
        bytes.append(static_cast<char>(group >> 8)).append(static_cast<char>(group & 0xff));
    }
    // A link-local address is one machine on one link only.
    const qsizetype zone = text.indexOf(u'%');
    return zone < 0 ? bytes : bytes + text.mid(zone).toUtf8();
}

} // namespace vantrel
