// The Win32 backend on real Win32 calls, run under Wine (tests/windows/under-wine.sh
// prepares \\PC01\C$ and \\PC02\C$, also reached as \\127.0.0.1\C$ and \\127.0.0.2\C$).
#include "core/TextFile.h"
#include "deploy/LaunchChecks.h"
#include "platform/qt/RealClock.h"
#include "platform/windows/WindowsSystem.h"
#include "support/FakePlatform.h"
#include <QTest>

// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <icmpapi.h>
// clang-format on

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QThread>

using namespace vantrel;
using namespace vantrel::test;

namespace {

QString work() {
    return qEnvironmentVariable("VANTREL_TEST_WORK");
}

QByteArray waitForFile(WindowsSystem& system, const QString& path) {
    QElapsedTimer waited;
    waited.start();
    QByteArray bytes;
    while (waited.elapsed() < 15000) {
        if (system.readFile(path, bytes) == FileError::None && !bytes.isEmpty()) {
            QThread::msleep(300); // let the writer finish
            system.readFile(path, bytes);
            return bytes;
        }
        QThread::msleep(100);
    }
    return bytes;
}

} // namespace

class WindowsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(!work().isEmpty(), "run through under-wine.sh"); }

    // The rest of the file operations is in the System contract suite.
    void unknownHostIsUnreachable() {
        WindowsSystem system;
        const QString source = work() + QStringLiteral("\\outil.exe");
        QCOMPARE(system.writeFile(source, "v2"), FileError::None);
        const FileError missingHost =
            system.copyFile(source, QStringLiteral("\\\\PC09\\C$\\outil.exe"));
        QVERIFY(missingHost == FileError::PathNotFound ||
                missingHost == FileError::HostUnreachable);
    }

    void shortAndLongPaths() {
        WindowsSystem system;
        const QString shortForm = system.shortPath(QStringLiteral("C:\\Program Files"));
        QVERIFY(!shortForm.isEmpty());
        QCOMPARE(system.longPath(shortForm), QStringLiteral("C:\\Program Files"));
        QCOMPARE(system.shortPath(QStringLiteral("C:\\absent\\rien")), QString());
        QVERIFY(
            system.programPath().endsWith(QStringLiteral("tst_windows.exe"), Qt::CaseInsensitive));
    }

    void associatedPrograms() {
        WindowsSystem system;
        // A program is its own program (Wine's shell answers no association for .txt).
        const QString program = system.findAssociatedProgram(QStringLiteral(".exe"));
        QVERIFY2(program.endsWith(QStringLiteral("essai.exe"), Qt::CaseInsensitive),
                 qPrintable(program));
        QCOMPARE(system.findAssociatedProgram(QStringLiteral(".zzq")), QString());
    }

    void ipv6AddressesInUncPaths_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reached");
        QTest::newRow("IPv6") << "\\\\fd00:17::5\\C$\\Outils"
                              << "\\\\fd00-17--5.ipv6-literal.net\\C$\\Outils";
        QTest::newRow("zone, host alone") << "\\\\fe80::1%4"
                                          << "\\\\fe80--1s4.ipv6-literal.net";
        QTest::newRow("IPv4") << "\\\\127.0.0.1\\C$"
                              << "\\\\127.0.0.1\\C$";
        QTest::newRow("local, colon after") << "C:\\a:b"
                                            << "C:\\a:b";
    }
    void ipv6AddressesInUncPaths() {
        QFETCH(QString, path);
        QFETCH(QString, reached);
        QCOMPARE(windowsUncPath(path), reached);
    }

    // A whole pass on the Win32 ICMP API and real copies: addresses that answer, one
    // that does not (a documentation network), a name that resolves nowhere.
    void passOnTheIcmpApi() {
        WindowsSystem system;
        FakeUserInterface ui;
        ui.defaultAnswer = Answer::No;
        ui.answers = {Answer::Yes};
        RealClock clock(&ui, system);
        Platform platform{system, ui, clock};
        Workspace ws(platform);
        ws.state.NameColumnWidth = 18;
        ws.state.ProgramName = QStringLiteral("Vantrel");
        ws.state.ProgramDir = work() + QStringLiteral("\\");
        ws.state.WorkstationListPath = work() + QStringLiteral("\\a.LPO");
        ws.state.RuleFilePath = work() + QStringLiteral("\\a.Rgl");
        const QString source = work() + QStringLiteral("\\outil.ini");
        QCOMPARE(system.writeFile(source, "ini"), FileError::None);
        ws.lists.ListePostes.assign(
            {"127.0.0.1", "127.0.0.2", "198.51.100.7", "PC09.invalid", "::1"});
        ws.lists.ListeSource.assign({source});
        ws.lists.ListeDest.assign({"\\C$\\Outils"});
        QCOMPARE(Télédéploiement_Click(ws, {}), LaunchOutcome::Started);
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d{8}_\\d{5,6}$"))
                     .match(ws.state.RunStamp)
                     .hasMatch(),
                 qPrintable(ws.state.RunStamp));
        // Wine has no ICMPv6 (Icmp6CreateFile fails there): ::1 must then be told
        // unanswered, never served; a system with it pings ::1 like 127.0.0.1.
        const HANDLE icmpv6 = Icmp6CreateFile();
        const bool hasIcmpv6 = icmpv6 != INVALID_HANDLE_VALUE;
        if (hasIcmpv6) {
            IcmpCloseHandle(icmpv6);
        }
        QStringList rows = ws.lists.Listécritures.entries();
        const QString ipv6Row = rows.takeAt(hasIcmpv6 ? rows.size() - 1 : 2);
        QVERIFY2(ipv6Row.startsWith(hasIcmpv6 ? QStringLiteral("::1               ;   0;")
                                              : QStringLiteral("::1               ; 100;  Void")),
                 qPrintable(ipv6Row));
        QCOMPARE(
            rows,
            (QStringList{"198.51.100.7      ; 100;  Void  ", "PC09.invalid      ; 100;  Void  ",
                         "127.0.0.1         ;   0;0/1     ", "127.0.0.2         ;   0;1/1     "}));
        QByteArray bytes;
        QCOMPARE(system.readFile(QStringLiteral("\\\\PC01\\C$\\Outils\\outil.ini"), bytes),
                 FileError::None);
        QCOMPARE(bytes, QByteArray("ini"));
        QVERIFY(system.fileLength(ws.state.RunFolder + QStringLiteral("\\Infos Déploiement.txt")) >
                0);
        const QString answered = TextFile::decode(
            waitForFile(system, ws.state.RunFolder + QStringLiteral("\\ping0.txt")));
        QVERIFY2(answered.contains(QStringLiteral("Réponse de 127.0.0.1 : octets=32 temps")) &&
                     answered.contains(QStringLiteral(
                         "Paquets : envoyés = 4, reçus = 4, perdus = 0 (perte 0%),")),
                 qPrintable(answered));
    }
};

QTEST_GUILESS_MAIN(WindowsTest)
#include "tst_windows.moc"
