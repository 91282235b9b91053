#include "FileAgent.h"

#include <QByteArrayView>
#include <QDataStream>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <initializer_list>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vantrel {
namespace {

// A message is its length (4 bytes, host order: both ends are this program) then its
// bytes. Moves size bytes with transfer (read or write) whatever the pipe takes at once.
template <typename Data, typename Transfer>
bool moveAll(int fd, Data* data, size_t size, Transfer transfer) {
    while (size > 0) {
        const ssize_t n = transfer(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool writeAll(int fd, const char* data, size_t size) {
    return moveAll(fd, data, size, ::write);
}

bool readAll(int fd, char* data, size_t size) {
    return moveAll(fd, data, size, ::read);
}

// One message made of parts, each written where it lies: an answer of many
// megabytes is not copied to put a byte in front of it.
bool send(int fd, std::initializer_list<QByteArrayView> parts) {
    quint32 size = 0;
    for (const QByteArrayView part : parts) {
        size += static_cast<quint32>(part.size());
    }
    if (!writeAll(fd, reinterpret_cast<const char*>(&size), sizeof size)) {
        return false;
    }
    for (const QByteArrayView part : parts) {
        if (!writeAll(fd, part.data(), static_cast<size_t>(part.size()))) {
            return false;
        }
    }
    return true;
}

bool send(int fd, const QByteArray& message) {
    return send(fd, {QByteArrayView(message)});
}

bool receiveLength(int fd, quint32& size) {
    return readAll(fd, reinterpret_cast<char*>(&size), sizeof size) &&
           size <= quint32(kMaxReadBytes) + 4096;
}

bool receiveBytes(int fd, quint32 size, QByteArray& bytes) {
    bytes.resize(static_cast<qsizetype>(size));
    return readAll(fd, bytes.data(), size);
}

bool receive(int fd, QByteArray& message) {
    quint32 size = 0;
    return receiveLength(fd, size) && receiveBytes(fd, size, message);
}

QDataStream& operator<<(QDataStream& out, FileError error) {
    return out << static_cast<qint32>(error);
}

QDataStream& operator>>(QDataStream& in, FileError& error) {
    qint32 value = 0;
    in >> value;
    error = static_cast<FileError>(value);
    return in;
}

QDataStream& operator<<(QDataStream& out, const FolderEntry& entry) {
    return out << entry.name << entry.size << entry.folder << entry.modified;
}

QDataStream& operator>>(QDataStream& in, FolderEntry& entry) {
    return in >> entry.name >> entry.size >> entry.folder >> entry.modified;
}

// The error an answer begins with.
FileError errorOf(const QByteArray& answer) {
    QDataStream in(answer);
    FileError error = FileError::Other;
    in >> error;
    return error;
}

template <typename... Args> QByteArray pack(const Args&... args) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    (out << ... << args);
    return bytes;
}

// What the agent sends begins with a byte that says what it is: the answer to the
// call, or how many bytes its copy wants to send next, which the program answers with
// how many of them may go once its meter has let them.
enum class FromAgent : char { Answer, Wanted };

bool sendFromAgent(FromAgent kind, const QByteArray& body) {
    const char tag = static_cast<char>(kind);
    return send(STDOUT_FILENO, {QByteArrayView(&tag, 1), QByteArrayView(body)});
}

bool receiveFromAgent(int fd, FromAgent& kind, QByteArray& body) {
    quint32 size = 0;
    char tag = 0;
    if (!receiveLength(fd, size) || size == 0 || !readAll(fd, &tag, 1)) {
        return false;
    }
    kind = static_cast<FromAgent>(tag);
    return receiveBytes(fd, size - 1, body);
}

// The agent's side of the program's meter.
class MeterOverPipes : public CopyMeter {
public:
    qint64 take(qint64 wanted) override {
        QByteArray answer;
        qint64 granted = wanted;
        // A program gone answers nothing: the agent is about to end with it.
        if (sendFromAgent(FromAgent::Wanted, pack(wanted)) && receive(STDIN_FILENO, answer)) {
            QDataStream(answer) >> granted;
        }
        return qBound<qint64>(1, granted, wanted);
    }
};

} // namespace

enum class FileAgent::Call : quint8 {
    Read,
    Write,
    Length,
    Remove,
    Rename,
    Copy,
    CreateFolder,
    List,
    Same,
    Replace,
    Link
};

FileAgent::FileAgent(const QString& program) {
    int in[2] = {-1, -1};
    int out[2] = {-1, -1};
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) {
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    QByteArray path = QFile::encodeName(program);
    QByteArray argument(kArgument);
    QByteArray parent = QByteArray::number(::getpid());
    char* argv[] = {path.data(), argument.data(), parent.data(), nullptr};
    if (posix_spawn(&agent_, path.constData(), &actions, nullptr, argv, environ) != 0) {
        agent_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    toAgent_ = in[1];
    fromAgent_ = out[0];
}

FileAgent::~FileAgent() {
    ::close(toAgent_);
    ::close(fromAgent_);
    if (agent_ > 0) {
        while (::waitpid(agent_, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
}

template <typename... Args> QByteArray FileAgent::request(Call what, const Args&... args) {
    return call(pack(static_cast<quint8>(what), args...));
}

// An agent that is gone answers nothing: the caller reads why.
QByteArray FileAgent::call(const QByteArray& message) {
    QByteArray received;
    FromAgent kind = FromAgent::Answer;
    bool alive = agent_ >= 0 && send(toAgent_, message);
    while (alive && receiveFromAgent(fromAgent_, kind, received)) {
        if (kind == FromAgent::Answer) {
            return received;
        }
        qint64 wanted = 0;
        QDataStream(received) >> wanted;
        alive = send(toAgent_, pack(allowance(meter_, wanted)));
    }
    return pack(interrupted_ ? FileError::Interrupted : FileError::Other);
}

FileError FileAgent::readFile(const QString& path, QByteArray& bytes) {
    const QByteArray answer = request(Call::Read, path);
    QDataStream in(answer);
    FileError error = FileError::Other;
    in >> error >> bytes;
    return error;
}

FileError FileAgent::writeFile(const QString& path, const QByteArray& bytes) {
    return errorOf(request(Call::Write, path, bytes));
}

qint64 FileAgent::fileLength(const QString& path) {
    const QByteArray answer = request(Call::Length, path);
    QDataStream in(answer);
    FileError error = FileError::Other;
    qint64 length = -1;
    in >> error >> length;
    return error == FileError::None ? length : -1;
}

FileError FileAgent::removeFile(const QString& path) {
    return errorOf(request(Call::Remove, path));
}

FileError FileAgent::renameFile(const QString& from, const QString& to) {
    return errorOf(request(Call::Rename, from, to));
}

FileError FileAgent::replaceFile(const QString& from, const QString& to) {
    return errorOf(request(Call::Replace, from, to));
}

FileError FileAgent::linkFile(const QString& from, const QString& to) {
    return errorOf(request(Call::Link, from, to));
}

FileError FileAgent::copyFile(const QString& from, const QString& to) {
    return errorOf(request(Call::Copy, from, to));
}

FileError FileAgent::sameContents(const QString& source, const QString& path, bool& same) {
    const QByteArray answer = request(Call::Same, source, path);
    QDataStream in(answer);
    FileError error = FileError::Other;
    same = false;
    in >> error >> same;
    return error;
}

FileError FileAgent::createFolder(const QString& path) {
    return errorOf(request(Call::CreateFolder, path));
}

FileError FileAgent::listFolder(const QString& path, std::vector<FolderEntry>& entries) {
    const QByteArray answer = request(Call::List, path);
    QDataStream in(answer);
    FileError error = FileError::Other;
    quint32 count = 0;
    in >> error >> count;
    entries.clear();
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        FolderEntry entry;
        in >> entry;
        entries.push_back(std::move(entry));
    }
    return error;
}

void FileAgent::interrupt() {
    interrupted_ = true;
    if (agent_ > 0) {
        ::kill(agent_, SIGKILL);
    }
}

FileError FileAgent::twoNameCall(Files& files, Call what, const QString& from, const QString& to) {
    switch (what) {
    case Call::Rename:
        return files.renameFile(from, to);
    case Call::Replace:
        return files.replaceFile(from, to);
    case Call::Link:
        return files.linkFile(from, to);
    default:
        return files.copyFile(from, to);
    }
}

int FileAgent::serve(Files& files, pid_t parentPid) {
    // Killed with the program, even by SIGKILL: never an agent left waiting on a server.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parentPid) {
        return 0; // the program ended before this line
    }
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        std::signal(signal, SIG_IGN);
    }
    MeterOverPipes meter;
    files.meterWith(&meter);
    QByteArray message;
    while (receive(STDIN_FILENO, message)) {
        QDataStream in(message);
        quint8 what = 0;
        QString path;
        in >> what >> path;
        QByteArray answer;
        switch (static_cast<Call>(what)) {
        case Call::Read: {
            QByteArray bytes;
            const FileError error = files.readFile(path, bytes);
            answer = pack(error, bytes);
            break;
        }
        case Call::Write: {
            QByteArray bytes;
            in >> bytes;
            answer = pack(files.writeFile(path, bytes));
            break;
        }
        case Call::Length:
            answer = pack(FileError::None, files.fileLength(path));
            break;
        case Call::Remove:
            answer = pack(files.removeFile(path));
            break;
        case Call::Rename:
        case Call::Replace:
        case Call::Link:
        case Call::Copy: {
            QString to;
            in >> to;
            answer = pack(twoNameCall(files, static_cast<Call>(what), path, to));
            break;
        }
        case Call::CreateFolder:
            answer = pack(files.createFolder(path));
            break;
        case Call::Same: {
            QString target;
            in >> target;
            bool same = false;
            const FileError error = files.sameContents(path, target, same);
            answer = pack(error, same);
            break;
        }
        case Call::List: {
            std::vector<FolderEntry> entries;
            const FileError error = files.listFolder(path, entries);
            QDataStream out(&answer, QIODevice::WriteOnly);
            out << error << static_cast<quint32>(entries.size());
            for (const FolderEntry& entry : entries) {
                out << entry;
            }
            break;
        }
        default:
            answer = pack(FileError::Other);
        }
        if (!sendFromAgent(FromAgent::Answer, answer)) {
            break;
        }
    }
    return 0;
}

} // namespace vantrel
