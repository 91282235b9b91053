#include "PosixSystem.h"

#include "DesktopPrograms.h"
#include "FileAgent.h"
#include "LocalFiles.h"
#include "ProgramFolder.h"
#include "TerminationSignal.h"
#include "platform/qt/LockFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <csignal>

namespace vantrel {
namespace {

QString environment(const char* name) {
    return qEnvironmentVariable(name);
}

// A folder stands for the network; unset or "smb", the real one.
QString networkFolder() {
    const QString configured = environment("VANTREL_RESEAU");
    return configured == QLatin1String("smb") ? QString() : configured;
}

QString bundledPingStandIn() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/vantrel-ping");
}

} // namespace

PosixSystem::PosixSystem()
    : paths_(environment("VANTREL_LECTEURS"), networkFolder()),
      // A ping program named by VANTREL_PING pings each workstation instead of the
      // echo engine; otherwise the bundled one stands in where the engine cannot run.
      commands_(paths_,
                environment("VANTREL_PING").isEmpty() ? bundledPingStandIn()
                                                      : environment("VANTREL_PING"),
                environment("VANTREL_PING").isEmpty()),
      home_(programFolder(environment("VANTREL_HOME"), QCoreApplication::applicationDirPath())) {
    // A reader that goes away (vantrel --deployer ... | head) is a failed write,
    // not the end of the program before its deployment is saved.
    std::signal(SIGPIPE, SIG_IGN);
    if (networkFolder().isEmpty()) {
        smb_ = std::make_unique<SmbNetwork>(environment("VANTREL_SMB_AUTH"));
    }
}

bool PosixSystem::onSmb(const QString& path) const {
    return smb_ && PathMapper::isUnc(path);
}

PosixSystem::~PosixSystem() = default;

FileError PosixSystem::map(const QString& windowsPath, QString& native) const {
    if (windowsPath.size() > kMaxPathCharacters) {
        native.clear();
        return FileError::PathTooLong;
    }
    native = paths_.toNative(windowsPath);
    if (!native.isEmpty()) {
        return FileError::None;
    }
    if (PathMapper::isUnc(windowsPath) && !paths_.mapsNetwork()) {
        return FileError::HostUnreachable;
    }
    return FileError::PathNotFound;
}

FileError PosixSystem::mapTarget(const QString& windowsPath, QString& native) const {
    if (PathMapper::isShareLevel(windowsPath)) {
        return FileError::ShareNotFound;
    }
    return map(windowsPath, native);
}

template <typename SmbCall, typename LocalCall>
FileError PosixSystem::route(const QString& path, Use use, SmbCall smbCall,
                             LocalCall localCall) const {
    if (onSmb(path)) {
        return smbCall(*smb_);
    }
    QString native;
    const FileError error = use == Use::ToMake ? mapTarget(path, native) : map(path, native);
    return error != FileError::None ? error : localCall(native);
}

QString PosixSystem::programPath() {
    if (home_.isEmpty()) {
        return QString();
    }
    if (home_ == QCoreApplication::applicationDirPath()) {
        return windowsPath(QCoreApplication::applicationFilePath());
    }
    return windowsPath(QDir(home_).absoluteFilePath(QStringLiteral("vantrel")));
}

QString PosixSystem::currentFolder() {
    return windowsPath(QDir::currentPath());
}

FileError PosixSystem::readFile(const QString& path, QByteArray& bytes) {
    return route(
        path, Use::Existing, [&](SmbNetwork& smb) { return smb.read(path, bytes); },
        [&](const QString& native) { return LocalFiles::read(native, bytes); });
}

FileError PosixSystem::writeFile(const QString& path, const QByteArray& bytes) {
    return route(
        path, Use::ToMake, [&](SmbNetwork& smb) { return smb.write(path, bytes); },
        [&](const QString& native) { return LocalFiles::write(native, bytes); });
}

qint64 PosixSystem::fileLength(const QString& path) {
    qint64 length = -1;
    route(
        path, Use::Existing,
        [&](SmbNetwork& smb) {
            length = smb.length(path);
            return FileError::None;
        },
        [&](const QString& native) {
            length = LocalFiles::length(native);
            return FileError::None;
        });
    return length;
}

FileError PosixSystem::removeFile(const QString& path) {
    return route(
        path, Use::Existing, [&](SmbNetwork& smb) { return smb.remove(path); },
        [](const QString& native) { return LocalFiles::remove(native); });
}

template <typename SmbCall, typename LocalCall>
FileError PosixSystem::onOneVolume(const QString& from, const QString& to, SmbCall smbCall,
                                   LocalCall localCall) const {
    if (onSmb(from) || onSmb(to)) {
        return onSmb(from) && onSmb(to) ? smbCall(*smb_) : FileError::Other;
    }
    QString source;
    QString target;
    FileError error = map(from, source);
    if (error == FileError::None) {
        error = mapTarget(to, target);
    }
    return error != FileError::None ? error : localCall(source, target);
}

FileError PosixSystem::renameFile(const QString& from, const QString& to) {
    return onOneVolume(
        from, to, [&](SmbNetwork& smb) { return smb.rename(from, to); },
        [](const QString& source, const QString& target) {
            return LocalFiles::rename(source, target);
        });
}

FileError PosixSystem::replaceFile(const QString& from, const QString& to) {
    return onOneVolume(
        from, to, [&](SmbNetwork& smb) { return smb.renameOver(from, to); },
        [](const QString& source, const QString& target) {
            return LocalFiles::replace(source, target);
        });
}

FileError PosixSystem::linkFile(const QString& from, const QString& to) {
    return onOneVolume(
        from, to, [&](SmbNetwork& smb) { return smb.keepCopy(from, to, meter_); },
        [](const QString& source, const QString& target) {
            return LocalFiles::link(source, target);
        });
}

FileError PosixSystem::copyFile(const QString& from, const QString& to) {
    if (onSmb(from) && onSmb(to)) {
        return smb_->copyWithin(from, to, meter_);
    }
    if (onSmb(from)) {
        // Not a pass's copy: a workstation's file brought here, as a document is.
        QByteArray bytes;
        const FileError error = readFile(from, bytes);
        return error != FileError::None ? error : writeFile(to, bytes);
    }
    QString source;
    if (const FileError error = map(from, source); error != FileError::None) {
        return error;
    }
    return route(
        to, Use::ToMake, [&](SmbNetwork& smb) { return smb.copyFromLocal(source, to, meter_); },
        [&](const QString& target) { return LocalFiles::copy(source, target, meter_); });
}

FileError PosixSystem::sameContents(const QString& source, const QString& path, bool& same) {
    same = false;
    QString nativeSource;
    if (const FileError error = map(source, nativeSource); error != FileError::None) {
        return error;
    }
    return route(
        path, Use::Existing,
        [&](SmbNetwork& smb) { return smb.sameAsLocal(nativeSource, path, same); },
        [&](const QString& native) {
            return LocalFiles::sameContents(nativeSource, native, same);
        });
}

FileError PosixSystem::listFolder(const QString& path, std::vector<FolderEntry>& entries) {
    return route(
        path, Use::Existing, [&](SmbNetwork& smb) { return smb.list(path, entries); },
        [&](const QString& native) { return LocalFiles::listFolder(native, entries); });
}

FileError PosixSystem::createFolder(const QString& path) {
    return route(
        path, Use::ToMake, [&](SmbNetwork& smb) { return smb.createFolder(path); },
        [](const QString& native) { return LocalFiles::createFolder(native); });
}

// Only the program's own files are read whole this way.
FileError PosixSystem::fileSha256(const QString& path, QByteArray& digest) {
    return route(
        path, Use::Existing, [](SmbNetwork&) { return FileError::Other; },
        [&](const QString& native) { return LocalFiles::sha256(native, digest); });
}

qint64 PosixSystem::freeBytes(const QString& folder) {
    if (onSmb(folder)) {
        return -1;
    }
    const QStorageInfo volume(nativePath(folder));
    return volume.isValid() ? volume.bytesAvailable() : -1;
}

std::unique_ptr<FolderLock> PosixSystem::tryLockFolder(const QString& folder) {
    return LockFile::tryLock(nativePath(folder));
}

QString PosixSystem::shortPath(const QString& path) {
    // No 8.3 names here: the short form of an existing path is the path itself.
    return longPath(path);
}

QString PosixSystem::longPath(const QString& path) {
    if (onSmb(path)) {
        return smb_->exists(path) ? path : QString();
    }
    const QString native = paths_.toNative(path);
    return !native.isEmpty() && QFileInfo::exists(native) ? path : QString();
}

QString PosixSystem::findAssociatedProgram(const QString& extension) {
    const QString program = DesktopPrograms::forExtension(extension);
    return program.isEmpty() ? QString() : windowsPath(program);
}

bool PosixSystem::startCommand(const QString& commandLine, WindowStyle) {
    return commands_.start(commandLine);
}

bool PosixSystem::waitForPings(int ms) {
    return commands_.waitForPings(ms);
}

std::vector<LandedPing> PosixSystem::takeLandedPings() {
    return commands_.takeLandedPings();
}

void PosixSystem::finishPings() {
    commands_.finishPings();
}

// Every setting comes from the environment, as for this one. On the real network
// the worker's file operations go to an agent process with a network of its own.
std::unique_ptr<Files> PosixSystem::forWorker() {
    if (smb_) {
        return std::make_unique<FileAgent>(QCoreApplication::applicationFilePath());
    }
    return std::make_unique<PosixSystem>();
}

QString PosixSystem::nativePath(const QString& windowsPath) {
    return paths_.toNative(windowsPath);
}

QString PosixSystem::windowsPath(const QString& nativePath) {
    return paths_.toWindows(nativePath);
}

void PosixSystem::onTerminationRequest(std::function<void()> handler) {
    termination_ = std::make_unique<TerminationSignal>(std::move(handler));
}

int PosixSystem::terminationSignal() {
    return termination_ ? TerminationSignal::received() : 0;
}

} // namespace vantrel
