#include "WindowsSystem.h"

#include "Win32Errors.h"
#include "platform/CommandLines.h"
#include "platform/NameLength.h"
#include "platform/echo/IcmpEngine.h"
#include "platform/qt/LockFile.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>

// windows.h must come before the shell headers, which rely on its macros.
#include <windows.h>

#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstring>
#include <vector>

namespace vantrel {
namespace {

std::atomic<int> consoleSignal{0};

BOOL WINAPI onConsoleEvent(DWORD event) {
    consoleSignal = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? SIGINT : SIGTERM;
    return TRUE;
}

std::wstring wide(const QString& text) {
    return text.toStdWString();
}

// A path as the file calls take it.
std::wstring native(const QString& path) {
    return windowsUncPath(path).toStdWString();
}

FileError lastError() {
    return fileErrorFromWin32(GetLastError());
}

DWORD attributes(const QString& path) {
    return GetFileAttributesW(native(path).c_str());
}

bool isFolder(const QString& path) {
    const DWORD a = attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A path-returning call with the 260-character room the program gives it, grown when
// the answer is longer; "" when it fails.
template <typename Call> QString pathCall(const QString& path, Call call) {
    std::vector<wchar_t> buffer(MAX_PATH);
    DWORD n = call(native(path).c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n > buffer.size()) {
        buffer.resize(n);
        n = call(native(path).c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    }
    return n == 0 || n > buffer.size()
               ? QString()
               : QString::fromWCharArray(buffer.data(), static_cast<int>(n));
}

FileError writeAll(HANDLE file, const char* data, qint64 size) {
    while (size > 0) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<qint64>(size, 1 << 30));
        if (!WriteFile(file, data, chunk, &written, nullptr)) {
            return lastError();
        }
        data += written;
        size -= written;
    }
    return FileError::None;
}

// 100-nanosecond intervals since 1601-01-01, UTC.
QDateTime fileTimeToDateTime(const FILETIME& time) {
    const qint64 ticks = (qint64(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    constexpr qint64 kEpochDifferenceSeconds = 11644473600LL;
    return QDateTime::fromSecsSinceEpoch(ticks / 10000000 - kEpochDifferenceSeconds);
}

} // namespace

QString windowsUncPath(const QString& path) {
    if (!path.startsWith(QLatin1String("\\\\"))) {
        return path;
    }
    const qsizetype end = path.indexOf(u'\\', 2);
    QString host = path.mid(2, end < 0 ? -1 : end - 2);
    if (!host.contains(u':')) {
        return path;
    }
    host.replace(u':', u'-').replace(u'%', u's');
    return QStringLiteral("\\\\") + host + QStringLiteral(".ipv6-literal.net") +
           (end < 0 ? QString() : path.mid(end));
}

WindowsSystem::WindowsSystem() = default;
WindowsSystem::~WindowsSystem() {
    for (void* process : pingProcesses_) {
        CloseHandle(process);
    }
}

QString WindowsSystem::programPath() {
    std::vector<wchar_t> buffer(32768);
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    return QString::fromWCharArray(buffer.data(), static_cast<int>(n));
}

QString WindowsSystem::currentFolder() {
    std::vector<wchar_t> buffer(32768);
    const DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    return QString::fromWCharArray(buffer.data(), static_cast<int>(n));
}

FileError WindowsSystem::readFile(const QString& path, QByteArray& bytes) {
    if (isFolder(path)) {
        return FileError::IsAFolder;
    }
    HANDLE file =
        CreateFileW(native(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return lastError();
    }
    bytes.clear();
    std::vector<char> block(1 << 20);
    FileError error = FileError::None;
    LARGE_INTEGER size{};
    if (GetFileType(file) != FILE_TYPE_DISK) {
        error = FileError::NotAFile;
    } else if (GetFileSizeEx(file, &size) && size.QuadPart > kMaxReadBytes) {
        error = FileError::TooLarge;
    }
    while (error == FileError::None) {
        DWORD n = 0;
        if (!ReadFile(file, block.data(), static_cast<DWORD>(block.size()), &n, nullptr)) {
            error = lastError();
            break;
        }
        if (n == 0) {
            break;
        }
        if (bytes.size() + n > kMaxReadBytes) {
            bytes.clear();
            error = FileError::TooLarge;
            break;
        }
        bytes.append(block.data(), static_cast<qsizetype>(n));
    }
    CloseHandle(file);
    return error;
}

template <typename Fill> FileError WindowsSystem::replace(const QString& target, Fill fill) {
    if (isFolder(target)) {
        return FileError::IsAFolder;
    }
    const QString temporary = besideWithSuffix(
        target,
        QStringLiteral(".vantrel-%1-%2").arg(GetCurrentProcessId()).arg(++temporaryCounter_));
    FileError error = fill(temporary);
    if (error == FileError::None &&
        !MoveFileExW(native(temporary).c_str(), native(target).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = lastError();
    }
    if (error != FileError::None) {
        DeleteFileW(native(temporary).c_str());
    }
    return error;
}

FileError WindowsSystem::writeFile(const QString& path, const QByteArray& bytes) {
    return replace(path, [&bytes](const QString& temporary) {
        HANDLE file = CreateFileW(native(temporary).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return lastError();
        }
        FileError error = writeAll(file, bytes.constData(), bytes.size());
        if (!CloseHandle(file) && error == FileError::None) {
            error = lastError();
        }
        return error;
    });
}

qint64 WindowsSystem::fileLength(const QString& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(native(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return -1;
    }
    return (static_cast<qint64>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

FileError WindowsSystem::removeFile(const QString& path) {
    if (isFolder(path)) {
        return FileError::IsAFolder;
    }
    return DeleteFileW(native(path).c_str()) ? FileError::None : lastError();
}

FileError WindowsSystem::renameFile(const QString& from, const QString& to) {
    if (isFolder(from)) {
        return FileError::IsAFolder;
    }
    // Without MOVEFILE_REPLACE_EXISTING an existing target makes the move fail.
    return MoveFileExW(native(from).c_str(), native(to).c_str(), 0) ? FileError::None : lastError();
}

FileError WindowsSystem::replaceFile(const QString& from, const QString& to) {
    if (isFolder(from)) {
        return FileError::IsAFolder;
    }
    return MoveFileExW(native(from).c_str(), native(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? FileError::None
               : lastError();
}

FileError WindowsSystem::linkFile(const QString& from, const QString& to) {
    if (isFolder(from)) {
        return FileError::IsAFolder;
    }
    if (CreateHardLinkW(native(to).c_str(), native(from).c_str(), nullptr)) {
        return FileError::None;
    }
    // FAT, many shares: no hard links there. The copy fails on an existing target too.
    return CopyFileExW(native(from).c_str(), native(to).c_str(), nullptr, nullptr, nullptr,
                       COPY_FILE_FAIL_IF_EXISTS)
               ? FileError::None
               : lastError();
}

namespace {

// The system copies a chunk between two calls of its progress routine, and the copy
// waits while the routine runs: there the meter lets the next chunk go before it is
// sent, its size guessed from the last one.
struct CopyProgress {
    CopyMeter* meter;
    qint64 granted = 0; // bytes the meter has let go so far
    qint64 lastDone = 0;
    qint64 chunk = qint64(1) << 20;

    static DWORD CALLBACK moved(LARGE_INTEGER total, LARGE_INTEGER transferred, LARGE_INTEGER,
                                LARGE_INTEGER, DWORD, DWORD, HANDLE, HANDLE, LPVOID data) {
        auto* self = static_cast<CopyProgress*>(data);
        const qint64 done = transferred.QuadPart;
        if (done > self->lastDone) {
            self->chunk = done - self->lastDone;
            self->lastDone = done;
        }
        const qint64 next = std::min(done + self->chunk, total.QuadPart);
        while (self->granted < next) {
            self->granted += allowance(self->meter, next - self->granted);
        }
        return PROGRESS_CONTINUE;
    }
};

} // namespace

FileError WindowsSystem::copyFile(const QString& from, const QString& to) {
    if (isFolder(from)) {
        return FileError::IsAFolder;
    }
    if (attributes(from) == INVALID_FILE_ATTRIBUTES) {
        return lastError();
    }
    return replace(to, [this, &from](const QString& temporary) {
        CopyProgress progress{meter_};
        return CopyFileExW(native(from).c_str(), native(temporary).c_str(), &CopyProgress::moved,
                           &progress, nullptr, 0)
                   ? FileError::None
                   : lastError();
    });
}

namespace {

// A file open for reading in blocks, closed with it.
class OpenFile {
public:
    explicit OpenFile(const QString& path)
        : handle_(CreateFileW(native(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~OpenFile() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    bool isOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    qint64 size() const {
        LARGE_INTEGER size{};
        return GetFileSizeEx(handle_, &size) ? size.QuadPart : -1;
    }
    // Fills block unless the file ends first: how many bytes, -1 on a failure.
    qint64 fill(std::vector<char>& block) {
        qint64 got = 0;
        while (got < static_cast<qint64>(block.size())) {
            DWORD n = 0;
            if (!ReadFile(handle_, block.data() + got, static_cast<DWORD>(block.size() - got), &n,
                          nullptr)) {
                return -1;
            }
            if (n == 0) {
                break;
            }
            got += n;
        }
        return got;
    }

private:
    HANDLE handle_;
};

} // namespace

FileError WindowsSystem::fileSha256(const QString& path, QByteArray& digest) {
    if (isFolder(path)) {
        return FileError::IsAFolder;
    }
    OpenFile file(path);
    if (!file.isOpen()) {
        return lastError();
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    std::vector<char> block(1 << 20);
    qint64 got = 0;
    while ((got = file.fill(block)) > 0) {
        hash.addData(QByteArrayView(block.data(), got));
    }
    if (got < 0) {
        return lastError();
    }
    digest = hash.result();
    return FileError::None;
}

FileError WindowsSystem::sameContents(const QString& source, const QString& path, bool& same) {
    same = false;
    if (isFolder(source) || isFolder(path)) {
        return FileError::IsAFolder;
    }
    OpenFile ours(source);
    if (!ours.isOpen()) {
        return lastError();
    }
    OpenFile theirs(path);
    if (!theirs.isOpen()) {
        return lastError();
    }
    if (ours.size() != theirs.size()) {
        return FileError::None;
    }
    std::vector<char> ourBlock(1 << 20);
    std::vector<char> theirBlock(1 << 20);
    for (;;) {
        const qint64 got = ours.fill(ourBlock);
        const qint64 gotTheirs = got < 0 ? 0 : theirs.fill(theirBlock);
        if (got < 0 || gotTheirs < 0) {
            return lastError();
        }
        if (got != gotTheirs ||
            std::memcmp(ourBlock.data(), theirBlock.data(), static_cast<size_t>(got)) != 0) {
            return FileError::None;
        }
        if (got == 0) {
            same = true;
            return FileError::None;
        }
    }
}

FileError WindowsSystem::createFolder(const QString& path) {
    return CreateDirectoryW(native(path).c_str(), nullptr) ? FileError::None : lastError();
}

FileError WindowsSystem::listFolder(const QString& path, std::vector<FolderEntry>& entries) {
    entries.clear();
    const DWORD kind = attributes(path);
    if (kind == INVALID_FILE_ATTRIBUTES) {
        const FileError error = lastError();
        return error == FileError::FileNotFound ? FileError::PathNotFound : error;
    }
    if ((kind & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return FileError::PathNotFound;
    }
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(native(path + QStringLiteral("\\*")).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return lastError();
    }
    do {
        const QString name = QString::fromWCharArray(found.cFileName);
        if (name != QLatin1String(".") && name != QLatin1String("..")) {
            const qint64 size = (qint64(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
            entries.push_back({name, size, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                               fileTimeToDateTime(found.ftLastWriteTime)});
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return FileError::None;
}

qint64 WindowsSystem::freeBytes(const QString& folder) {
    ULARGE_INTEGER available{};
    return GetDiskFreeSpaceExW(native(folder).c_str(), &available, nullptr, nullptr)
               ? static_cast<qint64>(available.QuadPart)
               : -1;
}

std::unique_ptr<FolderLock> WindowsSystem::tryLockFolder(const QString& folder) {
    return LockFile::tryLock(QDir::fromNativeSeparators(folder));
}

QString WindowsSystem::shortPath(const QString& path) {
    return pathCall(path, [](LPCWSTR p, LPWSTR b, DWORD n) { return GetShortPathNameW(p, b, n); });
}

QString WindowsSystem::longPath(const QString& path) {
    return pathCall(path, [](LPCWSTR p, LPWSTR b, DWORD n) { return GetLongPathNameW(p, b, n); });
}

// Asks the shell about an empty probe file of that extension, as the program always has;
// the probe sits in the temporary folder, where it may be written.
QString WindowsSystem::findAssociatedProgram(const QString& extension) {
    std::vector<wchar_t> folder(MAX_PATH + 1);
    GetTempPathW(static_cast<DWORD>(folder.size()), folder.data());
    const QString probe =
        QString::fromWCharArray(folder.data()) + QStringLiteral("essai") + extension;
    if (writeFile(probe, QByteArray()) != FileError::None) {
        return QString();
    }
    std::vector<wchar_t> answer(MAX_PATH + 1);
    const auto code =
        reinterpret_cast<INT_PTR>(FindExecutableW(native(probe).c_str(), nullptr, answer.data()));
    DeleteFileW(native(probe).c_str());
    QString program = code > 32 ? QString::fromWCharArray(answer.data()) : QString();
    if (program.isEmpty()) {
        // The shell's association table answers where the probe is not understood.
        DWORD size = static_cast<DWORD>(answer.size());
        if (FAILED(AssocQueryStringW(ASSOCF_INIT_IGNOREUNKNOWN, ASSOCSTR_EXECUTABLE,
                                     wide(extension).c_str(), nullptr, answer.data(), &size))) {
            return QString();
        }
        program = QString::fromWCharArray(answer.data());
    }
    const qsizetype exe = program.indexOf(QLatin1String(".EXE"), 0, Qt::CaseInsensitive);
    return exe < 0 ? program.left(3) : program.left(exe + 4);
}

bool WindowsSystem::startCommand(const QString& commandLine, WindowStyle style) {
    // The sweep's pings are answered here: cmd.exe would write them in this Windows'
    // display language.
    if (const auto ping = CommandLines::ping(commandLine)) {
        if (!echoEngineTried_) {
            echoEngineTried_ = true;
            echoEngine_ = IcmpEngine::open();
        }
        if (echoEngine_) {
            echoEngine_->ping(ping->argument, ping->outputFile, ping->outputFile);
            return true;
        }
    }
    std::wstring line = wide(commandLine);
    line.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(
        style == WindowStyle::MinimizedWithFocus ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    if (CommandLines::ping(commandLine)) {
        pingProcesses_.push_back(process.hProcess);
    } else {
        CloseHandle(process.hProcess);
    }
    return true;
}

bool WindowsSystem::waitForPings(int ms) {
    if (echoEngine_) {
        return echoEngine_->waitUntilDone(ms);
    }
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(ms);
    while (!pingProcesses_.empty()) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        if (WaitForSingleObject(pingProcesses_.back(), left) != WAIT_OBJECT_0) {
            return false;
        }
        CloseHandle(pingProcesses_.back());
        pingProcesses_.pop_back();
    }
    return true;
}

// Windows' own ping, used where the echo engine cannot open, ends by itself.
std::vector<LandedPing> WindowsSystem::takeLandedPings() {
    return echoEngine_ ? echoEngine_->takeWritten() : std::vector<LandedPing>();
}

void WindowsSystem::finishPings() {
    if (echoEngine_) {
        echoEngine_->finishAll();
    }
    for (void* process : pingProcesses_) {
        CloseHandle(process);
    }
    pingProcesses_.clear();
}

// Every setting comes from the environment, as for this one.
std::unique_ptr<Files> WindowsSystem::forWorker() {
    return std::make_unique<WindowsSystem>();
}

QString WindowsSystem::nativePath(const QString& windowsPath) {
    return windowsPath;
}

QString WindowsSystem::windowsPath(const QString& nativePath) {
    return QDir::toNativeSeparators(nativePath);
}

// Qt turns the end of the session into a close of the main window already; a run
// in a console learns here of Ctrl+C and of its console closing.
void WindowsSystem::onTerminationRequest(std::function<void()>) {
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

int WindowsSystem::terminationSignal() {
    return consoleSignal;
}

} // namespace vantrel
