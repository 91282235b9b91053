#include "platform/posix/CommandInterpreter.h"
#include "platform/posix/DesktopPrograms.h"
#include "platform/posix/LocalFiles.h"
#include "platform/posix/PathMapper.h"
#include "platform/posix/PosixSystem.h"
#include "platform/posix/ProcessLauncher.h"
#include "support/ScopedEnvironment.h"

#include <QTest>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

using namespace vantrel;

namespace {

void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<absent>");
}

// Children of this process that have ended and not been waited for.
int zombieChildren() {
    int zombies = 0;
    const QString self = QString::number(::getpid());
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        const QByteArray stat = read(QStringLiteral("/proc/%1/stat").arg(entry));
        // "pid (name) state ppid ...": the name may hold blanks and parentheses.
        const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[0] == "Z" && fields[1] == self.toLatin1()) {
            ++zombies;
        }
    }
    return zombies;
}

// Records what would be started, as "program|argument|...>output".
class RecordingLauncher : public ProgramLauncher {
public:
    explicit RecordingLauncher(QStringList& started) : started_(started) {}
    bool start(const QString& program, const QStringList& arguments,
               const QString& outputFile) override {
        started_.append((QStringList{program} + arguments).join(QLatin1Char('|')) +
                        (outputFile.isEmpty() ? QString() : QLatin1Char('>') + outputFile));
        return true;
    }
    bool startInGroup(const QString& program, const QStringList& arguments,
                      const QString& outputFile) override {
        return start(program, arguments, outputFile);
    }
    bool waitForGroups(int) override { return true; }
    void endGroups() override {}

private:
    QStringList& started_;
};

class FixedDesktop : public DesktopPrograms {
public:
    explicit FixedDesktop(bool withEditor) : withEditor_(withEditor) {}
    QString textEditor() const override {
        return withEditor_ ? QStringLiteral("/bin/ed") : QString();
    }
    QString calculator() const override { return QStringLiteral("/bin/calc"); }
    QString opener() const override { return QStringLiteral("/bin/xdg-open"); }

private:
    bool withEditor_;
};

} // namespace

class PosixTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>(); // each test on its own files
        QVERIFY(dir_->isValid());
        root_ = dir_->path();
        QDir(root_).mkpath(QStringLiteral("net/PC01/C$/Outils"));
        QDir(root_).mkpath(QStringLiteral("c/Distrib"));
    }

    void pathsMapBothWays_data() {
        QTest::addColumn<QString>("windows");
        QTest::addColumn<QString>("native");
        QTest::addColumn<bool>("canonical"); // the form the path maps back to
        QTest::newRow("Z is root") << "Z:\\home\\ana\\outil.exe"
                                   << "/home/ana/outil.exe" << true;
        QTest::newRow("configured drive") << "C:\\Distrib\\a.exe"
                                          << "@/c/Distrib/a.exe" << true;
        QTest::newRow("unc") << "\\\\PC01\\C$\\Outils\\a.exe"
                             << "@/net/PC01/C$/Outils/a.exe" << true;
        QTest::newRow("unc other case") << "\\\\pc01\\c$\\OUTILS\\a.exe"
                                        << "@/net/PC01/C$/Outils/a.exe" << false;
        QTest::newRow("drive root") << "C:\\"
                                    << "@/c" << true;
        QTest::newRow("slash separates") << "\\\\PC01\\C$/Outils/a.exe"
                                         << "@/net/PC01/C$/Outils/a.exe" << false;
        QTest::newRow("dots within the share") << "\\\\PC01\\C$\\Outils\\..\\a.exe"
                                               << "@/net/PC01/C$/a.exe" << false;
        QTest::newRow("dots above a drive's root") << "C:\\..\\..\\Distrib"
                                                   << "@/c/Distrib" << false;
    }
    void pathsMapBothWays() {
        QFETCH(QString, windows);
        QFETCH(QString, native);
        QFETCH(bool, canonical);
        native.replace(QLatin1Char('@'), root_);
        const PathMapper paths(QStringLiteral("c=") + root_ + QStringLiteral("/c"),
                               root_ + QStringLiteral("/net"));
        QCOMPARE(paths.toNative(windows), native);
        if (canonical) {
            QCOMPARE(paths.toWindows(native), windows);
        }
    }

    void unmappedPathsGiveNothing() {
        const PathMapper paths{QString(), QString()};
        QCOMPARE(paths.toNative(QStringLiteral("\\\\PC01\\C$\\x")), QString());
        QCOMPARE(paths.toNative(QStringLiteral("Q:\\x")), QString());
    }

    // On Windows and over SMB a UNC path stays inside its share.
    void uncPathsStayInTheirShare_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<FileError>("error");
        QTest::newRow("climbing above the share")
            << "\\\\PC01\\C$\\..\\..\\..\\x" << FileError::PathNotFound;
        QTest::newRow("climbing by slashes")
            << "\\\\PC01\\C$\\Outils\\../../../x" << FileError::PathNotFound;
        QTest::newRow("host ..") << "\\\\..\\C$\\x" << FileError::PathNotFound;
        QTest::newRow("share ..") << "\\\\PC01\\..\\x" << FileError::PathNotFound;
        QTest::newRow("file at share level") << "\\\\PC01\\outil.exe" << FileError::ShareNotFound;
    }
    void uncPathsStayInTheirShare() {
        QFETCH(QString, path);
        QFETCH(FileError, error);
        const test::ScopedEnvironment network("VANTREL_RESEAU", (root_ + "/net").toUtf8());
        PosixSystem system;
        write(root_ + QStringLiteral("/source"), "new");
        QCOMPARE(system.copyFile(system.windowsPath(root_ + QStringLiteral("/source")), path),
                 error);
        QCOMPARE(system.writeFile(path, "new"), error);
        QCOMPARE(QDir(root_).entryList(QDir::Files), QStringList{"source"});
        QCOMPARE(QDir(root_ + QStringLiteral("/net")).entryList(QDir::Files), QStringList());
        QCOMPARE(QDir(root_ + QStringLiteral("/net/PC01")).entryList(QDir::Files), QStringList());
    }

    // Documents are read only from regular files of bounded size: never a device
    // that never ends, nor a pipe that blocks.
    void readsOnlyBoundedRegularFiles_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<FileError>("error");
        QTest::newRow("regular") << "regular" << FileError::None;
        QTest::newRow("endless device") << "/dev/zero" << FileError::NotAFile;
        QTest::newRow("pipe with no writer") << "fifo" << FileError::NotAFile;
        QTest::newRow("beyond the limit") << "sparse" << FileError::TooLarge;
        QTest::newRow("folder") << "folder" << FileError::IsAFolder;
    }
    void readsOnlyBoundedRegularFiles() {
        QFETCH(QString, kind);
        QFETCH(FileError, error);
        QString path = root_ + QLatin1Char('/') + kind;
        if (kind == QLatin1String("regular")) {
            write(path, "PC01\r\n");
        } else if (kind == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == QLatin1String("sparse")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(kMaxReadBytes + 1));
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir(root_).mkpath(kind));
        } else {
            path = kind;
        }
        QByteArray bytes;
        QCOMPARE(LocalFiles::read(path, bytes), error);
        QVERIFY(bytes.size() < 16);
        const QString target = root_ + QStringLiteral("/net/PC01/C$/Outils/copie");
        if (error != FileError::TooLarge) { // a copy has no size limit
            QCOMPARE(LocalFiles::copy(path, target), error);
        }
    }

    void fullDiskLeavesNoPartialFile() {
        const QString small = root_ + QStringLiteral("/small");
        QDir(root_).mkpath(QStringLiteral("small"));
        if (QProcess::execute(QStringLiteral("mount"),
                              {"-t", "tmpfs", "-o", "size=64k", "tmpfs", small}) != 0) {
            QSKIP("a small file system cannot be mounted here");
        }
        const QString source = root_ + QStringLiteral("/big");
        write(source, QByteArray(512 * 1024, 'x'));
        write(small + QStringLiteral("/a.exe"), "old");
        const FileError error = LocalFiles::copy(source, small + QStringLiteral("/a.exe"));
        const QStringList left = QDir(small).entryList(QDir::Files);
        const QByteArray kept = read(small + QStringLiteral("/a.exe"));
        QProcess::execute(QStringLiteral("umount"), {small});
        QCOMPARE(error, FileError::DiskFull);
        QCOMPARE(describe(error), QStringLiteral("Disque plein"));
        QCOMPARE(left, QStringList{"a.exe"});
        QCOMPARE(kept, QByteArray("old"));
    }

    void systemRefusesWhatItCannotStart() {
        const test::ScopedEnvironment drives("VANTREL_LECTEURS", ("C=" + root_ + "/c").toUtf8());
        PosixSystem system;
        QVERIFY(
            !system.startCommand(QStringLiteral("C:\\absent.exe fichier"), WindowStyle::Normal));
        QCOMPARE(system.shortPath(QStringLiteral("C:\\Distrib")), QStringLiteral("C:\\Distrib"));
        QCOMPARE(system.longPath(QStringLiteral("C:\\Absent")), QString());
    }

    // The command lines the logic writes become argument vectors: text from a list
    // (a host name, a file name) is one argument, never read by a shell.
    void commandLinesBecomeArgumentVectors_data() {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<bool>("withEditor");
        QTest::addColumn<QString>("started"); // "" when nothing may start; @ is the root
        QTest::newRow("ping") << "cmd.exe /C ping PC01 > C:\\Run\\PC01.txt" << true
                              << "/opt/ping|PC01>@/c/Run/PC01.txt";
        QTest::newRow("hostile host") << "cmd.exe /C ping PC01; rm -rf ~ > C:\\Run\\x.txt" << true
                                      << "/opt/ping|PC01; rm -rf ~>@/c/Run/x.txt";
        QTest::newRow("host with quotes and substitution")
            << "cmd.exe /C ping \"$(id)\" `x` > C:\\Run\\y.txt" << true
            << "/opt/ping|\"$(id)\" `x`>@/c/Run/y.txt";
        QTest::newRow("text editor on a file")
            << "notepad.exe C:\\Distrib\\liste a.txt" << true << "/bin/ed|@/c/Distrib/liste a.txt";
        QTest::newRow("text editor, empty") << "notepad.exe " << true << "/bin/ed";
        QTest::newRow("no editor: the opener")
            << "notepad.exe C:\\Distrib\\l.txt" << false << "/bin/xdg-open|@/c/Distrib/l.txt";
        QTest::newRow("calculator") << "calc.exe" << true << "/bin/calc";
        QTest::newRow("image editor") << "C:\\WINDOWS\\system32\\mspaint.exe C:\\Distrib\\f.bmp"
                                      << true << "/bin/xdg-open|@/c/Distrib/f.bmp";
        QTest::newRow("program path with blanks")
            << "C:\\Program Files\\Ed\\ed.exe C:\\Distrib\\a; b.txt" << true
            << "@/c/Program Files/Ed/ed.exe|@/c/Distrib/a; b.txt";
        QTest::newRow("no such program") << "C:\\absent.exe C:\\Distrib\\a.txt" << true << "";
        QTest::newRow("shell words are no program") << "sh -c id" << true << "";
    }
    void commandLinesBecomeArgumentVectors() {
        QFETCH(QString, commandLine);
        QFETCH(bool, withEditor);
        QFETCH(QString, started);
        const QString editor = root_ + QStringLiteral("/c/Program Files/Ed/ed.exe");
        QVERIFY(QDir(root_).mkpath(QStringLiteral("c/Program Files/Ed")));
        write(editor, "#!/bin/sh\n");
        QVERIFY(QFile::setPermissions(editor, QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(QDir(root_).mkpath(QStringLiteral("c/Run")));
        const PathMapper paths(QStringLiteral("C=") + root_ + QStringLiteral("/c"), QString());
        QStringList launched;
        const CommandInterpreter interpreter(paths, QStringLiteral("/opt/ping"), false,
                                             std::make_unique<RecordingLauncher>(launched),
                                             std::make_unique<FixedDesktop>(withEditor));
        QCOMPARE(interpreter.start(commandLine), !started.isEmpty());
        started.replace(QLatin1Char('@'), root_);
        QCOMPARE(launched, started.isEmpty() ? QStringList() : QStringList{started});
    }

    void launchedProgramsGetTheirWordsAndAreReaped() {
        const QString output = root_ + QStringLiteral("/sortie.txt");
        {
            ProcessLauncher launcher;
            // Found on PATH; each argument reaches it whole, shell syntax included.
            QVERIFY(launcher.start(QStringLiteral("printf"),
                                   {QStringLiteral("%s|"), QStringLiteral("PC01; echo $(id) *"),
                                    QStringLiteral("deux")},
                                   output));
            for (int i = 0; i < 20; ++i) {
                QVERIFY(launcher.start(QStringLiteral("true"), {}, QString()));
            }
            QVERIFY(!launcher.start(root_ + QStringLiteral("/absent"), {}, QString()));
            QTRY_COMPARE_WITH_TIMEOUT(read(output), QByteArray("PC01; echo $(id) *|deux|"), 10000);
            QTRY_COMPARE_WITH_TIMEOUT(zombieChildren(), 0, 10000);
        }
        QCOMPARE(zombieChildren(), 0);
    }

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString root_;
};

QTEST_GUILESS_MAIN(PosixTest)
#include "tst_posix.moc"
