#include "core/TextFile.h"
#include "deploy/RestoreRun.h"
#include "deploy/StampedVersions.h"
#include "deploy/Stamps.h"
#include "support/FakePlatform.h"

#include <QTest>

using namespace vantrel;
using namespace vantrel::test;

namespace {

const QString kTool = QStringLiteral("\\\\PC01\\C$\\Outils\\outil.exe");
const QString kNotes = QStringLiteral("\\\\PC01\\C$\\Outils\\notes.txt");
const QString kUndone = QStringLiteral("20261205_90503"); // the pass a restore undoes

// PC01 holds outil.exe (v3) with the v2 that pass kUndone replaced, and notes.txt that
// the pass made; PC02 has no Outils folder; PC03 does not answer.
struct History : Fixture {
    History() {
        start();
        ws->state.WorkstationListPath = QStringLiteral("C:\\DEPLOI\\Atelier.LPO");
        ws->state.RuleFilePath = QStringLiteral("C:\\DEPLOI\\Atelier.Rgl");
        ws->lists.ListePostes.assign({"PC01", "PC02", "PC03"});
        ws->lists.ListeSource.assign({"C:\\Distrib\\outil.exe", "C:\\Distrib\\notes.txt"});
        ws->lists.ListeDest.assign({"\\C$\\Outils", "\\C$\\Outils"});
        system.addFile(kTool, "v3");
        system.addFile(kTool + kUndone, "v2");
        system.addFile(kNotes, "notes");
        system.addFolder(QStringLiteral("\\\\PC02\\C$"));
        for (const QString& host : {QStringLiteral("PC01"), QStringLiteral("PC02")})
            system.pingTranscripts[host] = TextFile::encode(reachableTranscript(host));
        system.pingTranscripts[QStringLiteral("PC03")] =
            TextFile::encode(reachableTranscript(QStringLiteral("PC03"), 100));
        ui.defaultAnswer = Answer::No;
    }
};

} // namespace

class HistoryTest : public QObject {
    Q_OBJECT
private slots:
    void stampForms_data() {
        QTest::addColumn<QString>("stamp");
        QTest::addColumn<QString>("time"); // "" when it is no stamp
        QTest::newRow("afternoon") << "20261207_143015"
                                   << "2026-12-07T14:30:15";
        QTest::newRow("before ten: five digits") << "20261207_90503"
                                                 << "2026-12-07T09:05:03";
        QTest::newRow("midnight") << "20261207_00000"
                                  << "2026-12-07T00:00:00";
        QTest::newRow("seven digits") << "20261207_1430150"
                                      << "";
        QTest::newRow("four digits") << "20261207_9050"
                                     << "";
        QTest::newRow("no such month") << "20261307_143015"
                                       << "";
        QTest::newRow("no such hour") << "20261207_253015"
                                      << "";
        QTest::newRow("letters") << "2026120a_143015"
                                 << "";
        QTest::newRow("trailing text") << "20261207_143015.old"
                                       << "";
    }
    void stampForms() {
        QFETCH(QString, stamp);
        QFETCH(QString, time);
        QCOMPARE(isRunStamp(stamp), !time.isEmpty());
        if (!time.isEmpty())
            QCOMPARE(stampTime(stamp), QDateTime::fromString(time, Qt::ISODate));
    }

    // Only names that are the target's followed by a stamp are its versions; they
    // compare by the time they stand for, not as text. The pass (14:30:15) keeps the
    // version it has just made, and one from the future stays without taking a place.
    void keepingTheNewestVersions_data() {
        QTest::addColumn<int>("kept");
        QTest::addColumn<QStringList>("left");
        const QStringList always{"outil.exe",
                                 "outil.exe.bak",
                                 "outil.exe20261207_143015x",
                                 "outil.exe2",
                                 "outil.exe20270101_120000",
                                 "outil.exe20261207_143015"};
        QTest::newRow("two") << 2 << always + QStringList{"outil.exe20261207_100503"};
        QTest::newRow("one") << 1 << always;
        QTest::newRow("more than there are")
            << 9
            << always + QStringList{"outil.exe20261207_100503", "OUTIL.EXE20261207_90503",
                                    "outil.exe20261206_235959"};
    }
    void keepingTheNewestVersions() {
        QFETCH(int, kept);
        QFETCH(QStringList, left);
        FakeSystem system;
        const QString folder = QStringLiteral("\\\\PC01\\C$");
        system.addFolder(folder);
        for (const char* name :
             {"outil.exe", "outil.exe.bak", "outil.exe20261207_143015x", "outil.exe2",
              "outil.exe20261207_100503", "OUTIL.EXE20261207_90503", "outil.exe20261206_235959",
              "outil.exe20270101_120000", "outil.exe20261207_143015"})
            system.addFile(folder + QLatin1Char('\\') + QLatin1String(name), "x");
        system.addFolder(folder + QStringLiteral("\\outil.exe20261201_100000"));
        keepNewestVersions(system, {folder + QStringLiteral("\\outil.exe")},
                           KeptVersions{kept, QStringLiteral("20261207_143015"),
                                        QDateTime(QDate(2026, 12, 7), QTime(14, 30, 15))});
        QStringList files = system.filesUnder(folder);
        for (QString& file : files)
            file = file.mid(folder.size() + 1);
        files.removeAll(QStringLiteral("outil.exe20261201_100000")); // a folder, never deleted
        files.sort(Qt::CaseInsensitive);
        left.sort(Qt::CaseInsensitive);
        QCOMPARE(files, left);
    }

    void restorePutsThePassesVersionBack() {
        History h;
        RestoreRun(*h.ws, {}, kUndone);
        const QString own = h.ws->state.RunStamp;
        QVERIFY(own != kUndone);
        QCOMPARE(h.system.contents(kTool), QByteArray("v2"));
        QCOMPARE(h.system.contents(kTool + own), QByteArray("v3"));
        QCOMPARE(h.system.contents(kTool + kUndone), QByteArray("v2"));
        QCOMPARE(h.system.contents(kNotes), QByteArray("notes"));
        QVERIFY(!h.system.exists(kNotes + own));
        QCOMPARE(
            h.ws->lists.Listécritures.entries(),
            (QStringList{"PC03              ; 100;  Void  ", "PC01              ;   0;0/2     ",
                         "PC02              ;   0;2/2     "}));
        const QString journal = TextFile::decode(
            h.system.contents(h.ws->state.RunFolder + QStringLiteral("\\Infos Déploiement.txt")));
        QVERIFY(journal.contains(QStringLiteral("\r\n\r\nRestauration de la passe ") + kUndone));
        QVERIFY(journal.contains(
            QStringLiteral("PC01;OK ;C:\\Distrib\\outil.exe;\\C$\\Outils;Version de la passe ") +
            kUndone + QStringLiteral(" remise en place, la version remplacée gardée sous ") + own +
            QStringLiteral(";C:\\Distrib\\notes.txt;\\C$\\Outils;Pas de version de la passe ") +
            kUndone + QStringLiteral(" : laissé tel quel;")));
        QVERIFY(journal.contains(QStringLiteral(
            "PC02;;C:\\Distrib\\outil.exe;\\C$\\Outils;Chemin d'accès introuvable;")));
    }

    // The pass is found by the time its stamp stands for, in either form; a pass that
    // left no version anywhere is said to have none.
    void restoreFindsThePassByItsTime_data() {
        QTest::addColumn<QString>("stamp");
        QTest::addColumn<int>("restored");
        QTest::newRow("as the pass wrote it") << kUndone << 1;
        QTest::newRow("hour with a leading zero") << "20261205_090503" << 1;
        QTest::newRow("a pass that never was") << "20261205_100000" << 0;
    }
    void restoreFindsThePassByItsTime() {
        QFETCH(QString, stamp);
        QFETCH(int, restored);
        History h;
        QCOMPARE(RestoreRun(*h.ws, {}, stamp), restored);
        QCOMPARE(h.system.contents(kTool), QByteArray(restored > 0 ? "v2" : "v3"));
        if (restored == 0) {
            QCOMPARE(h.ui.last().text, QStringLiteral("Aucune version de la passe ") + stamp);
        }
    }

    // A live version that cannot be put aside is never replaced.
    void restoreNeverLosesTheLiveVersion() {
        History h;
        h.clock.current = QDateTime(QDate(2026, 12, 7), QTime(15, 0, 0));
        h.system.failWritesTo(kTool + QStringLiteral("20261207_150000"), FileError::AccessDenied);
        RestoreRun(*h.ws, {}, kUndone);
        QCOMPARE(h.ws->state.RunStamp, QStringLiteral("20261207_150000"));
        QCOMPARE(h.system.contents(kTool), QByteArray("v3"));
        QVERIFY(h.ws->lists.L_PostesFail.entries().contains(QStringLiteral("PC01;1")));
    }
};

QTEST_GUILESS_MAIN(HistoryTest)
#include "tst_history.moc"
