#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vantrel {

// A workstation's address: IPv4 (its 4 first bytes) or IPv6, in network order.
struct HostAddress {
    bool v6 = false;
    std::array<uint8_t, 16> bytes{};
    bool operator==(const HostAddress& other) const {
        return v6 == other.v6 && bytes == other.bytes;
    }
};

// The sockets API is the same on Windows and POSIX for these three; the echo engines
// of both systems share them. Windows needs its sockets started first.
namespace HostAddresses {

// An IPv4 address when the name has one, as Windows' ping prefers; else IPv6.
bool resolve(const std::string& host, HostAddress& address);
// An address written as such: "127.0.0.1", "fd00:17::5".
bool literal(const std::string& host, HostAddress& address);
std::string text(const HostAddress& address);

} // namespace HostAddresses
} // namespace vantrel
