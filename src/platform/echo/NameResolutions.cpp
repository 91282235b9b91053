#include "NameResolutions.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace vantrel {
namespace {

// Every name of a sweep is resolved at once, each on a thread of its own, so that
// names a DNS server never answers for hold up nobody; past this many at once (a
// list of hundreds of names), the others wait for a thread.
constexpr int kMostResolvers = 256;
// A resolver with nothing to do ends after this.
constexpr std::chrono::seconds kIdleResolver{30};

} // namespace

// Shared with the threads, since one stuck in a slow resolution may outlive its engine.
struct NameResolutions::Shared {
    Resolve resolveName;
    std::function<void()> wake;
    std::mutex mutex;
    std::condition_variable asked;
    std::deque<std::pair<uint32_t, std::string>> questions;
    std::deque<Answer> answers;
    bool closed = false;
    int resolvers = 0; // running
    int idle = 0;      // of those, waiting for a question

    void resolve() {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            ++idle;
            const bool given = asked.wait_for(lock, kIdleResolver,
                                              [this] { return closed || !questions.empty(); });
            --idle;
            if (closed || !given) {
                --resolvers;
                return;
            }
            const auto [target, host] = questions.front();
            questions.pop_front();
            lock.unlock();
            Answer answer{target, false, {}};
            answer.found = resolveName(host, answer.address);
            lock.lock();
            if (closed) {
                --resolvers;
                return;
            }
            answers.push_back(answer);
            wake();
        }
    }
};

NameResolutions::NameResolutions(Resolve resolve, std::function<void()> wake)
    : shared_(std::make_shared<Shared>()) {
    shared_->resolveName = std::move(resolve);
    shared_->wake = std::move(wake);
}

NameResolutions::~NameResolutions() {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->closed = true;
}

void NameResolutions::ask(uint32_t target, const std::string& host) {
    asked_.emplace_back(target, Clock::now());
    pending_.insert(target);
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->questions.emplace_back(target, host);
    // One resolver per question waiting, up to the most: an idle one takes it, or a new one.
    if (static_cast<size_t>(shared_->idle) < shared_->questions.size() &&
        shared_->resolvers < kMostResolvers) {
        ++shared_->resolvers;
        std::thread([shared = shared_] { shared->resolve(); }).detach();
    } else {
        shared_->asked.notify_one();
    }
}

std::deque<NameResolutions::Answer> NameResolutions::takeAnswers(Clock::time_point now) {
    std::deque<Answer> in;
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        in.swap(shared_->answers);
    }
    std::deque<Answer> taken;
    for (const Answer& answer : in) {
        if (pending_.erase(answer.target) != 0) {
            taken.push_back(answer); // not one given up on already
        }
    }
    // The oldest question still unanswered leads; those before it are done with.
    while (!asked_.empty()) {
        const auto [target, at] = asked_.front();
        if (pending_.count(target) != 0) {
            if (at + kWait > now) {
                break;
            }
            pending_.erase(target);
            taken.push_back({target, false, {}});
        }
        asked_.pop_front();
    }
    return taken;
}

NameResolutions::Clock::time_point NameResolutions::nextGiveUp() const {
    return asked_.empty() ? Clock::time_point::max() : asked_.front().second + kWait;
}

} // namespace vantrel
