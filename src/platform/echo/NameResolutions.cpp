#include "NameResolutions.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace vantrel {
namespace {

constexpr int kResolverThreads = 8;

} // namespace

// Shared with the threads, since one stuck in a slow resolution may outlive its engine.
struct NameResolutions::Shared {
    Resolve resolve;
    std::function<void()> wake;
    std::mutex mutex;
    std::condition_variable asked;
    std::deque<std::pair<uint32_t, std::string>> questions;
    std::deque<Answer> answers;
    bool closed = false;

    void resolveForever() {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            asked.wait(lock, [this] { return closed || !questions.empty(); });
            if (closed) {
                return;
            }
            const auto [target, host] = questions.front();
            questions.pop_front();
            lock.unlock();
            Answer answer{target, false, {}};
            answer.found = resolve(host, answer.address);
            lock.lock();
            if (closed) {
                return;
            }
            answers.push_back(answer);
            wake();
        }
    }
};

NameResolutions::NameResolutions(Resolve resolve, std::function<void()> wake)
    : shared_(std::make_shared<Shared>()) {
    shared_->resolve = std::move(resolve);
    shared_->wake = std::move(wake);
}

NameResolutions::~NameResolutions() {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->closed = true;
}

void NameResolutions::ask(uint32_t target, const std::string& host) {
    if (!started_) {
        started_ = true; // a list of addresses needs no resolver
        for (int i = 0; i < kResolverThreads; ++i) {
            std::thread([shared = shared_] { shared->resolveForever(); }).detach();
        }
    }
    asked_.emplace_back(target, Clock::now());
    pending_.insert(target);
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->questions.emplace_back(target, host);
    shared_->asked.notify_one();
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
