#include "WorkerPool.h"

#include "TrafficMeter.h"
#include "platform/System.h"

#include <chrono>

namespace vantrel {

WorkerPool::WorkerPool(System& system, int workers, WorkstationStep step,
                       std::function<bool()> stopRequested, TrafficMeter& meter)
    : system_(system), workers_(std::max(1, workers)), step_(std::move(step)),
      stopRequested_(std::move(stopRequested)), meter_(meter) {
    if (workers_ == 1 && !system_.callsMayHang()) {
        system_.meterWith(&meter_);
        return;
    }
    for (int i = 0; i < workers_; ++i) {
        workerFiles_.push_back(system_.forWorker());
        workerFiles_.back()->meterWith(&meter_);
        threads_.emplace_back([this, files = workerFiles_.back().get()] { work(*files); });
    }
}

WorkerPool::~WorkerPool() {
    system_.meterWith(nullptr);
    meter_.release(); // nothing waits for its turn any more
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
        jobs_.clear();
    }
    jobReady_.notify_all();
    for (std::thread& thread : threads_) {
        thread.join();
    }
}

void WorkerPool::hand(int index, WorkstationJob job) {
    if (threads_.empty()) {
        job.stopRequested = stopRequested_;
        WorkstationResult result = step_(system_, job);
        finished_.push_back({index, std::move(result)});
        return;
    }
    job.stopRequested = [this] { return stop_.load(); };
    {
        std::lock_guard<std::mutex> lock(mutex_);
        jobs_.push_back({index, std::move(job)});
    }
    jobReady_.notify_one();
}

std::vector<WorkerPool::Finished> WorkerPool::takeFinished(int waitMs) {
    std::vector<Finished> taken;
    if (threads_.empty()) {
        taken.swap(finished_);
        return taken;
    }
    if (stopRequested_()) {
        stop_ = true;
        meter_.release();
        // The workers end between two rules; one still waiting on a server after a
        // few rounds is cut short.
        if (++roundsSinceStop_ == kRoundsBeforeInterrupt) {
            for (const std::unique_ptr<Files>& files : workerFiles_) {
                files->interrupt();
            }
        }
    }
    std::unique_lock<std::mutex> lock(mutex_);
    resultReady_.wait_for(lock, std::chrono::milliseconds(waitMs),
                          [this] { return !finished_.empty(); });
    taken.swap(finished_);
    return taken;
}

void WorkerPool::work(Files& files) {
    for (;;) {
        Job taken;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            jobReady_.wait(lock, [this] { return closing_ || !jobs_.empty(); });
            if (closing_) {
                return;
            }
            taken = std::move(jobs_.front());
            jobs_.pop_front();
        }
        WorkstationResult result = step_(files, taken.job);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            finished_.push_back({taken.index, std::move(result)});
        }
        resultReady_.notify_one();
    }
}

} // namespace vantrel
