#include "core/Text.h"
#include "core/TextFile.h"
#include "core/WorkstationRecord.h"
#include "deploy/DeploymentRun.h"
#include "deploy/Journal.h"
#include "deploy/LaunchChecks.h"
#include "deploy/PreviewRun.h"
#include "platform/FileError.h"
#include "support/FakePlatform.h"
#include <QCryptographicHash>
#include <QTest>

using namespace vantrel;
using namespace vantrel::test;

namespace {

const QString kOldTool = QStringLiteral("\\\\PC01\\C$\\Outils\\outil.exe");

QString sha256(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

// Three workstations: PC01 answers and has an older outil.exe, PC02 answers but
// lacks the destination folder, PC03 does not answer.
struct Network : Fixture {
    Network() {
        start();
        ws->state.WorkstationListPath = QStringLiteral("C:\\DEPLOI\\Atelier.LPO");
        ws->state.RuleFilePath = QStringLiteral("C:\\DEPLOI\\Atelier.Rgl");
        ws->lists.ListePostes.assign({"PC01", "PC02", "PC03"});
        ws->lists.ListeSource.assign({"C:\\Distrib\\outil.exe", "C:\\Distrib\\outil.ini"});
        ws->lists.ListeDest.assign({"\\C$\\Outils", "\\C$\\Outils"});
        // At rest: a source written in the last second is taken a second later.
        system.addFile(QStringLiteral("C:\\Distrib\\outil.exe"), "v2",
                       clock.current.addSecs(-3600));
        system.addFile(QStringLiteral("C:\\Distrib\\outil.ini"), "ini",
                       clock.current.addSecs(-3600));
        system.addFile(kOldTool, "v1");
        system.addFolder(QStringLiteral("\\\\PC02\\C$"));
        answer(QStringLiteral("PC01"), 0);
        answer(QStringLiteral("PC02"), 0);
        answer(QStringLiteral("PC03"), 100);
    }
    void answer(const QString& host, int loss, const QString& address = QString()) {
        system.pingTranscripts[host] = TextFile::encode(reachableTranscript(host, loss, address));
    }
    // Delivers the retry timer's ticks as the window would, until it stops.
    int runRetryCycle() {
        int ticks = 0;
        while (ws->TimerRécursif.isEnabled() && ticks < 20) {
            clock.advance(ws->TimerRécursif.msUntilDue());
            deliverRetryTick(*ws, {});
            ++ticks;
        }
        return ticks;
    }
    QStringList previewed; // what a preview said
    QString journal() const {
        return TextFile::decode(
            system.contents(ws->state.RunFolder + QStringLiteral("\\Infos Déploiement.txt")));
    }
};

} // namespace

class PassTest : public QObject {
    Q_OBJECT
private slots:
    void wholePass() {
        Network n;
        Workspace& ws = *n.ws;
        n.ui.answers = {Answer::Yes}; // launch, then keep the journal closed
        n.ui.defaultAnswer = Answer::No;
        QCOMPARE(Télédéploiement_Click(ws, {}), LaunchOutcome::Started);
        const QString stamp = QStringLiteral("20261206_143015");
        QCOMPARE(ws.state.RunStamp, stamp);
        QCOMPARE(ws.state.RunFolder, QStringLiteral("C:\\Prog\\Vantrel\\") + stamp);
        QVERIFY(ws.state.unsavedResults);     // its rows, until the deployment is saved
        QCOMPARE(n.clock.pausedSeconds, 0.0); // every transcript in at once: no wait

        QCOMPARE(n.system.contents(kOldTool + stamp), QByteArray("v1"));
        QCOMPARE(n.system.contents(kOldTool), QByteArray("v2"));
        QCOMPARE(n.system.contents(QStringLiteral("\\\\PC01\\C$\\Outils\\outil.ini")), "ini");
        QVERIFY(n.system.filesUnder(QStringLiteral("\\\\PC02")).isEmpty());

        // outil.exe replaced an older one; outil.ini is new and its text replaces the first ";".
        const QString pc01 = QStringLiteral("PC01;OK Nouveau fichier PC01 \\C$\\Outils;");
        // Nothing was created on PC02: both reasons stay, in rule order.
        const QString pc02 =
            QStringLiteral("PC02;;C:\\Distrib\\outil.exe;\\C$\\Outils;Chemin d'accès "
                           "introuvable;;C:\\Distrib\\outil.ini;\\C$\\Outils;Chemin d'accès "
                           "introuvable;");
        QCOMPARE(ws.lists.L_PostesFail.entries(),
                 (QStringList{"PC03;PingFail", "PC01;0", "PC02;2"}));
        QCOMPARE(ws.lists.L_PostesOk.entries(), QStringList{pc01});
        QCOMPARE(ws.lists.L_GénéErreurs.entries(), (QStringList{"PC03;PingFail", pc02}));
        QCOMPARE(ws.lists.ListeGénérale.entries(),
                 (QStringList{"PC01;Ping Ok", "PC02;Ping Ok", "PC03;PingFail", pc01, pc02}));
        QCOMPARE(
            ws.lists.Listécritures.entries(),
            (QStringList{"PC03              ; 100;  Void  ", "PC01              ;   0;0/2     ",
                         "PC02              ;   0;2/2     "}));

        const QStringList expected{
            QString(32, '*'),
            "*       Logiciel Van_trel      *",
            QString(32, '*'),
            "",
            QString::fromUtf8("Début déploiement le: 06/12/2026 à 14h  30mn"),
            QString::fromUtf8("Fin du déploiement le: 06/12/2026 à 14h  30mn"),
            QString::fromUtf8("Ce déploiement comporte  2 erreurs listées ci-dessous"),
            QString(83, '*'),
            "PC03;PingFail",
            pc02,
            QString(83, '*'),
            "Listes des  3 postes",
            "PC01",
            "PC02",
            "PC03",
            QString(83, '*'),
            "Liste des  2 sources et destinations",
            "C:\\Distrib\\",
            "outil" + QString(25, ' ') + QString(12, ' ') + "\\C$\\Outils",
            "outil" + QString(25, ' ') + QString(12, ' ') + "\\C$\\Outils",
            QString(83, '*'),
            QString::fromUtf8("Sources déployées : taille en octets et empreinte SHA-256"),
            "C:\\Distrib\\outil.exe;2;" + sha256("v2"),
            "C:\\Distrib\\outil.ini;3;" + sha256("ini"),
            QString(83, '*'),
            QString::fromUtf8("Listes des  1 postes mis à jour"),
            pc01,
            QString(83, '*')};
        QCOMPARE(n.system.contents(ws.state.RunFolder + QStringLiteral("\\Infos Déploiement.txt")),
                 crlf(expected));
        QCOMPARE(n.ui.last().title,
                 QString::fromUtf8("Fin du déploiement le: 06/12/2026 à 14h  30mn"));
        QCOMPARE(n.ui.last().text,
                 QStringLiteral("Ce déploiement comporte  2 erreurs\r\n\r\nVous pouvez les "
                                "afficher par le menu 'Listes' 'Erreurs'\r\n ou consulter le "
                                "journal du déploiement\r\nOuvrir le journal?"));
        QVERIFY(!n.system.commands.last().startsWith(QStringLiteral("notepad")));
        QVERIFY(ws.TimerRécursif.isEnabled());
        QCOMPARE(n.runRetryCycle(), 1); // Récursif unticked: the tick ends the cycle
    }

    void retryCycleMakesNbessaisRetries() {
        Network n;
        Workspace& ws = *n.ws;
        ws.controls.setRécursif(1);
        ws.controls.setDélai(QStringLiteral("30"));
        QStringList folders;
        QObject::connect(&ws, &Workspace::passFinished,
                         [&folders, &ws] { folders.append(ws.state.RunFolder); });
        Télédéploiement_Click(ws, {});
        n.runRetryCycle();
        QCOMPARE(folders.size(), 3);
        QCOMPARE(folders.removeDuplicates(), 0);
        QCOMPARE(ws.controls.Tentative(), QStringLiteral("2"));
        QCOMPARE(ws.controls.récursifBackColour(), DeploymentControls::kRetriedGreen);
        QVERIFY(
            n.journal().contains(QString::fromUtf8("Ce déploiement comportait 2essais séparés de "
                                                   "30mn;  2 tentatives ont été effectuées")));
        // Only the last pass asks about the journal.
        QCOMPARE(n.ui.titles().filter(QStringLiteral("Fin du déploiement")).size(), 1);
        QVERIFY(n.ui.last().text.startsWith(QStringLiteral("Après 2 tentatives ce déploiement "
                                                           "comporte  2 erreurs\r\n")));
        QCOMPARE(n.system.commands.last(), QStringLiteral("notepad.exe ") + ws.state.RunFolder +
                                               QStringLiteral("\\Infos Déploiement.txt"));
        // Each retry comes Délai minutes after the start of the previous pass; the tick
        // after the last one ends the cycle.
        QCOMPARE(n.clock.elapsed, 3 * 30 * 60000);
    }

    void pingOnlyCycleEndsWhenEveryoneAnswers() {
        Network n;
        Workspace& ws = *n.ws;
        ws.lists.ListeSource.clear();
        ws.lists.ListeDest.clear();
        ws.controls.setRécursif(1);
        ws.controls.setNbessais(QStringLiteral("5"));
        Télédéploiement_Click(ws, {});
        QCOMPARE(n.ui.titles(), (QStringList{"Seul le 'Ping' sera effectué",
                                             "Valider Date et Heure du déploiement"}));
        QCOMPARE(ws.lists.L_PostesFail.entries(), QStringList{"PC03;PingFail"});
        n.answer(QStringLiteral("PC03"), 0); // by the retry
        n.runRetryCycle();
        QCOMPARE(ws.controls.Tentative(), QStringLiteral("1"));
        QCOMPARE(ws.lists.L_PostesenCours.entries(), QStringList{"PC03"});
        QVERIFY(ws.lists.L_PostesFail.isEmpty());
        QVERIFY(!ws.TimerRécursif.isEnabled());
    }

    // A retry serves only the workstations with an error in the cycle (PC02 has no
    // folder, PC03 does not answer, pc01 is PC01 again, pc01.zone.test leads nowhere,
    // then to PC01, already served); the cycle ends once none is left. PC01, served
    // once, keeps one backup whatever comes after. The board ends with every
    // workstation of the list and its latest outcome.
    void retryServesTheFailed_data() {
        QTest::addColumn<QString>("fixedAfterFirstPass");
        QTest::addColumn<QStringList>("secondRetry"); // empty: the cycle has ended
        // Blanks left out, then the lights (vert, rouge, mixte).
        QTest::addColumn<QStringList>("rows");
        const QString other = QString::fromUtf8("pc01.zone.test;0;mêmepostequePC01 v");
        QTest::newRow("nothing fixed")
            << "" << QStringList{"PC02", "PC03"}
            << QStringList{"PC03;100;Void rr", "PC01;0;0/2 vv", "PC02;0;2/2 vr", other};
        QTest::newRow("PC02 given its folder")
            << "PC02" << QStringList{"PC03"}
            << QStringList{"PC03;100;Void rr", "PC01;0;0/2 vv", "PC02;0;0/2 vv", other};
        QTest::newRow("both fixed")
            << "PC02 PC03" << QStringList{}
            << QStringList{"PC01;0;0/2 vv", "PC02;0;0/2 vv", "PC03;0;0/2 vv", other};
    }
    void retryServesTheFailed() {
        QFETCH(QString, fixedAfterFirstPass);
        QFETCH(QStringList, secondRetry);
        QFETCH(QStringList, rows);
        Network n;
        Workspace& ws = *n.ws;
        const QString other = QStringLiteral("pc01.zone.test");
        ws.lists.ListePostes.assign({"PC01", "PC02", "pc01", "PC03", other});
        n.system.otherNames[other] = QStringLiteral("PC01");
        n.answer(QStringLiteral("PC01"), 0, QStringLiteral("10.0.0.11"));
        n.system.pingTranscripts[other] = "La requete Ping n'a pas pu trouver l'hote.";
        ws.controls.setRécursif(1);
        ws.controls.setNbessais(QStringLiteral("2"));
        ws.controls.setDélai(QStringLiteral("1"));
        Télédéploiement_Click(ws, {});
        n.answer(other, 0, QStringLiteral("10.0.0.11"));
        if (fixedAfterFirstPass.contains(QLatin1String("PC02")))
            n.system.addFolder(QStringLiteral("\\\\PC02\\C$\\Outils"));
        if (fixedAfterFirstPass.contains(QLatin1String("PC03"))) {
            n.system.addFolder(QStringLiteral("\\\\PC03\\C$\\Outils"));
            n.answer(QStringLiteral("PC03"), 0);
        }
        QStringList served;
        for (int retry = 1; retry <= 2 && ws.TimerRécursif.isEnabled(); ++retry) {
            n.clock.advance(ws.TimerRécursif.msUntilDue());
            deliverRetryTick(ws, {});
            served.append(QString::number(retry) + u':' +
                          ws.lists.L_PostesenCours.entries().join(u','));
        }
        QStringList expected{"1:PC02,PC03,pc01.zone.test"};
        if (!secondRetry.isEmpty())
            expected.append(QStringLiteral("2:") + secondRetry.join(u','));
        QCOMPARE(served, expected);
        QCOMPARE(n.system.filesUnder(QStringLiteral("\\\\PC01"))
                     .filter(QStringLiteral("outil.exe2"))
                     .size(),
                 1);
        QVERIFY(ws.lists.L_PostesOk.count() <= 3);
        QStringList board;
        for (const BoardRow& row : ws.board())
            board << QString(row.text).remove(u' ') + u' ' + row.pingLight.mid(4, 1) +
                         row.deploymentLight.mid(4, 1);
        QCOMPARE(board, rows);
        QCOMPARE(ws.lists.Listécritures.entries(), rowTexts(ws.board()));
        // PC01, served in the first pass, keeps its details after the retries.
        const auto pc01 = std::find_if(ws.board().begin(), ws.board().end(), [](const BoardRow& r) {
            return r.name().startsWith(u"PC01");
        });
        QCOMPARE(pc01->detail.size(), 2);
        QVERIFY(pc01->detail.last().startsWith(QStringLiteral("PC01;OK ")));
        QCOMPARE(errorCount(ws.cycleRecords), static_cast<int>(secondRetry.size()));
    }

    // A workstation is left out only when the same one, whatever the case of its
    // name, already has its result in the pass, or when another name (otherNames:
    // "NAME=FIRST") led the ping to it: it is served once, four workers or not, and its
    // other names' rows and journal lines say so. A name of any length keeps its text.
    void workstationsAreToldApartByName_data() {
        QTest::addColumn<QStringList>("hosts");
        QTest::addColumn<QStringList>("otherNames");
        QTest::addColumn<QStringList>("silent");
        QTest::addColumn<QStringList>("results");
        QTest::addColumn<QStringList>("rows");
        const QString pad(14, ' ');
        QTest::newRow("one workstation under two names")
            << QStringList{"PC05", "PC06", "pc05.zone.test", "alias05"}
            << QStringList{"pc05.zone.test=PC05", "alias05=PC05"} << QStringList{}
            << QStringList{"PC05;0", "PC06;0"}
            << QStringList{"PC05" + pad + ";   0;0/2     ", "PC06" + pad + ";   0;0/2     ",
                           "pc05.zone.test    ;   0;même poste que PC05",
                           "alias05           ;   0;même poste que PC05"};
        QTest::newRow("a silent workstation under two names")
            << QStringList{"PC07", "pc07.zone.test"} << QStringList{"pc07.zone.test=PC07"}
            << QStringList{"PC07", "pc07.zone.test"} << QStringList{"PC07;PingFail"}
            << QStringList{"PC07" + pad + "; 100;  Void  ",
                           "pc07.zone.test    ; 100;même poste que PC07"};
        QTest::newRow("a name that begins the one before")
            << QStringList{"PC10", "PC1"} << QStringList{} << QStringList{}
            << QStringList{"PC10;0", "PC1;0"}
            << QStringList{"PC10" + pad + ";   0;0/2     ", "PC1 " + pad + ";   0;0/2     "};
        QTest::newRow("a name that begins one that did not answer")
            << QStringList{"PC10", "PC1"} << QStringList{} << QStringList{"PC10"}
            << QStringList{"PC10;PingFail", "PC1;0"}
            << QStringList{"PC10" + pad + "; 100;  Void  ", "PC1 " + pad + ";   0;0/2     "};
        QTest::newRow("one workstation in three cases")
            << QStringList{"PC07", "pc07", "Pc07"} << QStringList{} << QStringList{}
            << QStringList{"PC07;0"} << QStringList{"PC07" + pad + ";   0;0/2     "};
        QTest::newRow("long and qualified names")
            << QStringList{"POSTE-TROP-LONG-0019", "poste12.atelier.exemple.fr", "P"}
            << QStringList{} << QStringList{"P"}
            << QStringList{"P;PingFail", "POSTE-TROP-LONG-0019;0", "poste12.atelier.exemple.fr;0"}
            << QStringList{"P" + QString(17, ' ') + "; 100;  Void  ",
                           "POSTE-TROP-LONG-0019;   0;0/2     ",
                           "poste12.atelier.exemple.fr;   0;0/2     "};
    }
    void workstationsAreToldApartByName() {
        QFETCH(QStringList, hosts);
        QFETCH(QStringList, otherNames);
        QFETCH(QStringList, silent);
        QFETCH(QStringList, results);
        QFETCH(QStringList, rows);
        Network n;
        n.ws->lists.ListePostes.assign(hosts);
        for (const QString& host : hosts) {
            const QString first = otherNames.filter(host + '=').value(0).section('=', 1);
            // Its ping reaches the first name's address; its paths, the first's files.
            const QString address = QStringLiteral("10.9.0.%1").arg(hosts.indexOf(first));
            n.system.pingTranscripts[host] = TextFile::encode(reachableTranscript(
                host, silent.contains(host) ? 100 : 0, first.isEmpty() ? QString() : address));
            if (first.isEmpty()) {
                n.system.addFolder(QStringLiteral("\\\\%1\\C$\\Outils").arg(host));
            } else {
                n.system.otherNames[host.toLower()] = first;
                n.system.pingTranscripts[first] = TextFile::encode(
                    reachableTranscript(first, silent.contains(first) ? 100 : 0, address));
            }
        }
        n.ui.defaultAnswer = Answer::No;
        startDeployment(*n.ws, PassSettings{4, 0, false});
        QCOMPARE(n.lists().L_PostesFail.entries(), results);
        QCOMPARE(n.lists().Listécritures.entries(), rows);
        for (const QString& line : results.filter(QStringLiteral(";0"))) {
            const QString host = line.section(';', 0, 0);
            QCOMPARE(n.system.filesUnder(QStringLiteral("\\\\") + host).size(), 2);
        }
        const QString journal = n.journal();
        QVERIFY(
            journal.contains(results.last().section(QLatin1Char(';'), 0, 0) + QLatin1Char(';')));
        for (const QString& row : rows.filter(QStringLiteral("même poste que"))) {
            QVERIFY(journal.contains(row.section(' ', 0, 0) + ";" + row.section(';', 2)));
        }
        // Counted once, and not as an error.
        const QStringList counts = n.ui.progress.filter(QStringLiteral("Postes servis"));
        QVERIFY2(counts.last().startsWith(QStringLiteral("Postes servis : %1/%2, 0 en erreur")
                                              .arg(results.filter(";0").size())
                                              .arg(results.size())),
                 qPrintable(counts.last()));
        QCOMPARE(errorCount(n.ws->cycleRecords), silent.isEmpty() ? 0 : 1);
    }

    // The line of a workstation keeps every failed rule's reason, in rule order, and
    // "Nouveau fichier" names only a file the pass created.
    void resultLineKeepsEveryReason_data() {
        QTest::addColumn<QStringList>("sources");
        QTest::addColumn<QString>("line");
        const QString refused = describe(FileError::AccessDenied);
        QTest::newRow("refused, then new")
            << QStringList{"a.txt", "b.txt"}
            << "PC01;Nouveau fichier PC01 \\PARTAGE;C:\\a.txt;\\LECTURE;" + refused + ";";
        QTest::newRow("new, then refused")
            << QStringList{"b.txt", "a.txt"}
            << "PC01;Nouveau fichier PC01 \\PARTAGE;;C:\\a.txt;\\LECTURE;" + refused + ";";
        QTest::newRow("refused twice")
            << QStringList{"a.txt", "c.txt"}
            << "PC01;;C:\\a.txt;\\LECTURE;" + refused + ";;C:\\c.txt;\\LECTURE;" + refused + ";";
    }
    void resultLineKeepsEveryReason() {
        QFETCH(QStringList, sources);
        QFETCH(QString, line);
        Network n;
        Workspace& ws = *n.ws;
        ws.lists.ListePostes.assign({"PC01"});
        QStringList paths;
        QStringList destinations;
        for (const QString& source : sources) {
            paths << QStringLiteral("C:\\") + source;
            destinations << (source == QLatin1String("b.txt") ? QStringLiteral("\\PARTAGE")
                                                              : QStringLiteral("\\LECTURE"));
            n.system.addFile(paths.last(), "x");
            if (source != QLatin1String("b.txt")) {
                n.system.failCopiesFrom(paths.last(), FileError::AccessDenied);
            }
        }
        ws.lists.ListeSource.assign(paths);
        ws.lists.ListeDest.assign(destinations);
        n.system.addFolder(QStringLiteral("\\\\PC01\\PARTAGE"));
        n.system.addFolder(QStringLiteral("\\\\PC01\\LECTURE"));
        n.ui.defaultAnswer = Answer::No;
        startDeployment(ws, {});
        QCOMPARE(ws.lists.L_GénéErreurs.entries(), QStringList{line});
        QVERIFY(n.journal().contains(line));
    }

    // Served several at a time, a pass gives what it gives one at a time: the same
    // lists, rows, journal and files, in the same order.
    void severalAtOnceGiveTheOneAtATimeResult_data() {
        QTest::addColumn<int>("workers");
        QTest::newRow("2") << 2;
        QTest::newRow("8") << 8;
        QTest::newRow("64") << 64;
    }
    void severalAtOnceGiveTheOneAtATimeResult() {
        QFETCH(int, workers);
        const auto pass = [](int simultaneous, bool preview = false) {
            auto n = std::make_unique<Network>();
            QStringList hosts{"PC10", "PC1", "PC03", "PC10", "PC02", "PC04", "PC05"};
            for (int i = 20; i < 60; ++i) {
                hosts << QStringLiteral("PC%1").arg(i);
            }
            hosts << QStringLiteral("pc20.zone.test"); // PC20 under another name
            n->system.otherNames[hosts.last()] = QStringLiteral("PC20");
            n->ws->lists.ListePostes.assign(hosts);
            for (const QString& host : hosts) {
                n->answer(host, host == QLatin1String("PC03") ? 100 : 0);
                if (host != QLatin1String("PC02")) { // no Outils there: both rules fail
                    n->system.addFolder(QStringLiteral("\\\\%1\\C$\\Outils").arg(host));
                }
            }
            n->answer(QStringLiteral("PC20"), 0, QStringLiteral("10.0.20.20"));
            n->answer(hosts.last(), 0, QStringLiteral("10.0.20.20"));
            const QString stamp = QStringLiteral("20261206_143015");
            // PC04 stops answering at its first copy; PC05's live file cannot be put aside.
            n->system.failWritesTo(QStringLiteral("\\\\PC04\\C$\\Outils\\outil.exe.vantrel-") +
                                       stamp,
                                   FileError::TimedOut);
            n->system.addFile(QStringLiteral("\\\\PC05\\C$\\Outils\\outil.exe"), "v1");
            n->system.failWritesTo(QStringLiteral("\\\\PC05\\C$\\Outils\\outil.exe") + stamp,
                                   FileError::AccessDenied);
            n->ui.defaultAnswer = Answer::No;
            const PassSettings settings{simultaneous, 0, false};
            if (preview) {
                PreviewRun(*n->ws, settings, n->previewed);
            } else {
                startDeployment(*n->ws, settings);
            }
            return n;
        };
        const auto one = pass(1);
        const auto several = pass(workers);
        const Lists& a = one->ws->lists;
        const Lists& b = several->ws->lists;
        // Skipped: the second PC10 only.
        QCOMPARE(a.L_PostesFail.entries().mid(0, 7),
                 (QStringList{"PC03;PingFail", "PC10;0", "PC1;0", "PC02;2", "PC04;2", "PC05;1",
                              "PC20;0"}));
        QCOMPARE(b.L_PostesFail.entries(), a.L_PostesFail.entries());
        QCOMPARE(b.L_PostesOk.entries(), a.L_PostesOk.entries());
        QCOMPARE(b.L_GénéErreurs.entries(), a.L_GénéErreurs.entries());
        QCOMPARE(b.ListeGénérale.entries(), a.ListeGénérale.entries());
        QCOMPARE(b.Listécritures.entries(), a.Listécritures.entries());
        QCOMPARE(several->journal(), one->journal());
        const QStringList previewed = pass(1, true)->previewed;
        QCOMPARE(pass(workers, true)->previewed, previewed);
        QCOMPARE(previewed.last(), QString::fromUtf8("pc20.zone.test;même poste que PC20"));
        for (const QString& host : QStringList{"PC10", "PC04", "PC05", "PC20", "PC59"}) {
            const QString folder = QStringLiteral("\\\\%1").arg(host);
            QCOMPARE(several->system.filesUnder(folder), one->system.filesUnder(folder));
        }
        QVERIFY(!one->system.exists(QStringLiteral("\\\\PC04\\C$\\Outils\\outil.ini")));
    }

    // Every workstation gets the same bytes, a whole version of the source: one
    // written a moment ago is read once it rests, one rewritten while it is read is
    // read again, one that never rests is refused on every workstation, and one
    // rewritten once the workstations are being served reaches none of them.
    void sourceIsTakenOnceWhole_data() {
        QTest::addColumn<bool>("justWritten");
        QTest::addColumn<int>("rewrites"); // while the pass copies it
        QTest::addColumn<bool>("rewrittenWhileServing");
        QTest::addColumn<QByteArray>("deployed");
        QTest::addColumn<double>("waited");
        QTest::newRow("at rest") << false << 0 << false << QByteArray("v2") << 0.0;
        QTest::newRow("written a moment ago") << true << 0 << false << QByteArray("v2") << 1.0;
        QTest::newRow("rewritten while read") << false << 1 << false << QByteArray("v3") << 1.0;
        QTest::newRow("never at rest") << false << 100 << false << QByteArray() << 4.0;
        QTest::newRow("rewritten while serving") << false << 0 << true << QByteArray("v2") << 0.0;
    }
    void sourceIsTakenOnceWhole() {
        QFETCH(bool, justWritten);
        QFETCH(int, rewrites);
        QFETCH(bool, rewrittenWhileServing);
        QFETCH(QByteArray, deployed);
        QFETCH(double, waited);
        Network n;
        const QString source = QStringLiteral("C:\\Distrib\\outil.exe");
        n.system.addFolder(QStringLiteral("\\\\PC02\\C$\\Outils"));
        n.system.onCommand = [&](const QString& line) {
            if (justWritten) { // written as the sweep goes
                n.system.addFile(source, "v2", n.clock.now());
            }
            return n.system.defaultCommand(line);
        };
        n.system.onCopy = [&](const QString& to) {
            if (to.contains(QStringLiteral("\\source1-")) && rewrites-- > 0) {
                n.system.addFile(source, "v3", n.clock.now().addSecs(-60 - rewrites));
            }
            if (rewrittenWhileServing && to.startsWith(QStringLiteral("\\\\PC01\\"))) {
                n.system.addFile(source, "v4", n.clock.now().addSecs(-60));
            }
        };
        n.ui.defaultAnswer = Answer::No;
        startDeployment(*n.ws, {});
        QCOMPARE(n.clock.pausedSeconds, waited);
        for (const QString& host : {QStringLiteral("PC01"), QStringLiteral("PC02")}) {
            const QString target = QStringLiteral("\\\\%1\\C$\\Outils\\outil.exe").arg(host);
            QCOMPARE(n.system.contents(target),
                     deployed.isEmpty() && host == "PC01" ? "v1" : deployed);
        }
        const QString refused = describe(FileError::SourceChanging);
        QCOMPARE(n.lists().L_GénéErreurs.entries().filter(refused).size(),
                 deployed.isEmpty() ? 2 : 0);
        QVERIFY(n.journal().contains(source + (deployed.isEmpty()
                                                   ? ";" + refused
                                                   : QStringLiteral(";2;") + sha256(deployed))));
        QCOMPARE(n.system.filesUnder(n.ws->state.RunFolder).filter(QStringLiteral("source")),
                 QStringList());
    }

    // The stamp is the clock's at the start, whatever the date file held before; the
    // file takes it, and one that cannot be written is said, the pass going on. Before
    // ten o'clock the hour has one digit; a stamp another pass took moves on a second.
    void stampIsTheClocks_data() {
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QTime>("at");
        QTest::addColumn<int>("passFoldersTaken");
        QTest::addColumn<QString>("stamp");
        QTest::addColumn<QByteArray>("dateFile"); // what the date file holds after
        const QTime afternoon(14, 30, 15);
        const QByteArray written = "20261206_143015 \r\n";
        QTest::newRow("date file written")
            << true << afternoon << 0 << "20261206_143015" << written;
        QTest::newRow("date file refused")
            << false << afternoon << 0 << "20261206_143015" << QByteArray("20261206_133015\r\n");
        QTest::newRow("before ten") << true << QTime(9, 5, 3) << 0 << "20261206_90503"
                                    << QByteArray("20261206_ 90503 \r\n");
        QTest::newRow("taken twice") << true << afternoon << 2 << "20261206_143017" << written;
    }
    void stampIsTheClocks() {
        QFETCH(bool, writable);
        QFETCH(QTime, at);
        QFETCH(int, passFoldersTaken);
        QFETCH(QString, stamp);
        QFETCH(QByteArray, dateFile);
        Network n;
        n.clock.current.setTime(at);
        const QString program = n.ws->state.ProgramDir;
        for (int i = 0; i < passFoldersTaken; ++i) {
            n.system.addFolder(program + n.clock.current.addSecs(i).toString("yyyyMMdd_HHmmss"));
        }
        const QString datePath = program + QStringLiteral("DateDeploiement.txt");
        n.system.addTextFile(datePath, QStringLiteral("20261206_133015\r\n"));
        if (!writable) {
            n.system.failWritesTo(datePath, FileError::AccessDenied);
        }
        n.ui.defaultAnswer = Answer::No;
        startDeployment(*n.ws, {});
        QCOMPARE(n.ws->state.RunStamp, stamp);
        QCOMPARE(n.ws->state.RunFolder, program + stamp);
        QVERIFY(n.system.exists(n.ws->state.RunFolder + QStringLiteral("\\ping0.txt")));
        QCOMPARE(n.system.contents(kOldTool + stamp), QByteArray("v1"));
        QCOMPARE(n.system.contents(datePath), dateFile);
        QCOMPARE(n.ui.texts().contains(QStringLiteral("impossible d'ouvrir\r\n")), !writable);
    }

    // A backup name already taken on the workstation (another program's pass in the
    // same second) leaves the live file in place: it is not replaced unkept.
    void fileThatCannotBeKeptAsideIsNotReplaced() {
        Network n;
        n.system.addFile(kOldTool + QStringLiteral("20261206_143015"), "v0");
        n.ui.defaultAnswer = Answer::No;
        startDeployment(*n.ws, {});
        QCOMPARE(n.system.contents(kOldTool), QByteArray("v1"));
        QCOMPARE(n.system.contents(kOldTool + QStringLiteral("20261206_143015")), QByteArray("v0"));
        QVERIFY(n.ws->lists.L_PostesFail.entries().contains(QStringLiteral("PC01;1")));
    }

    // A program folder without room for the sources' copies: said once, before any
    // workstation is touched, and one error of the pass whatever the number of
    // workstations, which a later pass takes again. Copies that a killed pass left in
    // its folder go first (the lock says no other pass uses them), nothing else there.
    void sourcesWithoutRoom_data() {
        QTest::addColumn<qint64>("freeBytes");
        QTest::newRow("no room") << qint64(4); // the two sources take 5 bytes
        QTest::newRow("just enough room") << qint64(5);
    }
    void sourcesWithoutRoom() {
        QFETCH(qint64, freeBytes);
        Network n;
        const QString killedPass = n.ws->state.ProgramDir + QStringLiteral("20261201_101010");
        n.system.addFile(killedPass + QStringLiteral("\\source1-grand.bin"), "abandonné");
        n.system.addFile(killedPass + QStringLiteral("\\ping0.txt"), "transcript");
        n.system.freeBytesAnswer = freeBytes;
        startDeployment(*n.ws, {});
        QStringList told;
        for (const Message& m : n.ui.messages) {
            if (m.text.startsWith(QStringLiteral("Pas assez de place"))) {
                told.append(m.text);
            }
        }
        QVERIFY(!n.system.exists(killedPass + QStringLiteral("\\source1-grand.bin")));
        QVERIFY(n.system.exists(killedPass + QStringLiteral("\\ping0.txt")));
        if (freeBytes >= 5) {
            QCOMPARE(told, QStringList());
            QCOMPARE(n.system.contents(kOldTool), QByteArray("v2"));
            QCOMPARE(errorCount(n.ws->passRecords), 2); // PC02 without its folder, PC03
            return;
        }
        QCOMPARE(told, QStringList{"Pas assez de place dans le dossier du programme pour la "
                                   "copie de la source : 0 Mo libres, 1 Mo nécessaires"});
        QCOMPARE(errorCount(n.ws->passRecords), 1);
        QCOMPARE(n.system.contents(kOldTool), QByteArray("v1"));
        QCOMPARE(n.system.filesUnder(QStringLiteral("\\\\PC01")), QStringList{kOldTool});
        QVERIFY(n.journal().contains(told.first()));
        QVERIFY(
            n.lists().L_GénéErreurs.entries().join(' ').contains(QStringLiteral("PC02;Non fait")));
    }

    // Asked to end: the copy under way ends, no other starts, and the rows and the
    // journal say who was served and who was not.
    void endRequestedTellsWhatWasDone_data() {
        QTest::addColumn<bool>("duringTheSweep");
        QTest::addColumn<QStringList>("rows");
        const QString pad(14, ' ');
        QTest::newRow("during the sweep")
            << true
            << QStringList{"PC01" + pad + ";####;Non fait", "PC02" + pad + ";####;Non fait",
                           "PC03" + pad + ";####;Non fait"};
        QTest::newRow("during PC01's first copy")
            << false
            << QStringList{"PC03" + pad + "; 100;  Void  ", "PC01" + pad + ";   0;Non fait",
                           "PC02" + pad + ";   0;Non fait"};
    }
    void endRequestedTellsWhatWasDone() {
        QFETCH(bool, duringTheSweep);
        QFETCH(QStringList, rows);
        Network n;
        const auto stop = [&n] { n.system.terminationSignalAnswer = 15; };
        if (duringTheSweep) {
            n.system.pingLandsAfterMs[QStringLiteral("PC03")] = 2600; // silent
            n.system.onPingWait = stop;
        } else {
            n.system.onCopy = [&](const QString& to) {
                if (to.startsWith(QStringLiteral("\\\\PC01\\"))) {
                    stop();
                }
            };
        }
        startDeployment(*n.ws, {});
        QVERIFY(n.ws->passStopped());
        QCOMPARE(n.lists().Listécritures.entries(), rows);
        QCOMPARE(n.system.contents(kOldTool), QByteArray(duringTheSweep ? "v1" : "v2"));
        QVERIFY(!n.system.exists(QStringLiteral("\\\\PC01\\C$\\Outils\\outil.ini")));
        const QString journal = n.journal();
        QVERIFY(journal.contains(QStringLiteral("PC02;Non fait : déploiement arrêté")));
        QVERIFY(journal.contains(QStringLiteral("Déploiement arrêté avant sa fin")));
        QVERIFY(!n.ws->TimerRécursif.isEnabled());
    }

    // What a program stopped in the middle of a copy left beside the target goes at the
    // next pass, once older than a minute; anything else stays.
    void leftoverCopiesGoAtTheNextPass() {
        Network n;
        const QDateTime now = n.clock.now();
        const QString old = kOldTool + QStringLiteral(".vantrel-20261206_143015");
        const QString partial =
            kOldTool + QStringLiteral(".vantrel-20261206_143015.vantrel-Ab12Cd");
        const QString fresh = kOldTool + QStringLiteral(".vantrel-Xy34Zt");
        const QString other = QStringLiteral("\\\\PC01\\C$\\Outils\\autre.exe.vantrel-Qw56Er");
        const QString foreign = kOldTool + QStringLiteral(".old");
        n.system.addFile(old, "v2 partiel", now.addSecs(-120));
        n.system.addFile(partial, "v2 partiel", now.addSecs(-120));
        n.system.addFile(fresh, "v2 partiel", now.addSecs(-10));
        n.system.addFile(other, "x", now.addSecs(-3600));
        n.system.addFile(foreign, "x", now.addSecs(-3600));
        n.ui.defaultAnswer = Answer::No;
        startDeployment(*n.ws, {});
        QVERIFY(!n.system.exists(old));
        QVERIFY(!n.system.exists(partial));
        for (const QString& kept : {fresh, other, foreign}) {
            QVERIFY2(n.system.exists(kept), qPrintable(kept));
        }
        QCOMPARE(n.system.contents(kOldTool), QByteArray("v2"));
        QVERIFY(!n.system.exists(kOldTool + QStringLiteral(".vantrel-") + n.ws->state.RunStamp));
    }

    // Whichever step of a replacement fails, the target keeps a live version (the new
    // one only when it is whole in place, with the old one kept) and nothing of the
    // program's own is left beside it. A running program's file (that Windows renames
    // but does not replace) is replaced by the two renames, and put back when the
    // second fails.
    void everyFailedStepLeavesALiveVersion_data() {
        QTest::addColumn<QStringList>("failing"); // call:from-name>to-name
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("liveBefore");
        QTest::addColumn<QByteArray>("liveAfter"); // "" when there is none
        QTest::addColumn<bool>("kept");            // the old version under the stamp
        const auto row = [](const char* name, QStringList failing, FileError error,
                            QByteArray after, bool kept, bool liveBefore = true) {
            QTest::newRow(name) << failing << int(error) << liveBefore << after << kept;
        };
        const FileError inUse = FileError::SharingViolation;
        row("the copy", {"copy:source1-outil.exe>incoming"}, FileError::DiskFull, "v1", false);
        row("keeping the live version", {"link:outil.exe>kept"}, FileError::AccessDenied, "v1",
            false);
        row("the replace", {"replace:incoming>outil.exe"}, FileError::DiskFull, "v1", false);
        row("the replace, no live file", {"replace:incoming>outil.exe"}, FileError::DiskFull, "",
            false, false);
        row("a file in use: two renames", {"replace:incoming>outil.exe"}, inUse, "v2", true);
        row("a file in use that cannot be renamed",
            {"replace:incoming>outil.exe", "rename:outil.exe>kept"}, inUse, "v1", false);
        row("a file in use, the last rename fails",
            {"replace:incoming>outil.exe", "rename:incoming>outil.exe"}, inUse, "v1", false);
    }
    void everyFailedStepLeavesALiveVersion() {
        QFETCH(QStringList, failing);
        QFETCH(int, error);
        QFETCH(bool, liveBefore);
        QFETCH(QByteArray, liveAfter);
        QFETCH(bool, kept);
        Network n;
        n.ws->lists.ListePostes.assign({"PC01"});
        if (!liveBefore) {
            n.system.removeFile(kOldTool);
        }
        const QString stamp = QStringLiteral("20261206_143015");
        const auto named = [&](const QString& path) {
            const QString name = path.mid(path.lastIndexOf(u'\\') + 1);
            return name == QStringLiteral("outil.exe") + stamp ? QStringLiteral("kept")
                   : name.startsWith(QStringLiteral("outil.exe.vantrel-"))
                       ? QStringLiteral("incoming")
                       : name;
        };
        n.system.failCall = [&](const char* call, const QString& from, const QString& to) {
            const QString step = QLatin1String(call) + u':' + named(from) + u'>' + named(to);
            return failing.contains(step) ? FileError(error) : FileError::None;
        };
        n.ui.defaultAnswer = Answer::No;
        startDeployment(*n.ws, {});
        QCOMPARE(n.system.exists(kOldTool), !liveAfter.isEmpty());
        QCOMPARE(n.system.contents(kOldTool), liveAfter);
        QCOMPARE(n.system.exists(kOldTool + stamp), kept);
        if (kept) {
            QCOMPARE(n.system.contents(kOldTool + stamp), QByteArray("v1"));
        }
        const QStringList left = n.system.filesUnder(QStringLiteral("\\\\PC01\\C$\\Outils"));
        QCOMPARE(left.filter(QStringLiteral(".vantrel-")), QStringList());
        const bool failed = liveAfter != "v2";
        QCOMPARE(n.ws->lists.L_PostesFail.entries().contains(QStringLiteral("PC01;1")), failed);
        if (failed) {
            QVERIFY(n.ws->lists.L_GénéErreurs.entries().join(u'|').contains(
                describe(FileError(error))));
        }
    }

    // After a workstation stops answering (or can no longer be reached), its other
    // rules fail at once instead of each waiting for its own time-out.
    void lostWorkstationFailsItsOtherRulesAtOnce_data() {
        QTest::addColumn<FileError>("error");
        QTest::newRow("silent") << FileError::TimedOut;
        QTest::newRow("unreachable") << FileError::HostUnreachable;
    }
    void lostWorkstationFailsItsOtherRulesAtOnce() {
        QFETCH(FileError, error);
        Network n;
        n.system.failCopiesFrom(QStringLiteral("C:\\Distrib\\outil.exe"), error);
        n.ui.defaultAnswer = Answer::No;
        startDeployment(*n.ws, {});
        QVERIFY(!n.system.exists(QStringLiteral("\\\\PC01\\C$\\Outils\\outil.ini")));
        QVERIFY(n.ws->lists.L_PostesFail.entries().contains(QStringLiteral("PC01;2")));
        const QString lost = describe(error);
        QCOMPARE(n.ws->lists.L_GénéErreurs.entries().filter(QStringLiteral("PC01;")),
                 QStringList{"PC01;;C:\\Distrib\\outil.exe;\\C$\\Outils;" + lost +
                             ";;C:\\Distrib\\outil.ini;\\C$\\Outils;" + lost + ";"});
    }

    // No sweep, no copy, and an unattended run learns the pass did not happen.
    void passWithoutItsFolderStopsBeforeTheSweep_data() {
        QTest::addColumn<bool>("folderLocked");
        QTest::addColumn<QString>("title");
        QTest::addColumn<qint64>("waitedMs");
        QTest::newRow("program folder gone") << false << "Déploiement impossible" << qint64(0);
        QTest::newRow("another run holds it") << true << "Déploiement impossible" << qint64(60000);
    }
    void passWithoutItsFolderStopsBeforeTheSweep() {
        QFETCH(bool, folderLocked);
        QFETCH(QString, title);
        QFETCH(qint64, waitedMs);
        Network n;
        const QString program = n.ws->state.ProgramDir;
        if (folderLocked) {
            n.system.lockedFolders << program;
        } else {
            n.ws->state.ProgramDir = QStringLiteral("C:\\Absent\\");
        }
        const qint64 before = n.clock.elapsedMs();
        startDeployment(*n.ws, {});
        QCOMPARE(n.ui.titles().last(), title);
        QCOMPARE(n.clock.elapsedMs() - before, waitedMs);
        QCOMPARE(n.ui.progress.contains(QStringLiteral(
                     "Un autre déploiement utilise le dossier du programme : attente, 00:59")),
                 folderLocked);
        QVERIFY(n.ui.progress.isEmpty() || n.ui.progress.last().isEmpty()); // the bar goes
        QVERIFY(n.ws->passStopped());
        QVERIFY(n.system.filesUnder(QStringLiteral("\\\\PC01")).size() == 1);
        for (const QString& command : n.system.commands) {
            QVERIFY(!command.contains(QStringLiteral("ping")));
        }
    }

    void launchChecks_data() {
        QTest::addColumn<QStringList>("postes");
        QTest::addColumn<QString>("listPath");
        QTest::addColumn<int>("sources");
        QTest::addColumn<int>("destinations");
        QTest::addColumn<QString>("message");
        const QString unequal =
            "Les listes Source et Destination n'ont pas le même nombre d'éléments\r\n";
        QTest::newRow("empty list")
            << QStringList{} << "x" << 2 << 2 << "La liste des postes est vide";
        QTest::newRow("list not saved")
            << QStringList{"PC01"} << "" << 2 << 2 << "Enregistrer d'abord la liste de Postes";
        QTest::newRow("unequal rules")
            << QStringList{"PC01"} << "x" << 2 << 1 << unequal + "Continuer?";
        QTest::newRow("no rule, unequal") << QStringList{"PC01"} << "x" << 0 << 2
                                          << unequal + "Aucune règle de déploiement\r\nContinuer?";
    }
    void launchChecks() {
        QFETCH(QStringList, postes);
        QFETCH(QString, listPath);
        QFETCH(int, sources);
        QFETCH(int, destinations);
        QFETCH(QString, message);
        Network n;
        Workspace& ws = *n.ws;
        ws.controls.setTentative(QStringLiteral("4"));
        ws.lists.ListePostes.assign(postes);
        ws.state.WorkstationListPath = listPath;
        ws.lists.ListeSource.assign(ws.lists.ListeSource.entries().mid(0, sources));
        ws.lists.ListeDest.assign(ws.lists.ListeDest.entries().mid(0, destinations));
        n.ui.defaultAnswer = Answer::No;
        QCOMPARE(Télédéploiement_Click(ws, {}), LaunchOutcome::Refused);
        QCOMPARE(n.ui.messages.front().text, message);
        QCOMPARE(ws.controls.Tentative(), QStringLiteral("0"));
        QVERIFY(n.system.commands.isEmpty());
    }

    void deferredStartRunsOncePerFlag() {
        Network n;
        Workspace& ws = *n.ws;
        ws.controls.setDifféré(true);
        n.ui.defaultAnswer = Answer::Yes;
        QCOMPARE(Télédéploiement_Click(ws, {}), LaunchOutcome::LeftToDeferredStart);
        QVERIFY(n.system.commands.isEmpty());
        ws.state.DeferredStartFlag = QStringLiteral("Déploiement");
        ws.controls.setTentative(QStringLiteral("2")); // left by an earlier cycle
        StartPendingDeferredRun(ws, {});
        QVERIFY(!ws.controls.Différé());
        QCOMPARE(ws.controls.Tentative(), QStringLiteral("0"));
        QCOMPARE(ws.lists.L_PostesenCours.entries(), ws.lists.ListePostes.entries());
        const int commands = n.system.commands.size();
        QVERIFY(commands > 0);
        StartPendingDeferredRun(ws, {});
        QCOMPARE(n.system.commands.size(), commands);
    }

    // Typed delay and attempts, as the fields keep them: within 1-180 and 0-5, text
    // as the smallest (-1 attempts: none typed).
    void fieldLimits() {
        const QStringList rows{"250 180 9 5", "0 1 0 0", "abc 1 -1 -1", "45 45 3 3"};
        for (const QString& row : rows) {
            const QStringList f = row.split(u' ');
            DeploymentControls c;
            c.setDélai(f[0]);
            c.setNbessais(f[2]);
            QCOMPARE(c.Délai(), f[1]);
            QCOMPARE(c.Nbessais(), f[3]);
        }
    }

    void noRetryWithZeroAttempts() {
        Network n;
        n.ws->controls.setRécursif(1);
        n.ws->controls.setNbessais(QStringLiteral("0"));
        Télédéploiement_Click(*n.ws, {});
        QCOMPARE(n.runRetryCycle(), 1);
        QCOMPARE(n.ws->controls.Tentative(), QStringLiteral("0"));
    }

    void journalRuleBlock() {
        Network n;
        Workspace& ws = *n.ws;
        ws.lists.ListeSource.assign({"C:\\A\\x.exe", "C:\\A\\y",
                                     "C:\\B\\abcdefghijklmnopqrstuvwxyz0123456789.dll",
                                     "C:\\A\\z.txt", "seul.exe"});
        ws.lists.ListeDest.assign({"\\d1", "\\d2", "\\d3", "\\d4", "\\d5"});
        ws.controls.setRécursif(2);
        const QStringList lines = journalLines(ws);
        const qsizetype at = lines.indexOf(QStringLiteral("Liste des  5 sources et destinations"));
        QVERIFY(lines.at(6).startsWith(QString::fromUtf8("Ce déploiement comportait 2essais")));
        const QString pad(12, QLatin1Char(' '));
        QCOMPARE(lines.mid(at + 1, 8),
                 (QStringList{"C:\\A\\", "x" + QString(27, ' ') + ".." + pad + "\\d1",
                              "y" + QString(27, ' ') + ".." + pad + "\\d2", "C:\\B\\",
                              "abcdefghijklmnopqrstuvwxyz0123" + pad + "\\d3", "C:\\A\\",
                              "z" + QString(27, ' ') + ".." + pad + "\\d4",
                              "seul" + QString(26, ' ') + pad + "\\d5"}));
    }

    void cleanPassOpensTheJournalOnYes() {
        Network n;
        n.answer(QStringLiteral("PC03"), 0);
        n.system.addFolder(QStringLiteral("\\\\PC02\\C$\\Outils"));
        n.system.addFolder(QStringLiteral("\\\\PC03\\C$\\Outils"));
        Télédéploiement_Click(*n.ws, {});
        QCOMPARE(n.ui.last().text, QStringLiteral("Déploiement parfait; aucune erreur; Voulez-vous "
                                                  "ouvrir le journal du déploiement"));
        QVERIFY(n.ui.last().title.startsWith(QStringLiteral("Déploiement terminé le: ")));
        QVERIFY(n.system.commands.last().startsWith(QStringLiteral("notepad.exe C:\\Prog")));
    }
};

QTEST_GUILESS_MAIN(PassTest)
#include "tst_pass.moc"
