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
    // The same for a program that must not outlive its use (a ping): it runs in a
    // process group of its own, its output file is bounded, and endGroups() ends it
    // with every process it started.
    virtual bool startInGroup(const QString& program, const QStringList& arguments,
                              const QString& outputFile) = 0;
    // True once every group's first program has exited; waits up to ms for it.
    virtual bool waitForGroups(int ms) = 0;
    virtual void endGroups() = 0;
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
    bool startInGroup(const QString& program, const QStringList& arguments,
                      const QString& outputFile) override;
    bool waitForGroups(int ms) override;
    void endGroups() override;

private:
    pid_t spawn(const QString& program, const QStringList& arguments, const QString& outputFile,
                bool ownGroup);
    void reapFinishedChildren();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<pid_t> children_;
    // Group leaders are reaped only once their group is ended, so that their
    // number still names the group when it is.
    std::vector<pid_t> groupLeaders_;
    size_t groupsEnded_ = 0; // the first ones of groupLeaders_, known to have exited
    bool stopping_ = false;
    std::thread reaper_;
};

} // namespace vantrel
