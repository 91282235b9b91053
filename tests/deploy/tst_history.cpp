#include "core/TextFile.h"
#include "deploy/HistoryListing.h"
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
// Beside outil.exe at 14:30:15: names that are no version of it, a version from the
// future, the one this pass made; and older versions, newest first.
const QStringList kBeside{"outil.exe",
                          "outil.exe.bak",
                          "outil.exe20261207_143015x",
                          "outil.exe2",
                          "outil.exe20270101_120000",
                          "outil.exe20261207_143015"};
const QStringList kOlder{"outil.exe20261207_100503", "OUTIL.EXE20261207_90503",
                         "outil.exe20261206_235959"};

// PC01 holds outil.exe (v3) with the v2 that pass kUndone replaced, and notes.txt that
// the pass made; PC02 has no Outils folder; PC03 does not answer; pc01.zone.test is
// PC01 under another name.
struct History : Fixture {
    History() {
        start();
        ws->state.WorkstationListPath = QStringLiteral("C:\\DEPLOI\\Atelier.LPO");
        ws->state.RuleFilePath = QStringLiteral("C:\\DEPLOI\\Atelier.Rgl");
        ws->lists.ListePostes.assign({"PC01", "PC02", "PC03", "pc01.zone.test"});
        system.otherNames[QStringLiteral("pc01.zone.test")] = QStringLiteral("PC01");
        ws->lists.ListeSource.assign({"C:\\Distrib\\outil.exe", "C:\\Distrib\\notes.txt"});
        ws->lists.ListeDest.assign({"\\C$\\Outils", "\\C$\\Outils"});
        system.addFile(kTool, "v3");
        system.addFile(kTool + kUndone, "v2");
        system.addFile(kNotes, "notes");
        system.addFolder(QStringLiteral("\\\\PC02\\C$"));
        for (const QString& host : {QStringLiteral("PC01"), QStringLiteral("pc01.zone.test")})
            system.pingTranscripts[host] =
                TextFile::encode(reachableTranscript(host, 0, QStringLiteral("10.0.0.11")));
        system.pingTranscripts[QStringLiteral("PC02")] =
            TextFile::encode(reachableTranscript(QStringLiteral("PC02")));
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
        const struct {
            const char *name, *stamp, *time;
        } rows[] = {
            {"afternoon", "20261207_143015", "2026-12-07T14:30:15"},
            {"before ten: five digits", "20261207_90503", "2026-12-07T09:05:03"},
            {"midnight", "20261207_00000", "2026-12-07T00:00:00"},
            {"skipped at a clock change, a stamp all the same", "20260329_23001",
             "2026-03-29T02:30:01"},
            {"seven digits", "20261207_1430150", ""},
            {"four digits", "20261207_9050", ""},
            {"no such month", "20261307_143015", ""},
            {"no such hour", "20261207_253015", ""},
            {"letters", "2026120a_143015", ""},
            {"trailing text", "20261207_143015.old", ""},
        };
        for (const auto& r : rows)
            QTest::newRow(r.name) << QString::fromLatin1(r.stamp) << QString::fromLatin1(r.time);
    }
    void stampForms() {
        QFETCH(QString, stamp);
        QFETCH(QString, time);
        QCOMPARE(isRunStamp(stamp), !time.isEmpty());
        if (!time.isEmpty())
            QCOMPARE(stampWallTime(stamp), QDateTime::fromString(time + u'Z', Qt::ISODate));
    }

    // Only names that are the target's followed by a stamp are its versions; they
    // compare by the time they stand for, not as text. The pass (14:30:15) keeps the
    // version it has just made, and one from the future stays without taking a place.
    void keepingTheNewestVersions_data() {
        QTest::addColumn<int>("kept");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("two") << 2 << kBeside + kOlder.mid(0, 1);
        QTest::newRow("one") << 1 << kBeside;
        QTest::newRow("more than there are") << 9 << kBeside + kOlder;
    }
    void keepingTheNewestVersions() {
        QFETCH(int, kept);
        QFETCH(QStringList, left);
        FakeSystem system;
        const QString folder = QStringLiteral("\\\\PC01\\C$");
        system.addFolder(folder);
        for (const QString& name : kBeside + kOlder)
            system.addFile(folder + QLatin1Char('\\') + name, "x");
        system.addFolder(folder + QStringLiteral("\\outil.exe20261201_100000"));
        keepNewestVersions(system, {folder + QStringLiteral("\\outil.exe")},
                           KeptVersions{kept,
                                        QStringLiteral("20261207_143015"),
                                        QDateTime(QDate(2026, 12, 7), QTime(14, 30, 15)),
                                        {}});
        QStringList files = system.filesUnder(folder);
        for (QString& file : files)
            file = file.mid(folder.size() + 1);
        files.removeAll(QStringLiteral("outil.exe20261201_100000")); // a folder, never deleted
        files.sort(Qt::CaseInsensitive);
        left.sort(Qt::CaseInsensitive);
        QCOMPARE(files, left);
    }

    // Europe/Paris. Autumn: a pass at 02:20 summer time (00:20 UTC) put v0 aside, one at
    // 02:10 winter time (01:10 UTC) v1, this one at 02:15 winter time v2: the older
    // wall time is the newer version. Spring: 02:30 never happened; it ranks at the
    // change, between 01:59 and 03:05.
    void retentionAcrossClockChanges_data() {
        // The earlier passes' folders, stamp@UTC time each was last written; the last
        // version is this pass's, whose folder the program folder holds.
        QTest::addColumn<QStringList>("passFolders");
        QTest::addColumn<QStringList>("versions");
        QTest::addColumn<QString>("now"); // UTC
        QTest::addColumn<int>("kept");
        QTest::addColumn<QStringList>("left");
        const QStringList autumn{"20261025_22000", "20261025_21002", "20261025_21500"};
        QTest::newRow("autumn, the pass folders tell the order")
            << QStringList{"20261025_22000@2026-10-25T00:20:12",
                           "20261025_21002@2026-10-25T01:10:14"}
            << autumn << "2026-10-25T01:15:00" << 2
            << QStringList{"20261025_21002", "20261025_21500"};
        QTest::newRow("autumn, nothing tells: nothing deleted")
            << QStringList{} << autumn << "2026-10-25T01:15:00" << 1 << autumn;
        QTest::newRow("autumn, a folder written before either instant tells nothing")
            << QStringList{"20261025_22000@2026-10-24T10:00:00",
                           "20261025_21002@2026-10-25T01:10:14"}
            << autumn << "2026-10-25T01:15:00" << 1
            << QStringList{"20261025_22000", "20261025_21500"};
        const QStringList spring{"20260329_15900", "20260329_23001", "20260329_30500",
                                 "20260329_31000"};
        QTest::newRow("spring, keep three")
            << QStringList{} << spring << "2026-03-29T01:10:00" << 3 << spring.mid(1);
        QTest::newRow("spring, keep two")
            << QStringList{} << spring << "2026-03-29T01:10:00" << 2 << spring.mid(2);
    }
    void retentionAcrossClockChanges() {
        QFETCH(QStringList, passFolders);
        QFETCH(QStringList, versions);
        QFETCH(QString, now);
        QFETCH(int, kept);
        QFETCH(QStringList, left);
        const QString folder = QStringLiteral("\\\\PC01\\C$");
        const QString target = folder + QStringLiteral("\\outil.exe");
        FakeSystem system;
        system.addFolder(folder);
        for (const QString& stamp : versions)
            system.addFile(target + stamp, "x");
        std::vector<FolderEntry> programFolder;
        for (const QString& pass : passFolders)
            programFolder.push_back(
                {pass.section(u'@', 0, 0), 0, true,
                 QDateTime::fromString(pass.section(u'@', 1) + u'Z', Qt::ISODate)});
        const QTimeZone paris("Europe/Paris");
        const QDateTime clock = QDateTime::fromString(now + u'Z', Qt::ISODate).toTimeZone(paris);
        programFolder.push_back({versions.last(), 0, true, clock.addSecs(5)}); // this pass's
        keepNewestVersions(
            system, {target},
            KeptVersions{kept, versions.last(), clock, StampOrder(paris, programFolder)});
        QStringList files = system.filesUnder(folder);
        for (QString& file : files)
            file = file.mid(target.size());
        files.sort();
        left.sort();
        QCOMPARE(files, left);
    }

    // The listing ranks by instant and says which versions it had to place otherwise.
    void listingAcrossTheAutumnChange() {
        History h;
        const QTimeZone paris("Europe/Paris");
        const auto at = [&](const char* utc) {
            return QDateTime::fromString(QLatin1String(utc), Qt::ISODate).toTimeZone(paris);
        };
        h.clock.current = at("2026-10-25T00:20:12Z");
        h.system.addFolder(h.state().ProgramDir + QStringLiteral("20261025_22000"));
        h.clock.current = at("2026-10-25T01:10:14Z");
        h.system.addFolder(h.state().ProgramDir + QStringLiteral("20261025_21002"));
        for (const char* stamp : {"20261025_22000", "20261025_21002", "20261025_21800"})
            h.system.addFile(kTool + QLatin1String(stamp), "v");
        h.clock.current = at("2026-10-25T03:00:00Z");
        QStringList lines;
        QVERIFY(ListHistory(*h.ws, {}, lines));
        const QString prefix = QStringLiteral("PC01;") + kTool + u';';
        const int first = lines.indexOf(prefix + QStringLiteral("en place;;2"));
        QVERIFY2(first >= 0, qPrintable(lines.join(u'\n')));
        QCOMPARE(lines.mid(first + 1, 4),
                 (QStringList{prefix + kUndone + ";05/12/2026 09:05:03;2",
                              prefix + "20261025_21002;25/10/2026 02:10:02 UTC+01:00 (heure "
                                       "répétée au changement d'heure, rangée selon le dossier "
                                       "de la passe);1",
                              prefix + "20261025_22000;25/10/2026 02:20:00 UTC+02:00 (heure "
                                       "répétée au changement d'heure, rangée selon le dossier "
                                       "de la passe);1",
                              prefix + "20261025_21800;25/10/2026 02:18:00 (heure répétée au "
                                       "changement d'heure, ordre incertain : jamais supprimée "
                                       "par --garder);1"}));
    }

    // A pass begun in the first run of the repeated hour (02:20 summer time) is placed
    // by the instant it wrote into its folder, whenever that folder was last written
    // (its end after the change, a copy of the program folder); by the folder's time
    // only where that record is missing or tells no instant of that stamp.
    void passStartPlacesTheRepeatedHour_data() {
        QTest::addColumn<QString>("folderWritten"); // UTC
        QTest::addColumn<QString>("record");        // "" when there is none
        QTest::addColumn<QString>("placed");
        const QString summer = QStringLiteral(" UTC+02:00 (heure répétée au changement d'heure, "
                                              "rangée selon le dossier de la passe)");
        const QString winter =
            QString(summer).replace(QStringLiteral("+02"), QStringLiteral("+01"));
        const QString undecided = QStringLiteral(" (heure répétée au changement d'heure, ordre "
                                                 "incertain : jamais supprimée par --garder)");
        const struct {
            const char *name, *folderWritten, *record;
            const QString& placed;
        } rows[] = {
            {"ended after the change", "2026-10-25T01:25:00", "2026-10-25T00:20:12Z", summer},
            {"folder copied a week later", "2026-11-01T09:00:00", "2026-10-25T00:20:12Z", summer},
            {"begun in the second run", "2026-10-25T01:25:00", "2026-10-25T01:20:03Z", winter},
            {"no record: the folder's time", "2026-10-25T01:25:00", "", winter},
            {"no record, folder copied later", "2026-11-01T09:00:00", "", undecided},
            {"a record that is no instant", "2026-10-25T01:25:00", "hier 02:20", winter},
            {"a record without its zone", "2026-10-25T01:25:00", "2026-10-25T00:20:12", winter},
            {"another pass's instant", "2026-10-25T01:25:00", "2026-10-20T10:00:00Z", winter},
        };
        for (const auto& r : rows)
            QTest::newRow(r.name) << QString::fromLatin1(r.folderWritten)
                                  << QString::fromLatin1(r.record) << r.placed;
    }
    void passStartPlacesTheRepeatedHour() {
        QFETCH(QString, folderWritten);
        QFETCH(QString, record);
        QFETCH(QString, placed);
        History h;
        const QTimeZone paris("Europe/Paris");
        const QString stamp = QStringLiteral("20261025_22000");
        const QString passFolder = h.state().ProgramDir + stamp;
        h.clock.current =
            QDateTime::fromString(folderWritten + u'Z', Qt::ISODate).toTimeZone(paris);
        h.system.addFolder(passFolder);
        if (!record.isEmpty())
            h.system.addTextFile(passFolder + QStringLiteral("\\Début UTC.txt"), record + "\r\n");
        h.system.addFile(kTool + stamp, "v");
        h.clock.current = QDateTime::fromString(QStringLiteral("2026-11-02T10:00:00Z"), Qt::ISODate)
                              .toTimeZone(paris);
        QStringList lines;
        QVERIFY(ListHistory(*h.ws, {}, lines));
        const QString line = QStringLiteral("PC01;") + kTool + u';' + stamp +
                             QStringLiteral(";25/10/2026 02:20:00") + placed + QStringLiteral(";1");
        QVERIFY2(lines.contains(line), qPrintable(lines.join(u'\n')));
        QCOMPARE(lines.last(), QString::fromUtf8("pc01.zone.test;même poste que PC01"));
        // The listing's own pass recorded its folder's making, in UTC.
        QCOMPARE(h.system.contents(h.ws->state.RunFolder + QStringLiteral("\\Début UTC.txt")),
                 QByteArray("2026-11-02T10:00:00Z\r\n"));
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
                         "PC02              ;   0;2/2     ",
                         QString::fromUtf8("pc01.zone.test    ;   0;même poste que PC01")}));
        const QString journal = TextFile::decode(
            h.system.contents(h.ws->state.RunFolder + QStringLiteral("\\Infos Déploiement.txt")));
        QVERIFY(journal.contains(QStringLiteral("\r\n\r\nRestauration de la passe ") + kUndone));
        QVERIFY(journal.contains(
            QStringLiteral("PC01;OK ;C:\\Distrib\\outil.exe;\\C$\\Outils;Version de la passe ") +
            kUndone + QStringLiteral(" remise en place depuis outil.exe") + kUndone +
            QStringLiteral(", la version remplacée gardée sous ") + own +
            QStringLiteral(";C:\\Distrib\\notes.txt;\\C$\\Outils;Pas de version de la passe ") +
            kUndone + QStringLiteral(" : laissé tel quel;")));
        QVERIFY(journal.contains(QStringLiteral(
            "PC02;;C:\\Distrib\\outil.exe;\\C$\\Outils;Chemin d'accès introuvable;")));
    }

    // The pass is found by the time its stamp stands for, in either form, the name as
    // given first when a workstation holds both; a pass that left no version anywhere
    // is said to have none.
    void restoreFindsThePassByItsTime_data() {
        QTest::addColumn<QString>("stamp");
        QTest::addColumn<bool>("bothForms"); // outil.exe20261205_090503 holds "B" too
        QTest::addColumn<QByteArray>("live");
        QTest::newRow("as the pass wrote it") << kUndone << false << QByteArray("v2");
        QTest::newRow("hour with a leading zero") << "20261205_090503" << false << QByteArray("v2");
        QTest::newRow("both forms held, asked with a zero")
            << "20261205_090503" << true << QByteArray("B");
        QTest::newRow("both forms held, asked without") << kUndone << true << QByteArray("v2");
        QTest::newRow("a pass that never was") << "20261205_100000" << false << QByteArray("v3");
        QTest::newRow("a wall time skipped here") << "20260329_23001" << false << QByteArray("v2");
    }
    void restoreFindsThePassByItsTime() {
        QFETCH(QString, stamp);
        QFETCH(bool, bothForms);
        QFETCH(QByteArray, live);
        History h;
        h.clock.current = QDateTime(QDate(2026, 12, 7), QTime(15, 0, 0), QTimeZone("Europe/Paris"));
        h.system.addFile(kTool + QStringLiteral("20260329_23001"), "v2");
        if (bothForms)
            h.system.addFile(kTool + QStringLiteral("20261205_090503"), "B");
        const int restored = RestoreRun(*h.ws, {}, stamp);
        QCOMPARE(restored, live == "v3" ? 0 : 1);
        QCOMPARE(h.system.contents(kTool), live);
        if (restored == 0) {
            QVERIFY2(h.ui.last().text.startsWith(QStringLiteral("Aucune version de la passe ") +
                                                 stamp + QStringLiteral(" sur les postes")),
                     qPrintable(h.ui.last().text));
            QVERIFY(!h.ui.texts().join(u'|').contains(QStringLiteral("parfait")));
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
