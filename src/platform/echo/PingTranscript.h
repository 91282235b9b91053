#pragma once

#include <string>
#include <vector>

namespace vantrel {

// What "ping HOST" writes on a French Windows, in Windows-1252: four echo requests,
// one line each, then the loss summary the sweep reads. Plain C++, shared by the
// ping stand-in and the in-process echo engines.
namespace PingTranscript {

constexpr int kRequests = 4;
// A workstation's requests go this far apart, and its transcript is written once the
// last one is answered or this long after it went: an answering workstation costs
// 0.3 s, a silent one 2.3 s. On a LAN a reply takes well under a millisecond; the four
// requests still span more than a blip of it, and a slow site link's round trip (a
// satellite's 600 ms) has time to spare, the requests being in flight together.
constexpr int kSpacingMs = 100;
constexpr int kLastReplyWaitMs = 2000;

struct Reply {
    double ms = 0;
    int ttl = 0;
};

// address is the dotted or IPv6 form; it is shown in brackets when host is a name.
std::string answered(const std::string& host, const std::string& address, int sent,
                     const std::vector<Reply>& replies);
std::string hostNotFound(const std::string& host);

} // namespace PingTranscript
} // namespace vantrel
