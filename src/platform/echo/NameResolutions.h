#pragma once

#include "platform/echo/HostAddress.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>

namespace vantrel {

// Workstation names resolved on threads of their own for an echo engine, so that a
// slow or missing name delays no other workstation, each given up on after a while.
// Plain C++: each engine gives its system's resolution and its way to be woken when
// an answer is in. ask and takeAnswers are called from the engine's thread.
class NameResolutions {
public:
    struct Answer {
        uint32_t target;
        bool found;
        HostAddress address;
    };
    // True with the address when host resolves; called on the resolving threads.
    using Resolve = std::function<bool(const std::string& host, HostAddress& address)>;

    NameResolutions(Resolve resolve, std::function<void()> wake);
    // Busy resolvers drop their answers; idle ones are not woken (one ending while the
    // process exits could leave it stuck) and end after a while, or with the process.
    ~NameResolutions();

    using Clock = std::chrono::steady_clock;
    // What a name a DNS server never answers for costs the sweep: the system's own
    // resolver would wait 10 s and more.
    static constexpr std::chrono::milliseconds kWait{6000};

    void ask(uint32_t target, const std::string& host); // on a resolver of its own
    // The answers in, and a not-found for each name asked kWait ago; one per target.
    std::deque<Answer> takeAnswers(Clock::time_point now);
    bool waiting() const { return !pending_.empty(); }

    // Hands the answers in to an engine's table of targets (a map from target to a
    // record with named, address, start): a name that resolved is pinged from now
    // (ready(target)), one that did not, or not in time, is not found (notFound(record),
    // then the record goes).
    template <typename Targets, typename NotFound, typename Ready>
    void deliverAnswers(Targets& targets, Clock::time_point now, NotFound notFound, Ready ready) {
        for (const Answer& answer : takeAnswers(now)) {
            const auto it = targets.find(answer.target);
            if (it == targets.end()) {
                continue;
            }
            if (!answer.found) {
                notFound(it->second);
                targets.erase(it);
                continue;
            }
            it->second.named = true;
            it->second.address = answer.address;
            it->second.start = now;
            ready(answer.target);
        }
    }
    Clock::time_point nextGiveUp() const; // max() when none is waited for

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    std::deque<std::pair<uint32_t, Clock::time_point>> asked_; // by time asked
    std::unordered_set<uint32_t> pending_;                     // asked, not yet answered
};

} // namespace vantrel
