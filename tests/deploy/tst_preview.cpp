#include "core/TextFile.h"
#include "deploy/DeploymentRun.h"
#include "deploy/PreviewRun.h"
#include "platform/FileError.h"
#include "support/FakePlatform.h"
#include <QTest>

using namespace vantrel;
using namespace vantrel::test;

namespace {

const QString kStamp = QStringLiteral("20261206_143015");
const QString kFolder = QStringLiteral("\\\\PC01\\C$\\Outils");
const QString kTarget = kFolder + QStringLiteral("\\outil.exe");

// One workstation, one rule (outil.exe, "v2", to \C$\Outils), and what the
// workstation holds: "absent", "equal", "different", "no folder" or "no answer"; or
// what stands at the source's place: "no source", "a folder as source".
struct Workstation : Fixture {
    explicit Workstation(const QString& holds) {
        start();
        ws->state.WorkstationListPath = QStringLiteral("C:\\DEPLOI\\Atelier.LPO");
        ws->state.RuleFilePath = QStringLiteral("C:\\DEPLOI\\Atelier.Rgl");
        ws->lists.ListePostes.assign({"PC01"});
        ws->lists.ListeSource.assign({"C:\\Distrib\\outil.exe"});
        ws->lists.ListeDest.assign({"\\C$\\Outils"});
        if (holds == QLatin1String("a folder as source")) {
            system.addFolder(QStringLiteral("C:\\Distrib\\outil.exe"));
        } else if (holds == QLatin1String("no source")) {
            system.addFolder(QStringLiteral("C:\\Distrib"));
        } else {
            system.addFile(QStringLiteral("C:\\Distrib\\outil.exe"), "v2");
        }
        system.addFolder(holds == QLatin1String("no folder") ? QStringLiteral("\\\\PC01\\C$")
                                                             : kFolder);
        if (holds == QLatin1String("equal") || holds == QLatin1String("different")) {
            system.addFile(kTarget, holds == QLatin1String("equal") ? "v2" : "v1");
        }
        const int loss = holds == QLatin1String("no answer") ? 100 : 0;
        system.pingTranscripts[QStringLiteral("PC01")] =
            TextFile::encode(reachableTranscript(QStringLiteral("PC01"), loss));
        ui.defaultAnswer = Answer::No;
    }
    // What the mode says of the workstation: its preview line, or its pass result line.
    QString run(const QString& mode) {
        PassSettings settings;
        settings.onlyIfDifferent = mode.endsWith(QLatin1String("si-different"));
        if (mode.startsWith(QLatin1String("preview"))) {
            QStringList lines;
            if (!PreviewRun(*ws, settings, lines) || lines.size() != 1) {
                return QStringLiteral("(%1 lines)").arg(lines.size());
            }
            const QByteArray saved =
                system.contents(ws->state.RunFolder + QStringLiteral("\\Simulation.txt"));
            return saved == crlf(lines) ? lines.first() : QStringLiteral("(not saved)");
        }
        startDeployment(*ws, settings);
        return ws->lists.ListeGénérale.entries().constLast();
    }
    QStringList filesLeft() const {
        QStringList files = system.filesUnder(kFolder);
        files.replaceInStrings(kFolder + QLatin1Char('\\'), QString());
        files.sort();
        return files;
    }
};

} // namespace

class PreviewTest : public QObject {
    Q_OBJECT
private slots:
    // A preview writes nothing and says what the pass would do; --si-different leaves
    // an identical target alone in both.
    void previewAndPassAgree_data() {
        QTest::addColumn<QString>("holds");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QStringList>("files");
        const QString line = QStringLiteral("PC01;") + kTarget + QLatin1Char(';');
        const QString kept = QStringLiteral("outil.exe") + kStamp;
        const QString untried = QStringLiteral(" (écriture non essayée)");
        const QString replaced = QStringLiteral("remplacé, sauvegarde ") + kept + untried;
        const QString noSource = describe(FileError::FileNotFound);
        const QString folderSource = describe(FileError::IsAFolder);
        const QString missing = QStringLiteral("Chemin d'accès introuvable");
        const QStringList previews{"preview", "preview si-different"};
        for (const QString& mode : previews) {
            const bool compare = mode.endsWith(QLatin1String("si-different"));
            const auto row = [&mode](const char* holds) {
                return &QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(holds, mode)));
            };
            *row("absent") << "absent" << mode << line + "nouveau" + untried << QStringList();
            *row("no source") << "no source" << mode << line + noSource << QStringList();
            *row("a folder as source")
                << "a folder as source" << mode << line + folderSource << QStringList();
            *row("equal") << "equal" << mode << line + (compare ? "inchangé" : replaced)
                          << QStringList{"outil.exe"};
            *row("different") << "different" << mode << line + replaced << QStringList{"outil.exe"};
            *row("no folder") << "no folder" << mode << line + missing << QStringList();
            *row("no answer") << "no answer" << mode << "PC01;PingFail" << QStringList();
        }
        const QString ok = QStringLiteral("PC01;OK ;");
        for (const QString& mode : QStringList{"pass", "pass si-different"}) {
            const bool compare = mode.endsWith(QLatin1String("si-different"));
            const auto row = [&mode](const char* holds) {
                return &QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(holds, mode)));
            };
            *row("absent") << "absent" << mode << "PC01;OK Nouveau fichier PC01 \\C$\\Outils;"
                           << QStringList{"outil.exe"};
            *row("equal") << "equal" << mode
                          << (compare ? ok + kTarget + QStringLiteral(";inchangé;") : ok)
                          << (compare ? QStringList{"outil.exe"} : QStringList{"outil.exe", kept});
            *row("different") << "different" << mode << ok << QStringList{"outil.exe", kept};
            *row("no folder") << "no folder" << mode
                              << "PC01;;C:\\Distrib\\outil.exe;\\C$\\Outils;" + missing + ";"
                              << QStringList();
            *row("no answer") << "no answer" << mode << "PC01;PingFail" << QStringList();
            const QString failed = QStringLiteral("PC01;;C:\\Distrib\\outil.exe;\\C$\\Outils;");
            *row("no source") << "no source" << mode << failed + noSource + ";" << QStringList();
            *row("a folder as source")
                << "a folder as source" << mode << failed + folderSource + ";" << QStringList();
        }
    }
    void previewAndPassAgree() {
        QFETCH(QString, holds);
        QFETCH(QString, mode);
        QFETCH(QString, said);
        QFETCH(QStringList, files);
        Workstation pc(holds);
        const QByteArray before = pc.system.contents(kTarget);
        QCOMPARE(pc.run(mode), said);
        QCOMPARE(pc.filesLeft(), files);
        if (mode.startsWith(QLatin1String("preview"))) {
            QCOMPARE(pc.system.contents(kTarget), before);
            QVERIFY(!pc.system.exists(pc.ws->state.RunFolder +
                                      QStringLiteral("\\Infos Déploiement.txt")));
        }
        // An error a pass would meet is an error of the preview too.
        const bool fails = holds == QLatin1String("no folder") ||
                           holds == QLatin1String("no answer") || holds.contains("source");
        QCOMPARE(pc.ws->lists.L_GénéErreurs.isEmpty(), !fails);
    }

    // A second rule that no workstation may take: it makes the file the first made
    // (the same rule twice, one name in two cases), a name no Windows share takes, or
    // one whose replaced versions could not be kept (with a stamp, past 255 units).
    // The pass refuses it before writing anything, and the preview says so. The names
    // Windows takes (refused "") are written whole, whatever the program's own names.
    void rulesRefusedEverywhere_data() {
        QTest::addColumn<QString>("secondSource");
        QTest::addColumn<QString>("secondDestination");
        QTest::addColumn<QString>("refused");
        const QString same = describe(FileError::SameTarget);
        const QString name = describe(FileError::RefusedName);
        const QString outils = QStringLiteral("\\C$\\Outils");
        QTest::newRow("the same rule twice") << "C:\\Distrib\\outil.exe" << outils << same;
        QTest::newRow("one name in two cases") << "C:\\Autre\\OUTIL.EXE" << outils << same;
        for (const char* refusedName :
             {"CON", "nul", "COM1", "aux.txt", "LPT1.log", "con .txt", "a.", "a ",
              "file.txt:stream", "a*b", "a?b", "a<b", "a>b", "a|b", "a\"b"})
            QTest::newRow(refusedName)
                << QStringLiteral("C:\\Autre\\") + QLatin1String(refusedName) << outils << name;
        QTest::newRow("a folder ending in a dot") << "C:\\Autre\\outil.ini"
                                                  << "\\C$\\Outils." << name;
        QTest::newRow("a folder ending in a blank") << "C:\\Autre\\outil.ini"
                                                    << "\\C$\\Outils \\Sous" << name;
        for (const char* port : {"COM\u00B9", "com\u00B2.txt", "COM\u00B3", "LPT\u00B9.log",
                                 "lpt\u00B2", "LPT\u00B3 .a"})
            QTest::newRow(port) << QStringLiteral("C:\\Autre\\") + QString::fromUtf8(port) << outils
                                << name;
        QTest::newRow("a superscript port as a folder")
            << "C:\\Autre\\outil.ini" << QStringLiteral("\\C$\\LPT\u00B3\\Sous") << name;
        const QString tooLong = describe(FileError::NameTooLongForBackup);
        const QString longest = QString(236, u'n') + QStringLiteral(".exe"); // with a stamp: 255
        QTest::newRow("241 characters") << "C:\\Autre\\x" + longest << outils << tooLong;
        QTest::newRow("255 characters")
            << "C:\\Autre\\" + QString(251, u'n') + ".exe" << outils << tooLong;
        QTest::newRow("240 characters") << "C:\\Autre\\" + longest << outils << "";
        QTest::newRow("240 accented characters")
            << "C:\\Autre\\" + QString(236, u'\u00E9') + ".exe" << outils << "";
        QTest::newRow("a blank inside a folder") << "C:\\Autre\\outil.ini"
                                                 << "\\C$\\Program Files"
                                                 << "";
        QTest::newRow("a blank inside a name") << "C:\\Autre\\mon outil.exe" << outils << "";
        for (const char* acceptedName :
             {" a.txt", "CONSOLE.txt", "nul1.log", "a..b", "été.txt", "~$x.docx"})
            QTest::newRow(
                qPrintable(QStringLiteral("accepted: ") + QString::fromUtf8(acceptedName)))
                << QStringLiteral("C:\\Autre\\") + QString::fromUtf8(acceptedName) << outils << "";
        QTest::newRow("COM10, LPT0, COM4 superscript")
            << "C:\\Autre\\COM10" << QStringLiteral("\\C$\\LPT0\\COM\u2074") << "";
    }
    void rulesRefusedEverywhere() {
        QFETCH(QString, secondSource);
        QFETCH(QString, secondDestination);
        QFETCH(QString, refused);
        for (const QString& mode : {QStringLiteral("preview"), QStringLiteral("pass")}) {
            Workstation pc(QStringLiteral("different"));
            if (!pc.system.exists(secondSource))
                pc.system.addFile(secondSource, "autre");
            pc.ws->lists.ListeSource.append(secondSource);
            pc.ws->lists.ListeDest.append(secondDestination);
            pc.system.addFolder(QStringLiteral("\\\\PC01") + secondDestination);
            const QString secondTarget = QStringLiteral("\\\\PC01") + secondDestination +
                                         secondSource.mid(secondSource.lastIndexOf(u'\\'));
            QStringList lines;
            if (mode == QLatin1String("preview")) {
                PreviewRun(*pc.ws, {}, lines);
            } else {
                startDeployment(*pc.ws, {});
                lines = pc.ws->lists.L_GénéErreurs.entries();
                QCOMPARE(pc.system.contents(kTarget), QByteArray("v2"));
                // The live file and its backup, and the second rule's file when it is
                // taken: nothing else of it, no temporary.
                QCOMPARE(pc.system.filesUnder(QStringLiteral("\\\\PC01")).size(),
                         refused.isEmpty() ? 3 : 2);
                if (secondTarget.compare(kTarget, Qt::CaseInsensitive) != 0)
                    QCOMPARE(pc.system.exists(secondTarget), refused.isEmpty());
            }
            if (refused.isEmpty()) {
                QCOMPARE(lines.size(), mode == QLatin1String("preview") ? 2 : 0);
                if (!lines.isEmpty())
                    QCOMPARE(lines.constLast(),
                             "PC01;" + secondTarget + ";nouveau (écriture non essayée)");
                continue;
            }
            QCOMPARE(lines.size(), mode == QLatin1String("preview") ? 2 : 1);
            QVERIFY2(
                lines.constLast().endsWith(refused + (mode == QLatin1String("pass") ? ";" : "")),
                qPrintable(lines.constLast()));
        }
    }
};

QTEST_GUILESS_MAIN(PreviewTest)
#include "tst_preview.moc"
