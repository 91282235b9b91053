#include "ProcessLauncher.h"

#include <QFile>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vantrel {
namespace {

const char kNullDevice[] = "/dev/null";

// posix_spawn's file actions, freed on every path out.
class FileActions {
public:
    FileActions() { posix_spawn_file_actions_init(&actions_); }
    ~FileActions() { posix_spawn_file_actions_destroy(&actions_); }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

// A child starts with no signal blocked and SIGPIPE at its default, whatever
// the thread that starts it has set; in a process group of its own when asked.
class SpawnAttributes {
public:
    explicit SpawnAttributes(bool ownGroup) {
        posix_spawnattr_init(&attributes_);
        sigset_t set;
        sigemptyset(&set);
        posix_spawnattr_setsigmask(&attributes_, &set);
        sigaddset(&set, SIGPIPE);
        posix_spawnattr_setsigdefault(&attributes_, &set);
        short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
        if (ownGroup) {
            posix_spawnattr_setpgroup(&attributes_, 0);
            flags |= POSIX_SPAWN_SETPGROUP;
        }
        posix_spawnattr_setflags(&attributes_, flags);
    }
    ~SpawnAttributes() { posix_spawnattr_destroy(&attributes_); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
    const posix_spawnattr_t* get() const { return &attributes_; }

private:
    posix_spawnattr_t attributes_;
};

// Far more than any transcript the sweep accepts, far less than a full disk; counted by
// the shell in blocks of 512 bytes.
constexpr int kGroupOutputBytes = 1 << 20;

} // namespace

ProcessLauncher::ProcessLauncher() : reaper_([this] { reapFinishedChildren(); }) {}

ProcessLauncher::~ProcessLauncher() {
    endGroups();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    reaper_.join();
}

bool ProcessLauncher::start(const QString& program, const QStringList& arguments,
                            const QString& outputFile) {
    const pid_t child = spawn(program, arguments, outputFile, false);
    if (child <= 0) {
        return false;
    }
    bool wasIdle = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        wasIdle = children_.empty();
        children_.push_back(child);
    }
    if (wasIdle) {
        wake_.notify_one();
    }
    return true;
}

bool ProcessLauncher::startInGroup(const QString& program, const QStringList& arguments,
                                   const QString& outputFile) {
    const QString found = QStandardPaths::findExecutable(program);
    if (found.isEmpty()) {
        return false;
    }
    // A shell sets the limit, then becomes the program: a program that writes without
    // end is stopped at the limit, however soon it starts writing.
    const QStringList limited =
        QStringList{
            QStringLiteral("-c"),
            QStringLiteral("ulimit -f %1 && exec \"$0\" \"$@\"").arg(kGroupOutputBytes / 512),
            found} +
        arguments;
    const pid_t leader = spawn(QStringLiteral("/bin/sh"), limited, outputFile, true);
    if (leader <= 0) {
        return false;
    }
    groupLeaders_.push_back(leader);
    return true;
}

// Polls: a leader is not reaped before its group is ended (see groupLeaders_), so
// nothing wakes a waiter when it exits. Leaders are looked at in the order started.
bool ProcessLauncher::waitForGroups(int ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        while (groupsEnded_ < groupLeaders_.size()) {
            siginfo_t info{};
            if (::waitid(P_PID, static_cast<id_t>(groupLeaders_[groupsEnded_]), &info,
                         WEXITED | WNOHANG | WNOWAIT) == 0 &&
                info.si_pid == 0) {
                break; // still running
            }
            ++groupsEnded_;
        }
        if (groupsEnded_ == groupLeaders_.size()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void ProcessLauncher::endGroups() {
    for (const pid_t leader : groupLeaders_) {
        ::kill(-leader, SIGKILL);
        while (::waitpid(leader, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    groupLeaders_.clear();
    groupsEnded_ = 0;
}

pid_t ProcessLauncher::spawn(const QString& program, const QStringList& arguments,
                             const QString& outputFile, bool ownGroup) {
    const QByteArray output =
        outputFile.isEmpty() ? QByteArray(kNullDevice) : QFile::encodeName(outputFile);
    FileActions actions;
    posix_spawn_file_actions_addopen(actions.get(), STDIN_FILENO, kNullDevice, O_RDONLY, 0);
    posix_spawn_file_actions_addopen(actions.get(), STDOUT_FILENO, output.constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(actions.get(), STDERR_FILENO, kNullDevice, O_WRONLY, 0);

    std::vector<QByteArray> words{QFile::encodeName(program)};
    for (const QString& argument : arguments) {
        words.push_back(argument.toLocal8Bit());
    }
    std::vector<char*> argv;
    for (QByteArray& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    static const SpawnAttributes detached(false);
    static const SpawnAttributes grouped(true);
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], actions.get(), (ownGroup ? grouped : detached).get(),
                     argv.data(), environ) != 0) {
        return 0;
    }
    return child;
}

// Polls rather than waiting on one child: a text editor may stay open for hours
// while the pings started after it end within seconds.
void ProcessLauncher::reapFinishedChildren() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
        children_.erase(
            std::remove_if(children_.begin(), children_.end(),
                           [](pid_t child) { return ::waitpid(child, nullptr, WNOHANG) != 0; }),
            children_.end());
        if (children_.empty()) {
            wake_.wait(lock);
        } else {
            wake_.wait_for(lock, std::chrono::milliseconds(500));
        }
    }
}

} // namespace vantrel
