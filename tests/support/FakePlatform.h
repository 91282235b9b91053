#pragma once

#include "core/Workspace.h"
#include "platform/Platform.h"

#include <QMap>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace vantrel::test {

class FakeClock;

// An in-memory file system in Windows form: names compare without regard to case,
// drive roots always exist, every other folder must be made.
class FakeSystem : public System {
public:
    QString programPathAnswer = QStringLiteral("C:\\Prog\\Vantrel\\vantrel.exe");
    QString currentFolderAnswer = QStringLiteral("C:\\Travail");
    QMap<QString, QString> associations; // ".txt" -> program
    QStringList commands;                // every command line started
    int pingsFinished = 0;               // finishPings calls
    // A ping whose transcript lands this long after it starts (-1: never, a ping
    // program that does not end: finishPings then leaves its pingTranscripts entry);
    // the others land at once.
    QMap<QString, qint64> pingLandsAfterMs;
    std::function<void()> onPingWait; // each wait for a ping still under way
    FakeClock* clock = nullptr;       // the virtual time waits take
    // Acts on a command line; returns whether it "started". Default: ping
    // transcripts from pingTranscripts.
    std::function<bool(const QString&)> onCommand;
    QMap<QString, QByteArray> pingTranscripts; // host -> transcript; absent: no file written
    // host's ping transcript: reachableTranscript's.
    void answer(const QString& host, int lossPercent = 0, const QString& address = QString());
    // Other names of a workstation ("pc01.zone.test" -> "PC01", lower case): their
    // paths lead to its files.
    QMap<QString, QString> otherNames;
    std::function<QDateTime()> clockNow;
    std::function<void(const QString& to)> onCopy; // before each copy
    // Before each copy, rename, replace, link and removal: an error fails the call so.
    std::function<FileError(const char* call, const QString& from, const QString& to)> failCall;

    void addFolder(const QString& path);
    void addFile(const QString& path, const QByteArray& bytes,
                 const QDateTime& modified = QDateTime());
    void addTextFile(const QString& path, const QString& text); // Windows-1252
    bool exists(const QString& path) const { return entries_.contains(key(path)); }
    bool isFolder(const QString& path) const;
    QByteArray contents(const QString& path) const { return entries_.value(key(path)).bytes; }
    QStringList filesUnder(const QString& folder) const;
    // Every operation that writes path (write, copy, rename onto it) fails so.
    void failWritesTo(const QString& path, FileError error) {
        failingWrites_.insert(key(path), error);
    }
    void failCopiesFrom(const QString& path, FileError error) {
        failingCopies_.insert(key(path), error);
    }

    QString programPath() override { return programPathAnswer; }
    QString currentFolder() override { return currentFolderAnswer; }
    FileError readFile(const QString& path, QByteArray& bytes) override;
    FileError writeFile(const QString& path, const QByteArray& bytes) override;
    qint64 fileLength(const QString& path) override;
    FileError removeFile(const QString& path) override;
    FileError renameFile(const QString& from, const QString& to) override {
        return moveOrLink("rename", from, to, true, false);
    }
    FileError replaceFile(const QString& from, const QString& to) override {
        return moveOrLink("replace", from, to, false, false);
    }
    FileError linkFile(const QString& from, const QString& to) override {
        return moveOrLink("link", from, to, true, true);
    }
    FileError copyFile(const QString& from, const QString& to) override;
    FileError sameContents(const QString& source, const QString& path, bool& same) override;
    FileError createFolder(const QString& path) override;
    FileError listFolder(const QString& path, std::vector<FolderEntry>& entries) override;
    FileError fileSha256(const QString& path, QByteArray& digest) override;
    qint64 freeBytes(const QString&) override { return freeBytesAnswer; }
    qint64 freeBytesAnswer = -1;
    // Null while the folder is in lockedFolders (another process holds it).
    std::unique_ptr<FolderLock> tryLockFolder(const QString& folder) override {
        return lockedFolders.contains(folder, Qt::CaseInsensitive) ? nullptr
                                                                   : std::make_unique<FolderLock>();
    }
    QStringList lockedFolders;
    QString shortPath(const QString& path) override { return longPath(path); }
    QString longPath(const QString& path) override {
        return exists(path) || isFolder(path) ? path : QString();
    }
    QString findAssociatedProgram(const QString& extension) override {
        return associations.value(extension.toLower());
    }
    bool startCommand(const QString& commandLine, WindowStyle style) override;
    bool waitForPings(int ms) override;
    std::vector<LandedPing> takeLandedPings() override {
        return std::exchange(landed_, std::vector<LandedPing>());
    }
    void finishPings() override;
    // The same files, one call at a time whatever thread makes it.
    std::unique_ptr<Files> forWorker() override;
    std::recursive_mutex callsFromWorkers;
    QString nativePath(const QString& windowsPath) override { return windowsPath; }
    QString windowsPath(const QString& nativePath) override { return nativePath; }
    void onTerminationRequest(std::function<void()>) override {}
    int terminationSignal() override { return terminationSignalAnswer; }
    int terminationSignalAnswer = 0;

    bool defaultCommand(const QString& commandLine);

private:
    struct Entry {
        QString path;
        QByteArray bytes;
        bool folder = false;
        QDateTime modified; // the fake clock's time when written, if it has one
    };
    QDateTime now() const { return clockNow ? clockNow() : QDateTime(); }
    QString absolute(const QString& path) const;
    QString key(const QString& path) const;
    static QString parentOf(const QString& path);
    FileError checkWritable(const QString& path) const;
    FileError failed(const char* call, const QString& from, const QString& to = QString()) const {
        return failCall ? failCall(call, from, to) : FileError::None;
    }
    // What a system answers for a name that is not there: it depends on its folder.
    FileError notFound(const QString& path) const {
        return isFolder(parentOf(absolute(path))) ? FileError::FileNotFound
                                                  : FileError::PathNotFound;
    }
    FileError moveOrLink(const char* call, const QString& from, const QString& to,
                         bool refuseExisting, bool keepFrom);

    QMap<QString, Entry> entries_;
    QMap<QString, FileError> failingWrites_;
    QMap<QString, FileError> failingCopies_;
    struct Ping {
        QString host;
        QString outputFile;
        qint64 landsAt; // virtual ms; -1 never
    };
    std::vector<Ping> pingsUnderWay_;
    std::vector<LandedPing> landed_; // transcripts written, until takeLandedPings
    void landPings(bool all);
    // Writes a transcript as an echo engine does, telling its bytes when written.
    void land(const QString& outputFile, const QByteArray& transcript);
    qint64 elapsedMs() const;
};

// Records what is shown, answers from scripts: questions Yes unless told otherwise.
class FakeUserInterface : public UserInterface {
public:
    std::vector<Message> messages;
    std::deque<Answer> answers; // for Yes/No questions, in order; then defaultAnswer
    Answer defaultAnswer = Answer::Yes;
    std::deque<QString> chosenFiles; // answers of the file dialog; then ""
    std::vector<FileDialogRequest> dialogs;
    QString clipboard;
    bool busy = false;
    QSize screen = QSize(1920 * 15, 1080 * 15);
    // Called while the message is shown, before it is answered.
    std::function<void(const Message&)> onShow;

    Answer show(const Message& message) override;
    QString chooseFile(const FileDialogRequest& request) override;
    void setBusy(bool b) override { busy = b; }
    bool isBusy() const override { return busy; }
    void setClipboardText(const QString& text) override { clipboard = text; }
    void clearClipboard() override { clipboard.clear(); }
    QSize screenSizeTwips() override { return screen; }
    void showProgress(const QString& line) override { progress.append(line); }
    QStringList progress;

    QStringList texts() const { return each(&Message::text); }
    QStringList titles() const { return each(&Message::title); }
    const Message& last() const { return messages.back(); }

private:
    QStringList each(QString Message::*field) const;
    // A pass asks from its own thread, the window from its own: one message at a time.
    std::recursive_mutex showing_;
};

// Virtual time: a pause advances it at once.
class FakeClock : public Clock {
public:
    QDateTime current = QDateTime(QDate(2026, 12, 6), QTime(14, 30, 15));
    qint64 elapsed = 0;
    double pausedSeconds = 0;
    std::function<void(double)> onPause;

    QDateTime now() override { return current; }
    qint64 elapsedMs() override { return elapsed; }
    void pause(double seconds) override;
    // At once, after the same virtual time as a pause.
    void callLater(double seconds, std::function<void()> call) override {
        pause(seconds);
        call();
    }
    void advance(qint64 ms) {
        elapsed += ms;
        current = current.addMSecs(ms);
    }
};

// A workspace on the fake platform, started as the program starts it.
struct Fixture {
    FakeSystem system;
    FakeUserInterface ui;
    FakeClock clock;
    Platform platform{system, ui, clock};
    std::unique_ptr<Workspace> ws;

    Fixture();
    // Fresh workspace with identity and program folder, like the start sequence.
    Workspace& start(const QString& commandLine = QString());
    WorkingState& state() { return ws->state; }
    Lists& lists() { return ws->lists; }
};

QByteArray crlf(const QStringList& lines); // Windows-1252 bytes, CR LF after each
// A transcript of a ping that reached address, by default one of host's own.
QString reachableTranscript(const QString& host, int lossPercent = 0,
                            const QString& address = QString());

} // namespace vantrel::test
