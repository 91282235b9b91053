#pragma once

#include "WorkstationStep.h"

#include <QDateTime>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace vantrel {

class Files;
class System;
class TrafficMeter;

// Serves workstations with a pass's step: with one worker on the calling thread and
// its system, one workstation after another; with more, or where the system's calls
// may hang, on that many threads, each with files (and so network connections) of its
// own. Every copy asks meter before each piece it sends. Results come back numbered by the order
// the jobs were handed out; the caller puts them back in that order.
class WorkerPool {
public:
    struct Finished {
        int index = 0;
        WorkstationResult result;
    };

    // stopRequested is asked on the calling thread only.
    WorkerPool(System& system, int workers, WorkstationStep step,
               std::function<bool()> stopRequested, TrafficMeter& meter);
    // Lets the jobs under way end (they stop between two rules once asked to).
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    int workers() const { return workers_; }
    void hand(int index, WorkstationJob job);
    // The results in since the last call, waiting up to waitMs when none is.
    std::vector<Finished> takeFinished(int waitMs);

private:
    struct Job {
        int index = 0;
        WorkstationJob job;
    };
    void work(Files& files);

    System& system_;
    const int workers_;
    const WorkstationStep step_;
    const std::function<bool()> stopRequested_;
    TrafficMeter& meter_;
    std::atomic<bool> stop_{false};
    static constexpr int kRoundsBeforeInterrupt = 5;
    int roundsSinceStop_ = 0;

    std::mutex mutex_; // guards jobs_, finished_ and closing_
    std::condition_variable jobReady_;
    std::condition_variable resultReady_;
    std::deque<Job> jobs_;
    std::vector<Finished> finished_;
    bool closing_ = false;
    std::vector<std::unique_ptr<Files>> workerFiles_;
    std::vector<std::thread> threads_;
};

} // namespace vantrel
