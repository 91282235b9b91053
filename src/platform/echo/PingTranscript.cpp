#include "PingTranscript.h"

#include <algorithm>

namespace vantrel::PingTranscript {
namespace {

std::string milliseconds(double ms) {
    return std::to_string(static_cast<long>(ms + 0.5)) + "ms";
}

} // namespace

std::string answered(const std::string& host, const std::string& address, int sent,
                     const std::vector<Reply>& replies) {
    std::string out = "\r\nEnvoi d'une requ\xEAte 'Ping'  " + host +
                      (host == address ? std::string() : " [" + address + "]") +
                      " avec 32 octets de donn\xE9"
                      "es :\r\n";
    const int received = std::min(static_cast<int>(replies.size()), sent);
    const bool ipv6 = address.find(':') != std::string::npos;
    double minimum = 0, maximum = 0, total = 0;
    for (int i = 0; i < received; ++i) {
        const Reply& r = replies[static_cast<size_t>(i)];
        const std::string time = r.ms < 1 ? std::string("<1ms") : "=" + milliseconds(r.ms);
        // An IPv6 reply line gives neither the size nor a TTL.
        out += ipv6 ? "R\xE9ponse de " + address + " : temps" + time + "\r\n"
                    : "R\xE9ponse de " + address + " : octets=32 temps" + time +
                          " TTL=" + std::to_string(r.ttl) + "\r\n";
        minimum = i == 0 || r.ms < minimum ? r.ms : minimum;
        maximum = std::max(maximum, r.ms);
        total += r.ms;
    }
    for (int i = received; i < sent; ++i) {
        out += "D\xE9lai d'attente de la demande d\xE9pass\xE9.\r\n";
    }
    const int lost = sent - received;
    out += "\r\nStatistiques Ping pour " + address +
           ":\r\n    Paquets : envoy\xE9s = " + std::to_string(sent) +
           ", re\xE7us = " + std::to_string(received) + ", perdus = " + std::to_string(lost) +
           " (perte " + std::to_string(sent > 0 ? lost * 100 / sent : 100) + "%),\r\n";
    if (received > 0) {
        out += "Dur\xE9"
               "e approximative des boucles en millisecondes :\r\n    Minimum = " +
               milliseconds(minimum) + ", Maximum = " + milliseconds(maximum) +
               ", Moyenne = " + milliseconds(total / received) + "\r\n";
    }
    return out;
}

std::string hostNotFound(const std::string& host) {
    return "La requ\xEAte Ping n'a pas pu trouver l'h\xF4te " + host +
           ". V\xE9rifiez le nom et essayez \xE0 nouveau.\r\n";
}

} // namespace vantrel::PingTranscript
