// Stands in for "ping HOST" on a French Windows: runs the system's ping (four echo
// requests, bounded in time even for a dead host) and writes on stdout, in
// Windows-1252, the transcript a French Windows ping writes, loss summary included.
// The host name is resolved here and only its address is handed to ping, so no
// text from a workstation list can reach ping as an option.

#include "platform/echo/PingTranscript.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <netdb.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace vantrel;

namespace {

constexpr unsigned kResolveSeconds = 6; // the program reads the transcript after ten

std::string notFoundText;

void onResolveTimeout(int) {
    [[maybe_unused]] ssize_t n = write(STDOUT_FILENO, notFoundText.data(), notFoundText.size());
    _exit(1);
}

// The address ping is given: IPv4 when the name has one, else IPv6.
std::string resolve(const char* host) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_RAW;
    addrinfo* found = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &found) != 0 || found == nullptr) {
        return std::string();
    }
    const addrinfo* chosen = found;
    for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
        if (a->ai_family == AF_INET) {
            chosen = a;
            break;
        }
    }
    char text[INET6_ADDRSTRLEN] = {};
    const void* address =
        chosen->ai_family == AF_INET6
            ? static_cast<const void*>(
                  &reinterpret_cast<const sockaddr_in6*>(chosen->ai_addr)->sin6_addr)
            : static_cast<const void*>(
                  &reinterpret_cast<const sockaddr_in*>(chosen->ai_addr)->sin_addr);
    inet_ntop(chosen->ai_family, address, text, sizeof text);
    freeaddrinfo(found);
    return text;
}

// Runs ping with the C locale and returns what it printed.
std::string runPing(const std::string& address) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return std::string();
    }
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        dup2(pipeFds[1], STDERR_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        setenv("LC_ALL", "C", 1);
        const std::string count = std::to_string(PingTranscript::kRequests);
        // No overall deadline (-w): with one, ping sends until it has its count of
        // replies, so a late reply on a loaded machine reads as a lost request. The
        // spacing and the wait are the echo engine's, which bound it well enough.
        const std::string spacing = std::to_string(PingTranscript::kSpacingMs / 1000.0);
        const std::string wait = std::to_string(PingTranscript::kLastReplyWaitMs / 1000.0);
        execlp("ping", "ping", "-n", "-c", count.c_str(), "-i", spacing.c_str(), "-W", wait.c_str(),
               address.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    std::string output;
    char buffer[4096];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) != 0;) {
        if (n > 0) {
            output.append(buffer, static_cast<size_t>(n));
        } else if (errno != EINTR) {
            break;
        }
    }
    close(pipeFds[0]);
    if (child > 0) {
        int status = 0;
        waitpid(child, &status, 0);
    }
    return output;
}

// Values of "64 bytes from A: icmp_seq=1 ttl=64 time=0.045 ms" lines.
std::vector<PingTranscript::Reply> replies(const std::string& output) {
    std::vector<PingTranscript::Reply> found;
    size_t start = 0;
    while (start < output.size()) {
        size_t end = output.find('\n', start);
        if (end == std::string::npos) {
            end = output.size();
        }
        const std::string line = output.substr(start, end - start);
        const size_t ttl = line.find(" ttl=");
        const size_t time = line.find(" time=");
        if (line.find(" bytes from ") != std::string::npos && ttl != std::string::npos &&
            time != std::string::npos) {
            PingTranscript::Reply reply;
            reply.ttl = std::atoi(line.c_str() + ttl + 5);
            reply.ms = std::atof(line.c_str() + time + 6);
            found.push_back(reply);
        }
        start = end + 1;
    }
    return found;
}

// "N packets transmitted" from the summary; -1 when ping wrote none.
int transmitted(const std::string& output) {
    const size_t at = output.find(" packets transmitted");
    if (at == std::string::npos) {
        return -1;
    }
    size_t begin = output.rfind('\n', at);
    begin = begin == std::string::npos ? 0 : begin + 1;
    return std::atoi(output.c_str() + begin);
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2 || argv[1][0] == '\0') {
        std::fprintf(stderr, "usage: vantrel-ping HOTE\n");
        return 2;
    }
    const std::string host = argv[1];
    notFoundText = PingTranscript::hostNotFound(host);
    std::signal(SIGALRM, onResolveTimeout);
    alarm(kResolveSeconds);
    const std::string address = resolve(argv[1]);
    alarm(0);
    if (address.empty()) {
        std::fputs(notFoundText.c_str(), stdout);
        return 1;
    }

    const std::string output = runPing(address);
    const std::vector<PingTranscript::Reply> answered = replies(output);
    const int sentByPing = transmitted(output);
    const int sent = sentByPing > 0 ? sentByPing : PingTranscript::kRequests;
    const std::string out = PingTranscript::answered(host, address, sent, answered);
    std::fputs(out.c_str(), stdout);
    return answered.empty() ? 1 : 0;
}
