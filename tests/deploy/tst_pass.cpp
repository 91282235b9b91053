#include "core/Text.h"
#include "core/TextFile.h"
#include "core/WorkstationRecord.h"
#include "deploy/DeferredStart.h"
#include "deploy/DeploymentRun.h"
#include "deploy/HistoryListing.h"
#include "deploy/Journal.h"
#include "deploy/LaunchChecks.h"
#include "deploy/PreviewRun.h"
#include "deploy/RestoreRun.h"
#include "deploy/StampedVersions.h"
#include "deploy/Stamps.h"
#include "deploy/TrafficMeter.h"
#include "deploy/WorkerPool.h"
#include "platform/FileError.h"
#include "support/FakePlatform.h"
#include <QCryptographicHash>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

using namespace vantrel;
using namespace vantrel::test;
using MeterClock = TrafficMeter::Clock;

namespace {

// A workspace whose lists are saved, as a pass needs them.
struct Saved : Fixture {
    Saved() {
        start();
        ws->state.WorkstationListPath = QStringLiteral("C:\\DEPLOI\\Atelier.LPO");
        ws->state.RuleFilePath = QStringLiteral("C:\\DEPLOI\\Atelier.Rgl");
    }
};

const QString kOldTool = QStringLiteral("\\\\PC01\\C$\\Outils\\outil.exe");

QString sha256(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

// Three workstations: PC01 answers and has an older outil.exe, PC02 answers but
// lacks the destination folder, PC03 does not answer.
struct Network : Saved {
    Network() {
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
        system.answer(QStringLiteral("PC01"));
        system.answer(QStringLiteral("PC02"));
        system.answer(QStringLiteral("PC03"), 100);
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

const QString kStamp = QStringLiteral("20261206_143015");
const QString kFolder = QStringLiteral("\\\\PC01\\C$\\Outils");
const QString kTarget = kFolder + QStringLiteral("\\outil.exe");

// One workstation, one rule (outil.exe, "v2", to \C$\Outils), and what the
// workstation holds: "absent", "equal", "different", "no folder" or "no answer"; or
// what stands at the source's place: "no source", "a folder as source".
struct Workstation : Saved {
    explicit Workstation(const QString& holds) {
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
        system.answer(QStringLiteral("PC01"), holds == QLatin1String("no answer") ? 100 : 0);
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

// Copies run side by side through one meter, on virtual time: each asks for what its
// file has left, and its piece goes once the meter's wait is over.
struct Sent {
    double at; // seconds
    qint64 bytes;
};

std::vector<Sent> copyThrough(double cap, int copies, qint64 fileBytes, double* rateAtEnd) {
    MeterClock::duration virtualNow{};
    MeterClock::duration slept{};
    const MeterClock::time_point start = MeterClock::now();
    TrafficMeter meter(
        cap, {[&] { return start + virtualNow; }, [&](MeterClock::duration d) { slept += d; }});
    std::vector<MeterClock::duration> ready(copies);
    std::vector<qint64> left(copies, fileBytes);
    std::vector<Sent> sent;
    for (;;) {
        int next = -1;
        for (int i = 0; i < copies; ++i) {
            if (left[i] > 0 && (next < 0 || ready[i] < ready[next])) {
                next = i;
            }
        }
        if (next < 0) {
            break;
        }
        virtualNow = ready[next];
        slept = {};
        const qint64 piece = meter.take(left[next]);
        ready[next] += slept;
        left[next] -= piece;
        sent.push_back({std::chrono::duration<double>(ready[next]).count(), piece});
    }
    virtualNow =
        ready.empty() ? MeterClock::duration{} : *std::max_element(ready.begin(), ready.end());
    *rateAtEnd = meter.bytesPerSecond();
    return sent;
}

// Files on which a copy to SILENT hangs until the worker is interrupted (or a long
// while has passed, which the test then sees), and any other copy goes at once. Its
// other calls are the fake's, on files of its own.
class HangingFiles : public FakeSystem {
public:
    std::mutex& mutex;
    std::condition_variable& changed;
    int& silentWaiting;
    int& copiesDone;
    bool interrupted = false;

    HangingFiles(std::mutex& m, std::condition_variable& c, int& waiting, int& done)
        : mutex(m), changed(c), silentWaiting(waiting), copiesDone(done) {}

    FileError copyFile(const QString&, const QString& to) override {
        std::unique_lock<std::mutex> lock(mutex);
        if (to.startsWith(QStringLiteral("\\\\SILENT\\"))) {
            ++silentWaiting;
            changed.notify_all();
            return changed.wait_for(lock, std::chrono::seconds(10), [this] { return interrupted; })
                       ? FileError::Interrupted
                       : FileError::TimedOut;
        }
        ++copiesDone;
        changed.notify_all();
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return FileError::None;
    }
    void interrupt() override {
        const std::lock_guard<std::mutex> lock(mutex);
        interrupted = true;
        changed.notify_all();
    }
};

class HangingSystem : public FakeSystem {
public:
    std::mutex mutex;
    std::condition_variable changed;
    int silentWaiting = 0;
    int copiesDone = 0;
    std::unique_ptr<Files> forWorker() override {
        return std::make_unique<HangingFiles>(mutex, changed, silentWaiting, copiesDone);
    }
};

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
struct History : Saved {
    History() {
        ws->lists.ListePostes.assign({"PC01", "PC02", "PC03", "pc01.zone.test"});
        system.otherNames[QStringLiteral("pc01.zone.test")] = QStringLiteral("PC01");
        ws->lists.ListeSource.assign({"C:\\Distrib\\outil.exe", "C:\\Distrib\\notes.txt"});
        ws->lists.ListeDest.assign({"\\C$\\Outils", "\\C$\\Outils"});
        system.addFile(kOldTool, "v3");
        system.addFile(kOldTool + kUndone, "v2");
        system.addFile(kNotes, "notes");
        system.addFolder(QStringLiteral("\\\\PC02\\C$"));
        for (const QString& host : {QStringLiteral("PC01"), QStringLiteral("pc01.zone.test")})
            system.answer(host, 0, QStringLiteral("10.0.0.11"));
        system.answer(QStringLiteral("PC02"));
        system.answer(QStringLiteral("PC03"), 100);
        ui.defaultAnswer = Answer::No;
    }
};

using F = DeferredStart::Field;

struct Dialog : Fixture {
    std::unique_ptr<DeferredStart> form;
    explicit Dialog(const QDateTime& now) {
        clock.current = now;
        start();
        form = std::make_unique<DeferredStart>(*ws);
        form->Form_Load();
    }
    void target(int year, int month, int day, int hour, int minute) {
        const int values[] = {year, month, day, hour, minute};
        for (int f = 0; f < DeferredStart::FieldCount; ++f) {
            form->setTarget(static_cast<F>(f), QString::number(values[f]));
        }
    }
    QStringList remaining() const {
        QStringList all;
        for (int f = 0; f < DeferredStart::FieldCount; ++f) {
            all << form->remaining(static_cast<F>(f));
        }
        return all;
    }
    // One minute of virtual time, then the timer's tick.
    void tick() {
        clock.advance(60000);
        form->Timer1_Timer();
    }
};

QDateTime at(int year, int month, int day, int hour, int minute) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute));
}

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
        n.system.answer(QStringLiteral("PC03"), 0); // by the retry
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
        n.system.answer(QStringLiteral("PC01"), 0, QStringLiteral("10.0.0.11"));
        n.system.pingTranscripts[other] = "La requete Ping n'a pas pu trouver l'hote.";
        ws.controls.setRécursif(1);
        ws.controls.setNbessais(QStringLiteral("2"));
        ws.controls.setDélai(QStringLiteral("1"));
        Télédéploiement_Click(ws, {});
        n.system.answer(other, 0, QStringLiteral("10.0.0.11"));
        if (fixedAfterFirstPass.contains(QLatin1String("PC02")))
            n.system.addFolder(QStringLiteral("\\\\PC02\\C$\\Outils"));
        if (fixedAfterFirstPass.contains(QLatin1String("PC03"))) {
            n.system.addFolder(QStringLiteral("\\\\PC03\\C$\\Outils"));
            n.system.answer(QStringLiteral("PC03"), 0);
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
            n.system.answer(host, silent.contains(host) ? 100 : 0,
                            first.isEmpty() ? QString() : address);
            if (first.isEmpty()) {
                n.system.addFolder(QStringLiteral("\\\\%1\\C$\\Outils").arg(host));
            } else {
                n.system.otherNames[host.toLower()] = first;
                n.system.answer(first, silent.contains(first) ? 100 : 0, address);
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
                n->system.answer(host, host == QLatin1String("PC03") ? 100 : 0);
                if (host != QLatin1String("PC02")) { // no Outils there: both rules fail
                    n->system.addFolder(QStringLiteral("\\\\%1\\C$\\Outils").arg(host));
                }
            }
            n->system.answer(QStringLiteral("PC20"), 0, QStringLiteral("10.0.20.20"));
            n->system.answer(hosts.last(), 0, QStringLiteral("10.0.20.20"));
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
        n.system.answer(QStringLiteral("PC03"), 0);
        n.system.addFolder(QStringLiteral("\\\\PC02\\C$\\Outils"));
        n.system.addFolder(QStringLiteral("\\\\PC03\\C$\\Outils"));
        Télédéploiement_Click(*n.ws, {});
        QCOMPARE(n.ui.last().text, QStringLiteral("Déploiement parfait; aucune erreur; Voulez-vous "
                                                  "ouvrir le journal du déploiement"));
        QVERIFY(n.ui.last().title.startsWith(QStringLiteral("Déploiement terminé le: ")));
        QVERIFY(n.system.commands.last().startsWith(QStringLiteral("notepad.exe C:\\Prog")));
    }

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

    // The cap holds over every window of one or two seconds from the first byte, however
    // many copies share it, and lets as much through as it allows; the rate shown is
    // the cap's. Without a cap everything goes at once.
    void capHoldsOverEveryWindow_data() {
        QTest::addColumn<double>("cap");
        QTest::addColumn<int>("copies");
        QTest::addColumn<qint64>("fileBytes");
        QTest::newRow("one copy of 4 MiB at 2 MB/s") << 2e6 << 1 << (qint64(4) << 20);
        QTest::newRow("eight copies of 4 MiB at 2 MB/s") << 2e6 << 8 << (qint64(4) << 20);
        QTest::newRow("eight copies of 64 MiB at 40 MB/s") << 40e6 << 8 << (qint64(64) << 20);
        QTest::newRow("small files at 100 kB/s") << 1e5 << 3 << qint64(70000);
        QTest::newRow("no cap") << 0.0 << 8 << (qint64(4) << 20);
    }
    void capHoldsOverEveryWindow() {
        QFETCH(double, cap);
        QFETCH(int, copies);
        QFETCH(qint64, fileBytes);
        double rate = 0;
        const std::vector<Sent> sent = copyThrough(cap, copies, fileBytes, &rate);
        const double total = double(copies) * double(fileBytes);
        const double end = sent.back().at;
        if (cap == 0) {
            QCOMPARE(end, 0.0);
            QCOMPARE(rate, total / 2);
            return;
        }
        for (const double window : {1.0, 2.0}) {
            for (const Sent& from : sent) {
                double inWindow = 0;
                for (const Sent& s : sent) {
                    if (s.at >= from.at && s.at < from.at + window) {
                        inWindow += s.bytes;
                    }
                }
                // One piece (a twentieth of a second's worth) is the most a window may
                // hold beyond the cap.
                QVERIFY2(inWindow <= cap * (window + 0.05) + 1,
                         qPrintable(QStringLiteral("%1 bytes within %2 s from %3 s")
                                        .arg(inWindow)
                                        .arg(window)
                                        .arg(from.at)));
            }
        }
        QVERIFY2(end >= total / cap - 0.1 && end <= total / cap, qPrintable(QString::number(end)));
        if (end >= 2) {
            QVERIFY2(rate >= cap * 0.95 && rate <= cap * 1.05, qPrintable(QString::number(rate)));
        }
    }

    // A pass that stops lets every copy waiting for its slot go at once.
    void releasedMeterHoldsNothingBack() {
        MeterClock::duration slept{};
        const MeterClock::time_point start = MeterClock::now();
        TrafficMeter meter(1e6,
                           {[&] { return start; }, [&](MeterClock::duration d) { slept += d; }});
        meter.take(50000);
        meter.take(50000);
        QVERIFY(slept > MeterClock::duration::zero());
        slept = {};
        meter.release();
        QCOMPARE(meter.take(50000), qint64(50000));
        QCOMPARE(slept, MeterClock::duration::zero());
    }

    // Three workers, one of them waiting on a host that no longer answers: a stop
    // reaches the two that copy (they end between two copies, their work unfinished)
    // and interrupts the one that waits, instead of leaving it to its server's silence.
    void stopReachesEveryWorker() {
        HangingSystem system;
        TrafficMeter meter;
        std::atomic<bool> stop{false};
        const WorkstationStep step = [](Files& files, const WorkstationJob& job) {
            WorkstationResult result;
            const auto since = std::chrono::steady_clock::now();
            // Copies until asked to stop; a stop that never comes ends it after a while.
            while (std::chrono::steady_clock::now() - since < std::chrono::seconds(10)) {
                if (job.stopRequested()) {
                    result.finished = false;
                    return result;
                }
                const FileError error = files.copyFile(QStringLiteral("C:\\Distrib\\outil.exe"),
                                                       "\\\\" + job.host + "\\C$\\outil.exe");
                if (error != FileError::None) {
                    result.failures = 1;
                    result.message = describe(error);
                    return result;
                }
            }
            return result;
        };
        WorkerPool pool(
            system, 3, step, [&stop] { return stop.load(); }, meter);
        const QStringList hosts{"PC01", "SILENT", "PC03"};
        for (int i = 0; i < hosts.size(); ++i) {
            pool.hand(i, {hosts[i], QString(), QDateTime(), {}});
        }
        {
            std::unique_lock<std::mutex> lock(system.mutex);
            QVERIFY(system.changed.wait_for(lock, std::chrono::seconds(10), [&] {
                return system.silentWaiting == 1 && system.copiesDone >= 2;
            }));
        }
        stop = true;
        std::vector<WorkstationResult> results(hosts.size());
        int in = 0;
        for (int round = 0; in < hosts.size() && round < 1000; ++round) {
            for (WorkerPool::Finished& f : pool.takeFinished(20)) {
                results[f.index] = std::move(f.result);
                ++in;
            }
        }
        QCOMPARE(in, int(hosts.size()));
        QVERIFY(!results[0].finished);
        QVERIFY(!results[2].finished);
        QCOMPARE(results[1].message, describe(FileError::Interrupted));
    }

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
            h.system.addFile(kOldTool + QLatin1String(stamp), "v");
        h.clock.current = at("2026-10-25T03:00:00Z");
        const QStringList before = h.system.filesUnder(QStringLiteral("\\\\PC01"));
        QStringList lines;
        QVERIFY(ListHistory(*h.ws, {}, lines));
        QCOMPARE(h.system.filesUnder(QStringLiteral("\\\\PC01")), before); // nothing written
        QVERIFY(lines.contains(
            QStringLiteral("PC02;\\\\PC02\\C$\\Outils\\notes.txt;Chemin d'accès introuvable")));
        const QString prefix = QStringLiteral("PC01;") + kOldTool + u';';
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
        h.system.addFile(kOldTool + stamp, "v");
        h.clock.current = QDateTime::fromString(QStringLiteral("2026-11-02T10:00:00Z"), Qt::ISODate)
                              .toTimeZone(paris);
        QStringList lines;
        QVERIFY(ListHistory(*h.ws, {}, lines));
        const QString line = QStringLiteral("PC01;") + kOldTool + u';' + stamp +
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
        QCOMPARE(h.system.contents(kOldTool), QByteArray("v2"));
        QCOMPARE(h.system.contents(kOldTool + own), QByteArray("v3"));
        QCOMPARE(h.system.contents(kOldTool + kUndone), QByteArray("v2"));
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
        h.system.addFile(kOldTool + QStringLiteral("20260329_23001"), "v2");
        if (bothForms)
            h.system.addFile(kOldTool + QStringLiteral("20261205_090503"), "B");
        const int restored = RestoreRun(*h.ws, {}, stamp);
        QCOMPARE(restored, live == "v3" ? 0 : 1);
        QCOMPARE(h.system.contents(kOldTool), live);
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
        h.system.failWritesTo(kOldTool + QStringLiteral("20261207_150000"),
                              FileError::AccessDenied);
        RestoreRun(*h.ws, {}, kUndone);
        QCOMPARE(h.ws->state.RunStamp, QStringLiteral("20261207_150000"));
        QCOMPARE(h.system.contents(kOldTool), QByteArray("v3"));
        QVERIFY(h.ws->lists.L_PostesFail.entries().contains(QStringLiteral("PC01;1")));
    }

    void loadFillsTheTargetFromTheClock() {
        Dialog d(at(2019, 3, 4, 9, 7));
        QCOMPARE(d.form->target(F::Year), QStringLiteral("2019"));
        QCOMPARE(d.form->target(F::Month), QStringLiteral("03"));
        QCOMPARE(d.form->target(F::Minute), QStringLiteral("07"));
        QVERIFY(!d.form->timerEnabled());
    }

    // The clock says 2019: a year typed past the next one is taken back to this one.
    void fieldsAreCorrectedWhileTyped_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        const struct {
            F field;
            const char *typed, *kept;
        } rows[] = {{F::Minute, "75", "59"},   {F::Hour, "24", "23"},     {F::Day, "32", "31"},
                    {F::Year, "2021", "2019"}, {F::Year, "2020", "2020"}, {F::Month, "14", "14"}};
        for (const auto& r : rows)
            QTest::newRow(r.typed)
                << int(r.field) << QString::fromLatin1(r.typed) << QString::fromLatin1(r.kept);
    }
    void fieldsAreCorrectedWhileTyped() {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        Dialog d(at(2019, 3, 4, 9, 7));
        d.form->setTarget(static_cast<F>(field), typed);
        QCOMPARE(d.form->target(static_cast<F>(field)), kept);
    }

    // The clock says 10 January 2026: this year and the next are accepted.
    void deferredLaunchChecks_data() {
        QTest::addColumn<QList<int>>("target");
        QTest::addColumn<QString>("message"); // "" when the countdown starts
        const QString yearMessage = QStringLiteral("Erreur sur l'année  2025 < Année < 2027");
        QTest::newRow("this year") << QList<int>{2026, 5, 1, 10, 0} << "";
        QTest::newRow("next year") << QList<int>{2027, 1, 9, 10, 0} << "";
        QTest::newRow("last year") << QList<int>{2025, 5, 1, 10, 0} << yearMessage;
        QTest::newRow("2019 and before") << QList<int>{2019, 5, 1, 10, 0} << yearMessage;
        QTest::newRow("year and day: the day wins")
            << QList<int>{2025, 5, 0, 10, 0} << "Erreur sur le jour 0< Jour < 32";
        QTest::newRow("month") << QList<int>{2026, 13, 1, 10, 0}
                               << "Erreur sur le mois 1< Mois <13";
        QTest::newRow("february") << QList<int>{2026, 2, 29, 10, 0}
                                  << "Ce mois ne peut avoir plus de 28 jours";
        QTest::newRow("february 30")
            << QList<int>{2026, 2, 30, 10, 0} << "Ce mois ne peut avoir plus de 28 jours";
        QTest::newRow("30-day month")
            << QList<int>{2026, 4, 31, 10, 0} << "Ce mois ne peut avoir plus de 30 jours";
    }
    void deferredLaunchChecks() {
        QFETCH(QList<int>, target);
        QFETCH(QString, message);
        Dialog d(at(2026, 1, 10, 9, 0));
        d.target(target[0], target[1], target[2], target[3], target[4]);
        d.form->Lancer();
        if (message.isEmpty()) {
            QVERIFY(d.form->timerEnabled());
            QVERIFY(!d.ui.titles().contains("Erreur sur la date"));
            return;
        }
        QCOMPARE(d.ui.titles(), QStringList{"Erreur sur la date"});
        QCOMPARE(d.ui.last().text, message);
        QVERIFY(!d.form->timerEnabled());
    }

    void leapYearsCountAsTheProgramCounts() {
        QCOMPARE(DeferredStart::daysInMonth(2, 2016), 29);
        QCOMPARE(DeferredStart::daysInMonth(2, 2019), 28);
        QCOMPARE(DeferredStart::daysInMonth(2, 2000), 28); // "00" is not a leap year here
        QCOMPARE(DeferredStart::daysInMonth(9, 2019), 30);
    }

    void ninetyMinutesAhead() {
        Dialog d(at(2019, 6, 3, 10, 45));
        d.target(2019, 6, 3, 12, 15);
        d.form->Lancer();
        QVERIFY(d.ui.messages.empty());
        QCOMPARE(d.remaining(), (QStringList{" 0", " 0", " 0", " 1", " 30"}));
        d.tick();
        QCOMPARE(d.remaining(), (QStringList{"0", "0", " 0", " 1", " 29"}));
        for (int i = 0; i < 88; ++i) {
            d.tick();
        }
        QVERIFY(!d.form->isClosed());
        d.tick();
        QVERIFY(d.form->isClosed());
        QCOMPARE(d.state().DeferredStartFlag, QStringLiteral("Déploiement"));
    }

    // The last minute is counted in seconds, to the target minute itself.
    void secondsLeftOnceArmed() {
        Dialog d(QDateTime(QDate(2019, 6, 3), QTime(10, 45, 15)));
        QCOMPARE(d.form->secondsLeft(), -1);
        d.target(2019, 6, 3, 10, 47);
        d.form->Lancer();
        QCOMPARE(d.form->secondsLeft(), 105);
        d.clock.current = d.clock.current.addSecs(105);
        QCOMPARE(d.form->secondsLeft(), 0);
        d.form->Timer1_Timer();
        QVERIFY(d.form->isClosed());
        QCOMPARE(d.form->secondsLeft(), -1);
    }

    void countdownAcrossMidnight() {
        Dialog d(at(2019, 12, 31, 23, 50));
        d.target(2019, 12, 31, 23, 59);
        d.form->setTarget(F::Day, QStringLiteral("31"));
        d.form->Lancer();
        QCOMPARE(d.remaining(), (QStringList{" 0", " 0", " 0", " 0", " 9"}));
        qint16 y = 0, m = 1, days = -30, h = -1, min = 0; // 31 Jan 10:00 -> 1 Feb 09:00
        DeferredStart::DecrementRemaining(y, m, days, h, min, 0, 31);
        QCOMPARE(QList<int>({y, m, days, h, min}), QList<int>({0, 0, 0, 23, 0}));
    }

    // A target now, or the next day an hour earlier, asks to start at once; No arms
    // nothing and the dialog stays, Yes closes it with the pass to run.
    void earlyTargetAsksToStartAtOnce_data() {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("target"); // invalid: the one the dialog proposes
        QTest::addColumn<bool>("yes");
        QTest::newRow("now, No") << at(2019, 6, 3, 10, 45) << QDateTime() << false;
        QTest::newRow("next day an hour earlier, Yes")
            << at(2019, 6, 3, 11, 5) << at(2019, 6, 4, 10, 0) << true;
    }
    void earlyTargetAsksToStartAtOnce() {
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, target);
        QFETCH(bool, yes);
        Dialog d(now);
        if (target.isValid())
            d.target(target.date().year(), target.date().month(), target.date().day(),
                     target.time().hour(), target.time().minute());
        d.ui.answers = {yes ? Answer::Yes : Answer::No};
        d.form->Lancer();
        QCOMPARE(d.ui.last().text, QStringLiteral("Voulez-vous lancer immédiatement"));
        QVERIFY(!d.form->timerEnabled());
        if (!yes)
            d.tick();
        QCOMPARE(d.form->isClosed(), yes);
        QCOMPARE(d.state().DeferredStartFlag, yes ? QStringLiteral("Déploiement") : QString());
    }

    void longDelayIsOnlyAWarning() {
        Dialog d(at(2019, 1, 10, 9, 0));
        d.target(2019, 4, 10, 9, 0);
        d.form->Lancer();
        QCOMPARE(d.ui.titles(), QStringList{"Vérifier la saisie"});
        QVERIFY(d.form->timerEnabled());
        QCOMPARE(d.remaining(), (QStringList{" 0", " 3", " 0", " 0", " 0"}));
    }

    void februaryTargetEndsInMarch() {
        Dialog d(at(2019, 2, 28, 23, 58));
        d.target(2019, 2, 28, 23, 59);
        d.form->Lancer();
        QVERIFY(d.form->timerEnabled());
        d.clock.current = at(2019, 3, 1, 0, 0); // every field but the month lies after it
        d.tick();
        QVERIFY(d.form->isClosed());
    }

    // Cancelling leaves its flag (AnnuleDélai, which starts at once, is tst_form1's).
    void buttonsLeaveTheFlag() {
        Dialog d(at(2019, 6, 3, 10, 45));
        d.form->AnuleDéploiement();
        QCOMPARE(d.state().DeferredStartFlag, QStringLiteral("Annule"));
        QVERIFY(d.form->isClosed());
    }
};

QTEST_GUILESS_MAIN(PassTest)
#include "tst_pass.moc"
