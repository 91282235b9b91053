#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace vantrel {

// What the sweep's thread and an echo engine's thread share: the workstations asked for,
// the count of transcripts still to write, and the handshake that makes the engine write
// them all at once. The transcripts are written on a thread of this queue's own, so that
// creating 100,000 files does not hold up the echo requests of the others. Plain C++:
// each engine gives its system's way to write a file and to wake its thread.
class EchoQueue {
public:
    struct Asked {
        std::string host;
        std::string output; // the transcript's path, in the engine's own encoding
        uint64_t number;    // its own among the pings of this queue
    };
    // False when the file could not be written whole.
    using WriteFile = std::function<bool(const std::string& path, const std::string& text)>;
    struct Written {
        std::string label;
        std::optional<std::string> text; // none when it could not be written
    };

    EchoQueue(WriteFile writeFile, std::function<void()> wakeEngine);
    // Writes what was handed over, then its thread ends.
    ~EchoQueue();

    // The sweep's side. label: how the sweep knows the transcript.
    void ask(std::string host, std::string output, std::string label);
    // The transcripts written since the last call, for a sweep that reads each as it
    // lands.
    std::vector<Written> takeWritten();
    // True once every transcript asked for is written; waits up to ms for it.
    bool waitUntilDone(int ms);
    // Asks the engine to deliver every transcript still to come, and waits until each
    // is written; takeWritten then tells none of them.
    void finishAll();
    // The engine's thread ends at its next round (take answers false).
    void stop();

    // The engine's side, from its one thread. The workstations asked for since the last
    // call; false once stopped. finishNow: deliver everything, then call finished().
    bool take(std::vector<Asked>& asked, bool& finishNow);
    // Kept until handOver: once a round, not once a transcript.
    void deliver(uint64_t number, std::string output, std::string text);
    void handOver();
    // Every transcript delivered after finishNow; hands them over too.
    void finished();

private:
    void writeAll();

    WriteFile writeFile_;
    std::function<void()> wakeEngine_;
    struct Transcript {
        uint64_t number;
        std::string output;
        std::string text;
    };
    std::vector<Transcript> delivered_; // the engine's own

    std::mutex mutex_; // guards what follows
    std::vector<Asked> asked_;
    uint64_t nextNumber_ = 0;
    std::vector<Transcript> toWrite_;
    std::unordered_map<uint64_t, std::string> labels_; // by number, until written
    std::vector<Written> written_;                     // since takeWritten
    size_t unwritten_ = 0;                             // asked for and not written yet
    bool stopping_ = false;
    bool finishRequested_ = false;
    bool closing_ = false;
    std::condition_variable changed_;  // unwritten_ reached 0, or finishRequested_ cleared
    std::condition_variable toWriter_; // toWrite_ or closing_
    std::thread writer_;
};

} // namespace vantrel
