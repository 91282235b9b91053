#include "EchoQueue.h"

#include <algorithm>
#include <chrono>

namespace vantrel {

EchoQueue::EchoQueue(WriteFile writeFile, std::function<void()> wakeEngine)
    : writeFile_(std::move(writeFile)), wakeEngine_(std::move(wakeEngine)),
      writer_([this] { writeAll(); }) {}

EchoQueue::~EchoQueue() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
    }
    toWriter_.notify_one();
    writer_.join();
}

void EchoQueue::ask(std::string host, std::string output, std::string label) {
    bool first = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        first = asked_.empty();
        const uint64_t number = nextNumber_++;
        asked_.push_back({std::move(host), std::move(output), number});
        labels_.emplace(number, std::move(label));
        ++unwritten_;
    }
    if (first) { // the engine takes those after it with it
        wakeEngine_();
    }
}

std::vector<EchoQueue::Written> EchoQueue::takeWritten() {
    std::vector<Written> taken;
    std::lock_guard<std::mutex> lock(mutex_);
    taken.swap(written_);
    return taken;
}

bool EchoQueue::waitUntilDone(int ms) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(ms),
                             [this] { return unwritten_ == 0; });
}

void EchoQueue::finishAll() {
    std::unique_lock<std::mutex> lock(mutex_);
    finishRequested_ = true;
    wakeEngine_();
    changed_.wait(lock, [this] { return !finishRequested_ && unwritten_ == 0; });
    written_.clear(); // the sweep now reads every transcript
}

void EchoQueue::stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wakeEngine_();
}

bool EchoQueue::take(std::vector<Asked>& asked, bool& finishNow) {
    std::lock_guard<std::mutex> lock(mutex_);
    asked.clear();
    asked.swap(asked_);
    finishNow = finishRequested_;
    return !stopping_;
}

void EchoQueue::deliver(uint64_t number, std::string output, std::string text) {
    delivered_.push_back({number, std::move(output), std::move(text)});
}

void EchoQueue::handOver() {
    if (delivered_.empty()) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (toWrite_.empty()) {
            toWrite_.swap(delivered_);
        } else {
            std::move(delivered_.begin(), delivered_.end(), std::back_inserter(toWrite_));
            delivered_.clear();
        }
    }
    toWriter_.notify_one();
}

void EchoQueue::finished() {
    handOver();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        finishRequested_ = false;
    }
    changed_.notify_all();
}

void EchoQueue::writeAll() {
    std::vector<Transcript> batch;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        toWriter_.wait(lock, [this] { return closing_ || !toWrite_.empty(); });
        if (toWrite_.empty()) {
            return; // closing, everything handed over written
        }
        batch.clear();
        batch.swap(toWrite_);
        lock.unlock();
        std::vector<bool> whole;
        whole.reserve(batch.size());
        for (const Transcript& transcript : batch) {
            whole.push_back(writeFile_(transcript.output, transcript.text));
        }
        lock.lock();
        for (size_t i = 0; i < batch.size(); ++i) {
            const auto label = labels_.find(batch[i].number);
            if (label != labels_.end()) {
                written_.push_back(
                    {std::move(label->second),
                     whole[i] ? std::optional(std::move(batch[i].text)) : std::nullopt});
                labels_.erase(label);
            }
        }
        unwritten_ -= std::min(unwritten_, batch.size());
        if (unwritten_ == 0) {
            changed_.notify_all();
        }
    }
}

} // namespace vantrel
