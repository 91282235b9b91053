// The queue between the sweep and an echo engine: the sweep is told done only once
// every transcript is on disk, however the engine and the writing thread interleave.
#include "platform/echo/EchoQueue.h"

#include <QTest>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

using namespace vantrel;

namespace {

// Files as the writing thread leaves them; a write can be held until let go.
struct Disk {
    std::mutex mutex;
    std::condition_variable changed;
    std::map<std::string, std::string> files;
    std::string full; // the file a full disk refuses
    bool held = false;

    bool write(const std::string& path, const std::string& text) {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return !held; });
        if (path == full) {
            return false;
        }
        files[path] = text;
        return true;
    }
    void hold(bool on) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            held = on;
        }
        changed.notify_all();
    }
    size_t count() {
        std::lock_guard<std::mutex> lock(mutex);
        return files.size();
    }
};

// An engine reduced to its dealings with the queue: each workstation asked for is
// answered at once, or only when told to finish everything (silent ones).
class Engine {
public:
    explicit Engine(Disk& disk, bool silent)
        : queue_([&disk](const std::string& p, const std::string& t) { return disk.write(p, t); },
                 [this] { wake(); }),
          silent_(silent), thread_([this] { run(); }) {}
    ~Engine() {
        queue_.stop();
        thread_.join();
    }
    EchoQueue& queue() { return queue_; }
    bool hasFinished() const { return finished_; }

private:
    void wake() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            woken_ = true;
        }
        woke_.notify_one();
    }
    void run() {
        std::vector<EchoQueue::Asked> asked;
        std::vector<EchoQueue::Asked> pending;
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(mutex_);
                woke_.wait(lock, [this] { return woken_; });
                woken_ = false;
            }
            bool finishNow = false;
            if (!queue_.take(asked, finishNow)) {
                return;
            }
            pending.insert(pending.end(), asked.begin(), asked.end());
            if (silent_ && !finishNow) {
                continue;
            }
            for (const EchoQueue::Asked& one : pending) {
                queue_.deliver(one.number, one.output, "transcript of " + one.host);
            }
            pending.clear();
            if (finishNow) {
                queue_.finished();
                finished_ = true;
            } else {
                queue_.handOver();
            }
        }
    }

    std::mutex mutex_;
    std::condition_variable woke_;
    bool woken_ = false;
    std::atomic<bool> finished_{false};
    EchoQueue queue_;
    bool silent_;
    std::thread thread_;
};

} // namespace

class EchoQueueTest : public QObject {
    Q_OBJECT
private slots:
    void doneOnlyOnceEveryTranscriptIsWritten_data() {
        QTest::addColumn<int>("workstations");
        QTest::newRow("one") << 1;
        QTest::newRow("many") << 500;
    }
    void doneOnlyOnceEveryTranscriptIsWritten() {
        QFETCH(int, workstations);
        Disk disk;
        disk.full = "ping1.txt";
        disk.hold(true);
        Engine engine(disk, false);
        for (int i = 0; i < workstations; ++i) {
            const std::string file = "ping" + std::to_string(i) + ".txt";
            engine.queue().ask("PC" + std::to_string(i), file, "C:\\" + file);
        }
        // Delivered and handed over, not written: not done.
        QVERIFY(!engine.queue().waitUntilDone(100));
        QCOMPARE(disk.count(), size_t{0});
        disk.hold(false);
        QVERIFY(engine.queue().waitUntilDone(10000));
        QCOMPARE(disk.count(), static_cast<size_t>(workstations > 1 ? workstations - 1 : 1));
        QCOMPARE(disk.files["ping0.txt"], std::string("transcript of PC0"));
        // Each transcript told once, by its label, with its text when written whole.
        std::map<std::string, std::optional<std::string>> told;
        for (EchoQueue::Written& written : engine.queue().takeWritten()) {
            QVERIFY(told.emplace(written.label, written.text).second);
        }
        QCOMPARE(told.size(), static_cast<size_t>(workstations));
        QCOMPARE(told["C:\\ping0.txt"], std::optional<std::string>("transcript of PC0"));
        if (workstations > 1) {
            QCOMPARE(told["C:\\ping1.txt"], std::nullopt);
        }
        QVERIFY(engine.queue().takeWritten().empty());
    }

    // Finishing makes the engine deliver what it still waited for, and returns only once
    // written.
    void finishAllReturnsOnceWritten() {
        Disk disk;
        Engine engine(disk, true);
        engine.queue().ask("PC01", "ping0.txt", "0");
        engine.queue().ask("PC02", "ping1.txt", "1");
        QVERIFY(!engine.queue().waitUntilDone(100)); // silent until told
        disk.hold(true);
        std::atomic<bool> returned{false};
        std::thread sweep([&] {
            engine.queue().finishAll();
            returned = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(engine.hasFinished(), 10000);
        QVERIFY(!engine.queue().waitUntilDone(100));
        QVERIFY(!returned);
        disk.hold(false);
        sweep.join();
        QCOMPARE(disk.count(), size_t{2});
        QVERIFY(engine.queue().waitUntilDone(0));
        QVERIFY(engine.queue().takeWritten().empty()); // the sweep reads them all now
    }
};

QTEST_GUILESS_MAIN(EchoQueueTest)
#include "tst_echo_queue.moc"
