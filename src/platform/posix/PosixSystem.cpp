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
    if (onSmb(path)) {
        return smb_->read(path, bytes);
    }
    QString native;
    const FileError error = map(path, native);
    return error != FileError::None ? error : LocalFiles::read(native, bytes);
}

FileError PosixSystem::writeFile(const QString& path, const QByteArray& bytes) {
    if (onSmb(path)) {
        return smb_->write(path, bytes);
    }
    QString native;
    const FileError error = mapTarget(path, native);
    return error != FileError::None ? error : LocalFiles::write(native, bytes);
}

qint64 PosixSystem::fileLength(const QString& path) {
    if (onSmb(path)) {
        return smb_->length(path);
    }
    QString native;
    return map(path, native) != FileError::None ? -1 : LocalFiles::length(native);
}

FileError PosixSystem::removeFile(const QString& path) {
    if (onSmb(path)) {
        return smb_->remove(path);
    }
    QString native;
    const FileError error = map(path, native);
    return error != FileError::None ? error : LocalFiles::remove(native);
}

FileError PosixSystem::renameFile(const QString& from, const QString& to) {
    if (onSmb(from) || onSmb(to)) {
        // As on Windows, a rename does not move a file to another volume.
        return onSmb(from) && onSmb(to) ? smb_->rename(from, to) : FileError::Other;
    }
    QString source;
    QString target;
    FileError error = map(from, source);
    if (error == FileError::None) {
        error = mapTarget(to, target);
    }
    return error != FileError::None ? error : LocalFiles::rename(source, target);
}

FileError PosixSystem::copyFile(const QString& from, const QString& to) {
    QString source;
    QString target;
    if (onSmb(from)) {
        QByteArray bytes;
        const FileError error = readFile(from, bytes);
        return error != FileError::None ? error : writeFile(to, bytes);
    }
    FileError error = map(from, source);
    if (error == FileError::None && onSmb(to)) {
        return smb_->copyFromLocal(source, to);
    }
    if (error == FileError::None) {
        error = mapTarget(to, target);
    }
    return error != FileError::None ? error : LocalFiles::copy(source, target);
}

FileError PosixSystem::sameContents(const QString& source, const QString& path, bool& same) {
    same = false;
    QString nativeSource;
    if (const FileError error = map(source, nativeSource); error != FileError::None) {
        return error;
    }
    if (onSmb(path)) {
        return smb_->sameAsLocal(nativeSource, path, same);
    }
    QString native;
    const FileError error = map(path, native);
    return error != FileError::None ? error : LocalFiles::sameContents(nativeSource, native, same);
}

FileError PosixSystem::listFolder(const QString& path, std::vector<FolderEntry>& entries) {
    if (onSmb(path)) {
        return smb_->list(path, entries);
    }
    QString native;
    const FileError error = map(path, native);
    return error != FileError::None ? error : LocalFiles::listFolder(native, entries);
}

FileError PosixSystem::createFolder(const QString& path) {
    if (onSmb(path)) {
        return smb_->createFolder(path);
    }
    QString native;
    const FileError error = mapTarget(path, native);
    return error != FileError::None ? error : LocalFiles::createFolder(native);
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

void PosixSystem::finishPings() {
    commands_.finishPings();
}

// Every setting comes from the environment, as for this one. On the real network
// the worker's file operations go to an agent process with a network of its own.
std::unique_ptr<System> PosixSystem::forWorker() {
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
