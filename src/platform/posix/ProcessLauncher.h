#pragma once

#include <QString>
#include <QStringList>

#include <condition_variable>
#include <mutex>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace vantrel {

// Starts a program from an argument vector, without waiting for it.
class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    // Standard input and error on /dev/null; output to outputFile (created or
    // emptied) or /dev/null. False when the program could not be started.
    virtual bool start(const QString& program, const QStringList& arguments,
                       const QString& outputFile) = 0;
};

// Starts programs without waiting for them. A ping sweep starts one per workstation,
// so this uses posix_spawn, a fraction of the cost of QProcess::startDetached's two
// forks; the children stay ours, and a thread reaps each one as it ends.
class ProcessLauncher : public ProgramLauncher {
public:
    ProcessLauncher();
    ~ProcessLauncher();
    ProcessLauncher(const ProcessLauncher&) = delete;
    ProcessLauncher& operator=(const ProcessLauncher&) = delete;

    bool start(const QString& program, const QStringList& arguments,
               const QString& outputFile) override;

private:
    void reapFinishedChildren();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<pid_t> children_;
    bool stopping_ = false;
    std::thread reaper_;
};

} // namespace vantrel
