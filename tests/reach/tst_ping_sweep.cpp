#include "core/TextFile.h"
#include "reach/PingSweep.h"
#include "support/FakePlatform.h"
#include <QTest>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// A saved workstation list and a pass folder: what the sweep needs.
struct Sweep : Fixture {
    Sweep() {
        start();
        ws->state.WorkstationListPath = QStringLiteral("C:\\DEPLOI\\Atelier.LPO");
        ws->state.RunFolder = QStringLiteral("C:\\Prog\\Vantrel\\p");
        system.addFolder(ws->state.RunFolder);
    }
};

} // namespace

class PingSweepTest : public QObject {
    Q_OBJECT
private slots:
    void extractBetween_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("loss");
        const char* rows[][2] = {{"perdus = 0 (perte 0%),", "0"},
                                 {"(perte 25%),", "25"},
                                 {"(loss 0%)", "####"},
                                 {"perte 0 %", "####"}};
        for (const auto& row : rows)
            QTest::newRow(row[0]) << QString::fromUtf8(row[0]) << QString::fromUtf8(row[1]);
    }
    void extractBetween() {
        QFETCH(QString, text);
        QFETCH(QString, loss);
        QCOMPARE(ExtractBetween(text, QStringLiteral("perte "), QStringLiteral("%)")), loss);
    }

    void sweepClassifiesEveryWorkstation() {
        Sweep n;
        n.system.answer(QStringLiteral("PC01"), 0);
        n.system.answer(QStringLiteral("PC02"), 25);
        n.system.pingTranscripts[QStringLiteral("PC03")] = "Request timed out.";
        PassRecords records = recordsFor({"PC01", "PC02", "pc01", "PC03"});
        QVERIFY(PingSweep(*n.ws, records));
        // One ping per workstation: pc01 is PC01 again.
        QCOMPARE(n.system.commands,
                 (QStringList{"cmd.exe /C ping PC01 > C:\\Prog\\Vantrel\\p\\ping0.txt",
                              "cmd.exe /C ping PC02 > C:\\Prog\\Vantrel\\p\\ping1.txt",
                              "cmd.exe /C ping PC03 > C:\\Prog\\Vantrel\\p\\ping3.txt"}));
        // Only a total loss of 0 % answers; a summary in another form reads "####".
        QStringList read;
        for (const WorkstationRecord& r : records) {
            read << r.loss + (r.fate == WorkstationRecord::Fate::NoAnswer ? " silent" : "");
        }
        QCOMPARE(read, (QStringList{"0", "25 silent", "", "#### silent"}));
    }

    // Entries that reach one workstation, by the address their ping reached or by one
    // name with or without its final dot, are that workstation once: each later entry
    // names the first. Addresses: "" is a name that led nowhere.
    void sweepTellsOneWorkstationUnderTwoNames_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("addresses");
        QTest::addColumn<QStringList>("sameAs"); // "" for an entry of its own
        QTest::newRow("two names, one address, then one with a final dot")
            << QStringList{"pc01", "pc02", "pc01.zone.test", "PC01.ZONE.TEST", "pc01.zone.test."}
            << QStringList{"10.0.0.11", "10.0.0.12", "10.0.0.11", "10.0.0.11", ""}
            << QStringList{"", "", "pc01", "", "pc01"}; // a duplicate, as ever, then the dot
        QTest::newRow("a final dot, its name led nowhere")
            << QStringList{"pc03.zone.test.", "PC03.zone.test", "pc03"} << QStringList{"", "", ""}
            << QStringList{"", "pc03.zone.test.", ""};
        QTest::newRow("IPv6 forms")
            << QStringList{"fd00:72::12", "fd00:72:0:0::12", "v6", "mapped", "v4", "l1", "l2", "l3"}
            << QStringList{"fd00:72::12",       "fd00:72:0:0:0:0:0:12",
                           "FD00:72::0.0.0.18", "::ffff:10.0.0.5",
                           "10.0.0.5",          "fe80::1%12",
                           "fe80:0::1%12",      "fe80::1%13"}
            << QStringList{"", "fd00:72::12", "fd00:72::12", "", "mapped", "", "l1", ""};
        QTest::newRow("addresses that differ, or are none")
            << QStringList{"a", "b", "c", "d", "e", "f", "g"}
            << QStringList{"fd00:72::12", "fd00:72::1:2", "fd00:72:0:12::", "10.0.0.256",
                           "10.0.0.256",  "1::2::3",      "1::2::3"}
            << QStringList{"", "", "", "", "", "", ""};
    }
    void sweepTellsOneWorkstationUnderTwoNames() {
        QFETCH(QStringList, names);
        QFETCH(QStringList, addresses);
        QFETCH(QStringList, sameAs);
        Sweep n;
        for (qsizetype i = 0; i < names.size(); ++i) {
            n.system.pingTranscripts[names.at(i)] = TextFile::encode(
                addresses.at(i).isEmpty()
                    ? QStringLiteral("La requête Ping n'a pas pu trouver l'hôte %1.")
                          .arg(names.at(i))
                    : reachableTranscript(names.at(i), 0, addresses.at(i)));
        }
        PassRecords records = recordsFor(names);
        QVERIFY(PingSweep(*n.ws, records));
        QStringList found;
        for (const WorkstationRecord& r : records) {
            QCOMPARE(r.fate == WorkstationRecord::Fate::SameWorkstation, !r.sameAs.isEmpty());
            found << r.sameAs;
        }
        QCOMPARE(found, sameAs);
    }

    // The sweep ends as the last transcript comes in (a silent workstation's, once the
    // wait after its last request is over), or at ten seconds for a ping program that
    // never ends, which is then ended; a stop ends it at once. Virtual time, in which
    // the sweep's waits and pauses pass at once.
    void sweepEndsWithItsLastTranscript_data() {
        QTest::addColumn<qint64>("pc02After"); // -1: its program never ends
        QTest::addColumn<QByteArray>("pc02Transcript");
        QTest::addColumn<bool>("stop");
        QTest::addColumn<qint64>("endsAt");
        QTest::addColumn<QString>("pc02Loss"); // "": not read
        const QByteArray silent = TextFile::encode(reachableTranscript("PC02", 100));
        QTest::newRow("answers in")
            << qint64(600) << QByteArray("(perte 0%),") << false << qint64(600) << "0";
        QTest::newRow("silent") << qint64(2600) << silent << false << qint64(2600) << "100";
        QTest::newRow("a name that does not resolve")
            << qint64(6000)
            << TextFile::encode(QStringLiteral("La requête Ping n'a pas pu trouver l'hôte PC02."))
            << false << qint64(6000) << "####";
        QTest::newRow("a ping program that never ends")
            << qint64(-1) << QByteArray("Envoi d'une requête 'Ping'") << false << qint64(10000)
            << "####";
        QTest::newRow("a stop") << qint64(-1) << silent << true << qint64(0) << "";
    }
    void sweepEndsWithItsLastTranscript() {
        QFETCH(qint64, pc02After);
        QFETCH(QByteArray, pc02Transcript);
        QFETCH(bool, stop);
        QFETCH(qint64, endsAt);
        QFETCH(QString, pc02Loss);
        Sweep n;
        n.system.answer(QStringLiteral("PC01"), 0);
        n.system.answer(QStringLiteral("PC03"), 0);
        n.system.pingTranscripts[QStringLiteral("PC02")] = pc02Transcript;
        n.system.pingLandsAfterMs[QStringLiteral("PC02")] = pc02After;
        n.system.onPingWait = [&] {
            if (stop) {
                n.system.terminationSignalAnswer = 15;
            }
        };
        PassRecords records = recordsFor({"PC02", "PC01", "PC03"});
        QCOMPARE(PingSweep(*n.ws, records), !stop);
        // At once: within one look for a stop after endsAt.
        QVERIFY2(n.clock.elapsed >= endsAt && n.clock.elapsed < endsAt + 50,
                 qPrintable(QString::number(n.clock.elapsed)));
        QCOMPARE(n.system.pingsFinished, 1); // a straggler is ended, not left running
        QStringList losses;
        for (const WorkstationRecord& r : records) {
            losses << r.loss;
        }
        const QStringList expected =
            stop ? QStringList{"", "", ""} : QStringList{pc02Loss, "0", "0"};
        QCOMPARE(losses, expected);
    }

    void sweepStopsAtItsLimits_data() {
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("transcriptBytes");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("swept");
        QTest::addColumn<int>("pings");
        QTest::addColumn<bool>("diskFull");
        QTest::newRow("253 characters") << QString(253, 'A') << 100 << "" << 3 << 3 << false;
        QTest::newRow("254 characters")
            << QString(254, 'A') << 100 << "Nom de poste trop long" << 0 << 0 << false;
        QTest::newRow("60000 bytes") << "PC09" << 60000 << "" << 3 << 3 << false;
        QTest::newRow("60001 bytes")
            << "PC09" << 60001 << "Fichier trop volumineux" << 1 << 3 << false;
        QTest::newRow("no transcript") << "" << 0 << "Erreur fatale" << 1 << 3 << false;
        // Answered, but its transcript could not be written: not taken as read.
        QTest::newRow("disk full") << "PC09" << 100 << "Erreur fatale" << 1 << 3 << true;
    }
    void sweepStopsAtItsLimits() {
        QFETCH(QString, host);
        QFETCH(int, transcriptBytes);
        QFETCH(QString, title);
        QFETCH(int, swept);
        QFETCH(int, pings);
        QFETCH(bool, diskFull);
        Sweep n;
        if (diskFull) {
            n.system.failWritesTo(PingOutputFile(*n.ws, 1), FileError::DiskFull);
        }
        n.system.answer(QStringLiteral("PC01"), 0);
        n.system.answer(QStringLiteral("PC02"), 0);
        const QString name = host.isEmpty() ? QStringLiteral("MUET") : host;
        if (!host.isEmpty()) {
            QByteArray transcript = TextFile::encode(reachableTranscript(host));
            transcript.append(
                QByteArray(std::max<qsizetype>(0, transcriptBytes - transcript.size()), ' '));
            n.system.pingTranscripts[host] = transcript;
        }
        PassRecords records = recordsFor({"PC01", name, "PC02"});
        QCOMPARE(PingSweep(*n.ws, records), title.isEmpty());
        QCOMPARE(std::count_if(records.begin(), records.end(), [](auto& r) { return r.swept; }),
                 swept);
        QCOMPARE(n.system.commands.size(), pings);
        QCOMPARE(n.ui.titles(), title.isEmpty() ? QStringList() : QStringList{title});
    }
};

QTEST_GUILESS_MAIN(PingSweepTest)
#include "tst_ping_sweep.moc"
