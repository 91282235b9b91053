#include "platform/echo/HostAddress.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#endif

#include <cstring>

namespace vantrel::HostAddresses {

bool resolve(const std::string& host, HostAddress& address) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
        return false;
    }
    const addrinfo* chosen = nullptr;
    for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
        if (a->ai_family == AF_INET) {
            chosen = a;
            break;
        }
        if (a->ai_family == AF_INET6 && chosen == nullptr) {
            chosen = a;
        }
    }
    if (chosen != nullptr) {
        address.v6 = chosen->ai_family == AF_INET6;
        if (address.v6) {
            std::memcpy(address.bytes.data(),
                        &reinterpret_cast<const sockaddr_in6*>(chosen->ai_addr)->sin6_addr, 16);
        } else {
            std::memcpy(address.bytes.data(),
                        &reinterpret_cast<const sockaddr_in*>(chosen->ai_addr)->sin_addr, 4);
        }
    }
    freeaddrinfo(found);
    return chosen != nullptr;
}

bool literal(const std::string& host, HostAddress& address) {
    if (inet_pton(AF_INET, host.c_str(), address.bytes.data()) == 1) {
        return true;
    }
    address.v6 = inet_pton(AF_INET6, host.c_str(), address.bytes.data()) == 1;
    return address.v6;
}

std::string text(const HostAddress& address) {
    char buffer[INET6_ADDRSTRLEN] = {};
    inet_ntop(address.v6 ? AF_INET6 : AF_INET, address.bytes.data(), buffer, sizeof buffer);
    return buffer;
}

} // namespace vantrel::HostAddresses
