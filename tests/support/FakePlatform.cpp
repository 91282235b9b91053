#include "FakePlatform.h"

#include "platform/CommandLines.h"

#include "core/TextFile.h"
#include "documents/Lifecycle.h"

#include <QCryptographicHash>

#include <algorithm>
#include <utility>

namespace vantrel::test {

QString FakeSystem::absolute(const QString& path) const {
    const bool rooted = path.startsWith(QLatin1String("\\\\")) ||
                        (path.size() >= 2 && path.at(1) == QLatin1Char(':'));
    return rooted || path.isEmpty() ? path : currentFolderAnswer + QLatin1Char('\\') + path;
}

QString FakeSystem::key(const QString& path) const {
    QString k = absolute(path).toLower();
    if (k.startsWith(QLatin1String("\\\\"))) {
        const QString host = k.mid(2).section(QLatin1Char('\\'), 0, 0);
        if (otherNames.contains(host)) {
            k.replace(2, host.size(), otherNames.value(host).toLower());
        }
    }
    while (k.endsWith(QLatin1Char('\\')) && k.size() > 3) {
        k.chop(1);
    }
    return k;
}

QString FakeSystem::parentOf(const QString& path) {
    QString p = path;
    while (p.endsWith(QLatin1Char('\\'))) {
        p.chop(1);
    }
    const qsizetype slash = p.lastIndexOf(QLatin1Char('\\'));
    return slash < 0 ? QString() : p.left(slash);
}

bool FakeSystem::isFolder(const QString& path) const {
    const QString k = key(path);
    if (k.size() <= 3 && k.size() >= 2 && k.at(1) == QLatin1Char(':')) {
        return true; // a drive root
    }
    const auto it = entries_.constFind(k);
    return it != entries_.constEnd() && it->folder;
}

void FakeSystem::addFolder(const QString& path) {
    const QString parent = parentOf(path);
    if (!parent.isEmpty() && !isFolder(parent) && parent != QLatin1String("\\")) {
        addFolder(parent);
    }
    if (!isFolder(path)) {
        entries_.insert(key(path), Entry{path, {}, true, now()});
    }
}

void FakeSystem::addFile(const QString& path, const QByteArray& bytes, const QDateTime& modified) {
    addFolder(parentOf(path));
    entries_.insert(key(path), Entry{path, bytes, false, modified.isValid() ? modified : now()});
}

void FakeSystem::addTextFile(const QString& path, const QString& text) {
    addFile(path, TextFile::encode(text));
}

QStringList FakeSystem::filesUnder(const QString& folder) const {
    const QString prefix = key(folder) + QLatin1Char('\\');
    QStringList found;
    for (const Entry& entry : entries_) {
        if (!entry.folder && key(entry.path).startsWith(prefix)) {
            found.append(entry.path);
        }
    }
    found.sort(Qt::CaseInsensitive);
    return found;
}

FileError FakeSystem::checkWritable(const QString& path) const {
    if (const auto it = failingWrites_.constFind(key(path)); it != failingWrites_.constEnd()) {
        return *it;
    }
    if (isFolder(path)) {
        return FileError::IsAFolder;
    }
    if (path.size() - path.lastIndexOf(QLatin1Char('\\')) - 1 > 255) {
        return FileError::InvalidName; // as Windows, past 255 units in a name
    }
    return isFolder(parentOf(absolute(path))) ? FileError::None : FileError::PathNotFound;
}

FileError FakeSystem::readFile(const QString& path, QByteArray& bytes) {
    const auto it = entries_.constFind(key(path));
    if (it == entries_.constEnd()) {
        return notFound(path);
    }
    if (it->folder) {
        return FileError::IsAFolder;
    }
    if (it->bytes.size() > kMaxReadBytes) {
        return FileError::TooLarge;
    }
    bytes = it->bytes;
    return FileError::None;
}

FileError FakeSystem::writeFile(const QString& path, const QByteArray& bytes) {
    if (const FileError error = checkWritable(path); error != FileError::None) {
        return error;
    }
    entries_.insert(key(path), Entry{path, bytes, false, now()});
    return FileError::None;
}

qint64 FakeSystem::fileLength(const QString& path) {
    const auto it = entries_.constFind(key(path));
    return it == entries_.constEnd() || it->folder ? -1 : it->bytes.size();
}

FileError FakeSystem::removeFile(const QString& path) {
    if (const FileError error = failed("remove", path); error != FileError::None) {
        return error;
    }
    const auto it = entries_.find(key(path));
    if (it == entries_.end()) {
        return notFound(path);
    }
    if (it->folder) {
        return FileError::IsAFolder;
    }
    entries_.erase(it);
    return FileError::None;
}

FileError FakeSystem::moveOrLink(const char* call, const QString& from, const QString& to,
                                 bool refuseExisting, bool keepFrom) {
    if (const FileError error = failed(call, from, to); error != FileError::None) {
        return error;
    }
    const auto it = entries_.constFind(key(from));
    if (it == entries_.constEnd()) {
        return notFound(from);
    }
    if (it->folder) {
        return FileError::IsAFolder;
    }
    if (refuseExisting && exists(to)) {
        return FileError::AlreadyExists;
    }
    if (const FileError error = checkWritable(to); error != FileError::None) {
        return error;
    }
    Entry moved = *it;
    moved.path = to;
    if (!keepFrom) {
        entries_.remove(key(from));
    }
    entries_.remove(key(to)); // the name may change case
    entries_.insert(key(to), moved);
    return FileError::None;
}

FileError FakeSystem::copyFile(const QString& from, const QString& to) {
    if (onCopy) {
        onCopy(to);
    }
    if (const FileError error = failed("copy", from, to); error != FileError::None) {
        return error;
    }
    if (const auto it = failingCopies_.constFind(key(from)); it != failingCopies_.constEnd()) {
        return *it;
    }
    QByteArray bytes;
    if (const FileError error = readFile(from, bytes); error != FileError::None) {
        return error;
    }
    return writeFile(to, bytes);
}

FileError FakeSystem::createFolder(const QString& path) {
    if (exists(path)) {
        return FileError::AlreadyExists;
    }
    if (!isFolder(parentOf(path))) {
        return FileError::PathNotFound;
    }
    entries_.insert(key(path), Entry{path, {}, true, now()});
    return FileError::None;
}

FileError FakeSystem::listFolder(const QString& path, std::vector<FolderEntry>& entries) {
    entries.clear();
    if (!isFolder(path)) {
        return FileError::PathNotFound;
    }
    const QString folder = key(path);
    for (const Entry& entry : entries_) {
        if (key(parentOf(absolute(entry.path))) == folder) {
            const QString name = entry.path.mid(entry.path.lastIndexOf(QLatin1Char('\\')) + 1);
            entries.push_back({name, entry.bytes.size(), entry.folder, entry.modified});
        }
    }
    return FileError::None;
}

bool FakeSystem::startCommand(const QString& commandLine, WindowStyle) {
    commands.append(commandLine);
    return onCommand ? onCommand(commandLine) : defaultCommand(commandLine);
}

namespace {

// A worker's view of the fake: every call on the shared files under one lock.
class WorkerView : public Files {
public:
    explicit WorkerView(FakeSystem& files) : files_(files) {}

private:
    FakeSystem& files_;
    template <typename Method, typename... Args> auto locked(Method method, Args&&... args) {
        std::lock_guard<std::recursive_mutex> lock(files_.callsFromWorkers);
        return (files_.*method)(std::forward<Args>(args)...);
    }

public:
    FileError readFile(const QString& p, QByteArray& b) override {
        return locked(&Files::readFile, p, b);
    }
    FileError writeFile(const QString& p, const QByteArray& b) override {
        return locked(&Files::writeFile, p, b);
    }
    qint64 fileLength(const QString& p) override { return locked(&Files::fileLength, p); }
    FileError removeFile(const QString& p) override { return locked(&Files::removeFile, p); }
    FileError renameFile(const QString& f, const QString& t) override {
        return locked(&Files::renameFile, f, t);
    }
    FileError copyFile(const QString& f, const QString& t) override {
        return locked(&Files::copyFile, f, t);
    }
    FileError replaceFile(const QString& f, const QString& t) override {
        return locked(&Files::replaceFile, f, t);
    }
    FileError linkFile(const QString& f, const QString& t) override {
        return locked(&Files::linkFile, f, t);
    }
    FileError sameContents(const QString& s, const QString& p, bool& same) override {
        return locked(&Files::sameContents, s, p, same);
    }
    FileError createFolder(const QString& p) override { return locked(&Files::createFolder, p); }
    FileError listFolder(const QString& p, std::vector<FolderEntry>& e) override {
        return locked(&Files::listFolder, p, e);
    }
};

} // namespace

FileError FakeSystem::sameContents(const QString& source, const QString& path, bool& same) {
    same = false;
    QByteArray ours;
    QByteArray theirs;
    if (const FileError error = readFile(source, ours); error != FileError::None) {
        return error;
    }
    if (const FileError error = readFile(path, theirs); error != FileError::None) {
        return error;
    }
    same = ours == theirs;
    return FileError::None;
}

FileError FakeSystem::fileSha256(const QString& path, QByteArray& digest) {
    QByteArray bytes;
    const FileError error = readFile(path, bytes);
    digest = error == FileError::None ? QCryptographicHash::hash(bytes, QCryptographicHash::Sha256)
                                      : QByteArray();
    return error;
}

std::unique_ptr<Files> FakeSystem::forWorker() {
    return std::make_unique<WorkerView>(*this);
}

qint64 FakeSystem::elapsedMs() const {
    return clock != nullptr ? clock->elapsed : 0;
}

// Writes the transcripts due by now, or all of them.
void FakeSystem::landPings(bool all) {
    const qint64 now = elapsedMs();
    for (auto it = pingsUnderWay_.begin(); it != pingsUnderWay_.end();) {
        if (!all && (it->landsAt < 0 || it->landsAt > now)) {
            ++it;
            continue;
        }
        if (pingTranscripts.contains(it->host)) {
            land(it->outputFile, pingTranscripts.value(it->host));
        }
        it = pingsUnderWay_.erase(it);
    }
}

void FakeSystem::land(const QString& outputFile, const QByteArray& transcript) {
    const bool written = writeFile(outputFile, transcript) == FileError::None;
    landed_.push_back({outputFile, written ? std::optional(transcript) : std::nullopt});
}

// Virtual time goes on to the next transcript due, or by ms.
bool FakeSystem::waitForPings(int ms) {
    if (pingsUnderWay_.empty()) {
        return true;
    }
    if (onPingWait) {
        onPingWait();
    }
    qint64 next = elapsedMs() + ms;
    for (const Ping& ping : pingsUnderWay_) {
        if (ping.landsAt >= 0) {
            next = std::min(next, ping.landsAt);
        }
    }
    if (clock != nullptr) {
        clock->advance(std::max<qint64>(0, next - elapsedMs()));
    }
    landPings(false);
    return pingsUnderWay_.empty();
}

void FakeSystem::finishPings() {
    ++pingsFinished;
    landPings(true);
    landed_.clear(); // as an echo engine: the sweep now reads them all
}

void FakeSystem::answer(const QString& host, int lossPercent, const QString& address) {
    pingTranscripts[host] = TextFile::encode(reachableTranscript(host, lossPercent, address));
}

bool FakeSystem::defaultCommand(const QString& commandLine) {
    if (const auto ping = CommandLines::ping(commandLine)) {
        if (pingLandsAfterMs.contains(ping->argument)) {
            const qint64 after = pingLandsAfterMs.value(ping->argument);
            pingsUnderWay_.push_back(
                {ping->argument, ping->outputFile, after < 0 ? -1 : elapsedMs() + after});
        } else if (pingTranscripts.contains(ping->argument)) {
            land(ping->outputFile, pingTranscripts.value(ping->argument));
        }
        return true;
    }
    return true;
}

Answer FakeUserInterface::show(const Message& message) {
    const std::lock_guard<std::recursive_mutex> oneAtATime(showing_);
    messages.push_back(message);
    if (onShow) {
        onShow(message);
    }
    if (message.buttons == Buttons::Ok) {
        return Answer::Ok;
    }
    if (answers.empty()) {
        return defaultAnswer;
    }
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

QString FakeUserInterface::chooseFile(const FileDialogRequest& request) {
    dialogs.push_back(request);
    if (chosenFiles.empty()) {
        return QString();
    }
    const QString chosen = chosenFiles.front();
    chosenFiles.pop_front();
    return chosen;
}

QStringList FakeUserInterface::each(QString Message::*field) const {
    QStringList all;
    for (const Message& m : messages) {
        all.append(m.*field);
    }
    return all;
}

void FakeClock::pause(double seconds) {
    pausedSeconds += seconds;
    advance(static_cast<qint64>(seconds * 1000));
    if (onPause) {
        onPause(seconds);
    }
}

Fixture::Fixture() {
    system.clockNow = [this] { return clock.current; };
    system.clock = &clock;
    system.addFolder(QStringLiteral("C:\\Prog\\Vantrel"));
    system.addFolder(QStringLiteral("C:\\Travail"));
    system.addTextFile(QStringLiteral("C:\\Prog\\Vantrel\\_Vantrel.VTR"), QStringLiteral("aide"));
    ws = std::make_unique<Workspace>(platform);
}

Workspace& Fixture::start(const QString& commandLine) {
    ws = std::make_unique<Workspace>(platform);
    StartProgram(*ws, commandLine);
    ui.messages.clear();
    return *ws;
}

QByteArray crlf(const QStringList& lines) {
    return TextFile::encode(TextFile::joinLines(lines));
}

QString reachableTranscript(const QString& host, int lossPercent, const QString& address) {
    const int received = 4 - lossPercent * 4 / 100;
    // Each name its own address in 10/8, the same whatever its case.
    const QByteArray hash =
        QCryptographicHash::hash(host.toLower().toUtf8(), QCryptographicHash::Md5);
    const QString own = QStringLiteral("10.%1.%2.%3")
                            .arg(quint8(hash[0]))
                            .arg(quint8(hash[1]))
                            .arg(quint8(hash[2]));
    return QStringLiteral("Envoi d'une requête 'Ping'  %1 [%5] avec 32 octets de données :\r\n"
                          "\r\nStatistiques Ping pour %5:\r\n"
                          "    Paquets : envoyés = 4, reçus = %2, perdus = %3 (perte %4%),\r\n")
        .arg(host)
        .arg(received)
        .arg(4 - received)
        .arg(lossPercent)
        .arg(address.isEmpty() ? own : address);
}

} // namespace vantrel::test
