#include "deploy/TrafficMeter.h"
#include "deploy/WorkerPool.h"
#include "platform/FileError.h"
#include "support/FakePlatform.h"

#include <QTest>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

using namespace vantrel;
using namespace vantrel::test;
using MeterClock = TrafficMeter::Clock;

namespace {

// Copies run side by side through one meter, on virtual time: each asks for what its
// file has left, and its piece goes once the meter's wait is over.
struct Sent {
    double at; // seconds
    qint64 bytes;
};

std::vector<Sent> copyThrough(double cap, int copies, qint64 fileBytes, double* rateAtEnd) {
    MeterClock::duration virtualNow{};
    MeterClock::duration slept{};
    const MeterClock::time_point start = MeterClock::now();
    TrafficMeter meter(
        cap, {[&] { return start + virtualNow; }, [&](MeterClock::duration d) { slept += d; }});
    std::vector<MeterClock::duration> ready(copies);
    std::vector<qint64> left(copies, fileBytes);
    std::vector<Sent> sent;
    for (;;) {
        int next = -1;
        for (int i = 0; i < copies; ++i) {
            if (left[i] > 0 && (next < 0 || ready[i] < ready[next])) {
                next = i;
            }
        }
        if (next < 0) {
            break;
        }
        virtualNow = ready[next];
        slept = {};
        const qint64 piece = meter.take(left[next]);
        ready[next] += slept;
        left[next] -= piece;
        sent.push_back({std::chrono::duration<double>(ready[next]).count(), piece});
    }
    virtualNow =
        ready.empty() ? MeterClock::duration{} : *std::max_element(ready.begin(), ready.end());
    *rateAtEnd = meter.bytesPerSecond();
    return sent;
}

// Files on which a copy to SILENT hangs until the worker is interrupted (or a long
// while has passed, which the test then sees), and any other copy goes at once.
class HangingFiles : public Files {
public:
    std::mutex& mutex;
    std::condition_variable& changed;
    int& silentWaiting;
    int& copiesDone;
    bool interrupted = false;

    HangingFiles(std::mutex& m, std::condition_variable& c, int& waiting, int& done)
        : mutex(m), changed(c), silentWaiting(waiting), copiesDone(done) {}

    FileError copyFile(const QString&, const QString& to) override {
        std::unique_lock<std::mutex> lock(mutex);
        if (to.startsWith(QStringLiteral("\\\\SILENT\\"))) {
            ++silentWaiting;
            changed.notify_all();
            return changed.wait_for(lock, std::chrono::seconds(10), [this] { return interrupted; })
                       ? FileError::Interrupted
                       : FileError::TimedOut;
        }
        ++copiesDone;
        changed.notify_all();
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return FileError::None;
    }
    void interrupt() override {
        const std::lock_guard<std::mutex> lock(mutex);
        interrupted = true;
        changed.notify_all();
    }
    FileError readFile(const QString&, QByteArray&) override { return FileError::Other; }
    FileError writeFile(const QString&, const QByteArray&) override { return FileError::Other; }
    qint64 fileLength(const QString&) override { return -1; }
    FileError removeFile(const QString&) override { return FileError::Other; }
    FileError renameFile(const QString&, const QString&) override { return FileError::Other; }
    FileError replaceFile(const QString&, const QString&) override { return FileError::Other; }
    FileError linkFile(const QString&, const QString&) override { return FileError::Other; }
    FileError sameContents(const QString&, const QString&, bool&) override {
        return FileError::Other;
    }
    FileError createFolder(const QString&) override { return FileError::Other; }
    FileError listFolder(const QString&, std::vector<FolderEntry>&) override {
        return FileError::Other;
    }
};

class HangingSystem : public FakeSystem {
public:
    std::mutex mutex;
    std::condition_variable changed;
    int silentWaiting = 0;
    int copiesDone = 0;
    std::unique_ptr<Files> forWorker() override {
        return std::make_unique<HangingFiles>(mutex, changed, silentWaiting, copiesDone);
    }
};

} // namespace

class WorkersTest : public QObject {
    Q_OBJECT

private slots:
    // The cap holds over every window of one or two seconds from the first byte, however
    // many copies share it, and lets as much through as it allows; the rate shown is
    // the cap's. Without a cap everything goes at once.
    void capHoldsOverEveryWindow_data() {
        QTest::addColumn<double>("cap");
        QTest::addColumn<int>("copies");
        QTest::addColumn<qint64>("fileBytes");
        QTest::newRow("one copy of 4 MiB at 2 MB/s") << 2e6 << 1 << (qint64(4) << 20);
        QTest::newRow("eight copies of 4 MiB at 2 MB/s") << 2e6 << 8 << (qint64(4) << 20);
        QTest::newRow("eight copies of 64 MiB at 40 MB/s") << 40e6 << 8 << (qint64(64) << 20);
        QTest::newRow("small files at 100 kB/s") << 1e5 << 3 << qint64(70000);
        QTest::newRow("no cap") << 0.0 << 8 << (qint64(4) << 20);
    }
    void capHoldsOverEveryWindow() {
        QFETCH(double, cap);
        QFETCH(int, copies);
        QFETCH(qint64, fileBytes);
        double rate = 0;
        const std::vector<Sent> sent = copyThrough(cap, copies, fileBytes, &rate);
        const double total = double(copies) * double(fileBytes);
        const double end = sent.back().at;
        if (cap == 0) {
            QCOMPARE(end, 0.0);
            QCOMPARE(rate, total / 2);
            return;
        }
        for (const double window : {1.0, 2.0}) {
            for (const Sent& from : sent) {
                double inWindow = 0;
                for (const Sent& s : sent) {
                    if (s.at >= from.at && s.at < from.at + window) {
                        inWindow += s.bytes;
                    }
                }
                // One piece (a twentieth of a second's worth) is the most a window may
                // hold beyond the cap.
                QVERIFY2(inWindow <= cap * (window + 0.05) + 1,
                         qPrintable(QStringLiteral("%1 bytes within %2 s from %3 s")
                                        .arg(inWindow)
                                        .arg(window)
                                        .arg(from.at)));
            }
        }
        QVERIFY2(end >= total / cap - 0.1 && end <= total / cap, qPrintable(QString::number(end)));
        if (end >= 2) {
            QVERIFY2(rate >= cap * 0.95 && rate <= cap * 1.05, qPrintable(QString::number(rate)));
        }
    }

    // A pass that stops lets every copy waiting for its slot go at once.
    void releasedMeterHoldsNothingBack() {
        MeterClock::duration slept{};
        const MeterClock::time_point start = MeterClock::now();
        TrafficMeter meter(1e6,
                           {[&] { return start; }, [&](MeterClock::duration d) { slept += d; }});
        meter.take(50000);
        meter.take(50000);
        QVERIFY(slept > MeterClock::duration::zero());
        slept = {};
        meter.release();
        QCOMPARE(meter.take(50000), qint64(50000));
        QCOMPARE(slept, MeterClock::duration::zero());
    }

    // Three workers, one of them waiting on a host that no longer answers: a stop
    // reaches the two that copy (they end between two copies, their work unfinished)
    // and interrupts the one that waits, instead of leaving it to its server's silence.
    void stopReachesEveryWorker() {
        HangingSystem system;
        TrafficMeter meter;
        std::atomic<bool> stop{false};
        const WorkstationStep step = [](Files& files, const WorkstationJob& job) {
            WorkstationResult result;
            const auto since = std::chrono::steady_clock::now();
            // Copies until asked to stop; a stop that never comes ends it after a while.
            while (std::chrono::steady_clock::now() - since < std::chrono::seconds(10)) {
                if (job.stopRequested()) {
                    result.finished = false;
                    return result;
                }
                const FileError error = files.copyFile(QStringLiteral("C:\\Distrib\\outil.exe"),
                                                       "\\\\" + job.host + "\\C$\\outil.exe");
                if (error != FileError::None) {
                    result.failures = 1;
                    result.message = describe(error);
                    return result;
                }
            }
            return result;
        };
        WorkerPool pool(
            system, 3, step, [&stop] { return stop.load(); }, meter);
        const QStringList hosts{"PC01", "SILENT", "PC03"};
        for (int i = 0; i < hosts.size(); ++i) {
            pool.hand(i, {hosts[i], QString(), QDateTime(), {}});
        }
        {
            std::unique_lock<std::mutex> lock(system.mutex);
            QVERIFY(system.changed.wait_for(lock, std::chrono::seconds(10), [&] {
                return system.silentWaiting == 1 && system.copiesDone >= 2;
            }));
        }
        stop = true;
        std::vector<WorkstationResult> results(hosts.size());
        int in = 0;
        for (int round = 0; in < hosts.size() && round < 1000; ++round) {
            for (WorkerPool::Finished& f : pool.takeFinished(20)) {
                results[f.index] = std::move(f.result);
                ++in;
            }
        }
        QCOMPARE(in, int(hosts.size()));
        QVERIFY(!results[0].finished);
        QVERIFY(!results[2].finished);
        QCOMPARE(results[1].message, describe(FileError::Interrupted));
    }
};

QTEST_GUILESS_MAIN(WorkersTest)
#include "tst_workers.moc"
