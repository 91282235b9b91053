// What the logic may count on from a System, whichever one it runs on: the
// in-memory fake its tests use, the POSIX backend (local drives and the folder
// network) and the Win32 backend (under Wine). One source, built once per backend.
#include "platform/System.h"

#include <QTest>

#if defined(VANTREL_CONTRACT_FAKE)
#include "support/FakePlatform.h"
#elif defined(Q_OS_WIN)
#include "platform/windows/WindowsSystem.h"
#include <QTemporaryDir>
#else
#include "platform/posix/PosixSystem.h"
#include "support/ScopedEnvironment.h"
#include <QDir>
#include <QTemporaryDir>
#endif

using namespace vantrel;

namespace {

// A fresh local folder and a fresh folder on a workstation's share, Windows form.
#if defined(VANTREL_CONTRACT_FAKE)
class Backend {
public:
    Backend() {
        system_.addFolder(local());
        system_.addFolder(share());
    }
    System& system() { return system_; }
    QString local() const { return QStringLiteral("C:\\Contrat"); }
    QString share() const { return QStringLiteral("\\\\PC01\\C$\\Contrat"); }

private:
    test::FakeSystem system_;
};
#elif defined(Q_OS_WIN)
class Backend {
public:
    Backend() {
        // tests/windows/under-wine.sh shares a folder as \\PC01\C$.
        shareFolder_ = QStringLiteral("\\\\PC01\\C$\\Contrat%1").arg(++count_);
        system_.createFolder(shareFolder_);
    }
    System& system() { return system_; }
    QString local() const { return system_.windowsPath(dir_.path()); }
    QString share() const { return shareFolder_; }

private:
    static inline int count_ = 0;
    QTemporaryDir dir_;
    mutable WindowsSystem system_;
    QString shareFolder_;
};
#else
class Backend {
public:
    Backend() {
        QDir(dir_.path()).mkpath(QStringLiteral("c/Contrat"));
        QDir(dir_.path()).mkpath(QStringLiteral("net/PC01/C$/Contrat"));
    }
    System& system() { return system_; }
    QString local() const { return QStringLiteral("C:\\Contrat"); }
    QString share() const { return QStringLiteral("\\\\PC01\\C$\\Contrat"); }

private:
    QTemporaryDir dir_;
    test::ScopedEnvironment drives_{"VANTREL_LECTEURS", ("C=" + dir_.path() + "/c").toUtf8()};
    test::ScopedEnvironment network_{"VANTREL_RESEAU", (dir_.path() + "/net").toUtf8()};
    PosixSystem system_;
};
#endif

QByteArray read(System& system, const QString& path) {
    QByteArray bytes;
    return system.readFile(path, bytes) == FileError::None ? bytes : QByteArray("<absent>");
}

} // namespace

class SystemContractTest : public QObject {
    Q_OBJECT
private slots:
    void init() { backend_ = std::make_unique<Backend>(); }
    void cleanup() { backend_.reset(); }

    // A rename and a link never replace; a replace does, in one step.
    void renameNeverReplaces_data() { roots(); }
    void renameNeverReplaces() {
        const QString a = root() + QStringLiteral("\\a.exe");
        const QString b = root() + QStringLiteral("\\b.exe");
        QCOMPARE(system().renameFile(a, b), FileError::FileNotFound);
        QCOMPARE(system().writeFile(a, "A"), FileError::None);
        QCOMPARE(system().writeFile(b, "B"), FileError::None);
        QCOMPARE(system().renameFile(a, b), FileError::AlreadyExists);
        QCOMPARE(read(system(), a), QByteArray("A"));
        QCOMPARE(read(system(), b), QByteArray("B"));
        QCOMPARE(system().renameFile(a, root() + QStringLiteral("\\c.exe")), FileError::None);
        QCOMPARE(system().fileLength(a), -1);
        const QString c = root() + QStringLiteral("\\c.exe");
        QCOMPARE(read(system(), c), QByteArray("A"));
        QCOMPARE(system().linkFile(c, b), FileError::AlreadyExists);
        QCOMPARE(system().linkFile(a, a + u'2'), FileError::FileNotFound);
        QCOMPARE(system().linkFile(c, a), FileError::None);
        QCOMPARE(read(system(), a), QByteArray("A"));
        QCOMPARE(read(system(), c), QByteArray("A"));
        QCOMPARE(read(system(), b), QByteArray("B"));
        QCOMPARE(system().replaceFile(c, b), FileError::None);
        QCOMPARE(read(system(), b), QByteArray("A"));
        QCOMPARE(system().fileLength(c), -1);
        QCOMPARE(system().replaceFile(c, b), FileError::FileNotFound);
        // What is linked keeps its bytes when its other name is replaced.
        QCOMPARE(system().writeFile(c, "C"), FileError::None);
        QCOMPARE(system().replaceFile(c, a), FileError::None);
        QCOMPARE(read(system(), a), QByteArray("C"));
        QCOMPARE(read(system(), b), QByteArray("A"));
    }

    void copyReplacesButNeverCreatesFolders_data() { roots(); }
    void copyReplacesButNeverCreatesFolders() {
        const QString source = backend_->local() + QStringLiteral("\\source.exe");
        const QString target = root() + QStringLiteral("\\outil.exe");
        QCOMPARE(system().writeFile(source, QByteArray(100000, 'n')), FileError::None);
        QCOMPARE(system().writeFile(target, "ancien"), FileError::None);
        QCOMPARE(system().copyFile(source, target), FileError::None);
        QCOMPARE(system().fileLength(target), 100000);
        const QString absent = root() + QStringLiteral("\\Absent");
        QCOMPARE(system().copyFile(source, absent + QStringLiteral("\\outil.exe")),
                 FileError::PathNotFound);
        QCOMPARE(system().writeFile(absent + QStringLiteral("\\x"), "x"), FileError::PathNotFound);
        QCOMPARE(system().createFolder(absent), FileError::None);
        QCOMPARE(system().copyFile(source, absent + QStringLiteral("\\outil.exe")),
                 FileError::None);
    }

    void namesCompareWithoutCase_data() { roots(); }
    void namesCompareWithoutCase() {
        const QString written = root() + QStringLiteral("\\Outil.EXE");
        QCOMPARE(system().writeFile(written, "v1"), FileError::None);
        QCOMPARE(system().fileLength(root() + QStringLiteral("\\outil.exe")), 2);
        QCOMPARE(system().writeFile(root() + QStringLiteral("\\OUTIL.exe"), "v22"),
                 FileError::None);
        QCOMPARE(read(system(), written), QByteArray("v22")); // the same file, replaced
        QCOMPARE(system().renameFile(root() + QStringLiteral("\\outil.exe"),
                                     root() + QStringLiteral("\\OUTIL.EXE20261207_143015")),
                 FileError::None);
        QCOMPARE(system().fileLength(written), -1);
        QCOMPARE(system().removeFile(root() + QStringLiteral("\\outil.exe20261207_143015")),
                 FileError::None);
    }

    void listingGivesNamesSizesAndFolders_data() { roots(); }
    void listingGivesNamesSizesAndFolders() {
        QCOMPARE(system().writeFile(root() + QStringLiteral("\\Outil.exe"), "12345"),
                 FileError::None);
        QCOMPARE(system().writeFile(root() + QStringLiteral("\\Outil.exe20261207_90503"), "12"),
                 FileError::None);
        QCOMPARE(system().createFolder(root() + QStringLiteral("\\Sous")), FileError::None);
        std::vector<FolderEntry> entries;
        QCOMPARE(system().listFolder(root(), entries), FileError::None);
        QStringList listed;
        for (const FolderEntry& entry : entries)
            listed << QStringLiteral("%1 %2 %3").arg(entry.name).arg(entry.size).arg(entry.folder);
        listed.removeIf([](const QString& line) { return line.startsWith(QLatin1String("Sous")); });
        listed.sort();
        QCOMPARE(listed, (QStringList{"Outil.exe 5 0", "Outil.exe20261207_90503 2 0"}));
        QVERIFY(std::any_of(entries.begin(), entries.end(), [](const FolderEntry& entry) {
            return entry.name == QLatin1String("Sous") && entry.folder;
        }));
        QCOMPARE(system().listFolder(root() + QStringLiteral("\\Absent"), entries),
                 FileError::PathNotFound);
        QCOMPARE(system().listFolder(root() + QStringLiteral("\\Outil.exe"), entries),
                 FileError::PathNotFound);
    }

    // The failure texts of the journal come from these: each backend must name a
    // fault the same way.
    void sameErrorsForSameFaults_data() { roots(); }
    void sameErrorsForSameFaults() {
        const QString missing = root() + QStringLiteral("\\absent.exe");
        const QString inMissingFolder = root() + QStringLiteral("\\Absent\\a.exe");
        const QString folder = root() + QStringLiteral("\\Dossier");
        QCOMPARE(system().createFolder(folder), FileError::None);
        QByteArray bytes;
        QCOMPARE(system().readFile(missing, bytes), FileError::FileNotFound);
        QCOMPARE(system().readFile(inMissingFolder, bytes), FileError::PathNotFound);
        QCOMPARE(system().readFile(folder, bytes), FileError::IsAFolder);
        QCOMPARE(system().writeFile(inMissingFolder, "x"), FileError::PathNotFound);
        QCOMPARE(system().writeFile(folder, "x"), FileError::IsAFolder);
        QCOMPARE(system().removeFile(missing), FileError::FileNotFound);
        QCOMPARE(system().copyFile(missing, root() + QStringLiteral("\\b.exe")),
                 FileError::FileNotFound);
        QCOMPARE(system().copyFile(folder, root() + QStringLiteral("\\b.exe")),
                 FileError::IsAFolder);
        QCOMPARE(system().fileLength(missing), -1);
        QCOMPARE(system().shortPath(missing), QString());
    }

private:
    void roots() {
        QTest::addColumn<bool>("onShare");
        QTest::newRow("local folder") << false;
        QTest::newRow("workstation share") << true;
    }
    System& system() { return backend_->system(); }
    QString root() const {
        QFETCH(bool, onShare);
        return onShare ? backend_->share() : backend_->local();
    }

    std::unique_ptr<Backend> backend_;
};

QTEST_GUILESS_MAIN(SystemContractTest)
#include "tst_system_contract.moc"
