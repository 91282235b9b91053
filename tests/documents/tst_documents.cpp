#include "core/KeyFilter.h"
#include "core/Paths.h"
#include "core/Settings.h"
#include "core/StringList.h"
#include "core/Text.h"
#include "core/TextFile.h"
#include "documents/DeploymentFile.h"
#include "documents/Lifecycle.h"
#include "documents/ListEditing.h"
#include "documents/ListFiles.h"
#include "platform/NameLength.h"
#include "support/FakePlatform.h"
#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace vantrel;
using namespace vantrel::test;

namespace {

const QString kIni = QStringLiteral("C:\\Prog\\Vantrel\\Vantrel.INI");
const QString kDeploi = QStringLiteral("C:\\DEPLOI\\");

// A saved deployment: Atelier.VTR with its list and rules.
void addAtelier(FakeSystem& system, const QStringList& rows = {}) {
    system.addFile(QStringLiteral("C:\\DEPLOI\\Atelier.LPO"), crlf({"PC01", "", "PC02"}));
    system.addFile(
        QStringLiteral("C:\\DEPLOI\\Atelier.Rgl"),
        crlf({"C:\\Distrib\\outil.exe;\\Partage\\Outils", "C:\\Distrib\\a.ini;\\P ; x"}));
    QStringList lines{"LocListePostes:C:\\DEPLOI\\Atelier.LPO",
                      QString::fromUtf8("LocListeRègles:C:\\DEPLOI\\Atelier.Rgl")};
    lines << rows;
    system.addFile(QStringLiteral("C:\\DEPLOI\\Atelier.VTR"), crlf(lines));
}

} // namespace

class DocumentsTest : public QObject {
    Q_OBJECT
private slots:
    void settingsAreReadIntoTheRecentMenu() {
        Fixture f;
        f.system.addFile(
            kIni, crlf({"LastCheminC:\\DEPLOI\\", "ChemGestioG:\\Gestion",
                        "Lastfich 0C:\\DEPLOI\\Atelier.VTR", "Lastfich 1C:\\DEPLOI\\Bureau.VTR",
                        "Lastfich 2C:\\DEPLOI\\Bureau.VTR", "autre ligne"}));
        Workspace& ws = f.start(QStringLiteral("\"C:\\DEPLOI\\Atelier.VTR\""));
        QCOMPARE(ws.state.CurrentFilePath, QStringLiteral("C:\\DEPLOI\\Atelier.VTR"));
        Form_Load(ws);
        // The command-line file is not listed twice; other repeats reach the menu.
        QCOMPARE(ws.ouvrap[0], QStringLiteral("C:\\DEPLOI\\Atelier.VTR"));
        QCOMPARE(ws.ouvrap[1], QStringLiteral("C:\\DEPLOI\\Bureau.VTR"));
        QCOMPARE(ws.ouvrap[2], QStringLiteral("C:\\DEPLOI\\Bureau.VTR"));
        QCOMPARE(ws.ouvrap[3], QString());
        QCOMPARE(ws.state.LastFolder, kDeploi);
        QCOMPARE(ws.state.ManagementFolder, QStringLiteral("G:\\Gestion"));
    }

    void settingsAreWrittenExactly() {
        Fixture f;
        f.system.addFile(kIni, crlf({"LastChemin", "Lastfich 0C:\\DEPLOI\\Atelier.VTR",
                                     "Lastfich 1C:\\DEPLOI\\Bureau.VTR"}));
        Workspace& ws = f.start();
        Form_Load(ws);
        WriteSettings(ws);
        // An empty LastChemin is not written back.
        QCOMPARE(f.system.contents(kIni),
                 crlf({"Lastfich 0C:\\DEPLOI\\Atelier.VTR", "Lastfich 1C:\\DEPLOI\\Bureau.VTR"}));
        f.system.failWritesTo(kIni, FileError::AccessDenied);
        WriteSettings(ws);
        QCOMPARE(f.ui.last().title, QStringLiteral("Erreur d'écriture"));
        QCOMPARE(f.ui.last().text, kIni + QStringLiteral("\r\nn'est pas un nom de fichier valide"));
    }

    void moreThanElevenRecentEntriesKeepTheFirst() {
        Fixture f;
        QStringList lines;
        for (int i = 0; i < 14; ++i) {
            lines << QStringLiteral("Lastfich %1C:\\D\\f%2.VTR").arg(i % 10).arg(i);
        }
        f.system.addFile(kIni, crlf(lines));
        Workspace& ws = f.start();
        QCOMPARE(ws.state.RecentFiles[10], QStringLiteral("C:\\D\\f10.VTR"));
    }

    void recentMenuKeepsFiveDistinctPathsMostRecentFirst() {
        Fixture f;
        Workspace& ws = f.start();
        auto use = [&ws](const QString& name) {
            ws.state.CurrentFilePath = QStringLiteral("C:\\D\\") + name;
            UpdateRecentMenu(ws);
        };
        for (const char* name : {"a", "b", "c", "d", "e"}) {
            use(QString::fromLatin1(name));
        }
        use(QStringLiteral("c"));
        QCOMPARE(QStringList(ws.ouvrap.begin(), ws.ouvrap.end()),
                 (QStringList{"C:\\D\\c", "C:\\D\\e", "C:\\D\\d", "C:\\D\\b", "C:\\D\\a"}));
        use(QStringLiteral("f"));
        QCOMPARE(QStringList(ws.ouvrap.begin(), ws.ouvrap.end()),
                 (QStringList{"C:\\D\\f", "C:\\D\\c", "C:\\D\\e", "C:\\D\\d", "C:\\D\\b"}));
    }

    void workstationListLoads() {
        Fixture f;
        Workspace& ws = f.start();
        addAtelier(f.system);
        f.ui.chosenFiles = {QStringLiteral("C:\\DEPLOI\\Atelier.LPO"),
                            QStringLiteral("C:\\DEPLOI\\Atelier.LPO")};
        ChargeListePostes(ws);
        QCOMPARE(ws.lists.ListePostes.entries(), (QStringList{"PC01", "", "PC02"}));
        QCOMPARE(ws.state.WorkstationListPath, QStringLiteral("C:\\DEPLOI\\Atelier.LPO"));
        QCOMPARE(f.ui.dialogs.front().filter,
                 QStringLiteral("Fichier (.LPO)|*.LPO|Tous fichiers (*.*)|*.*"));
        ws.state.WorkstationListPath.clear();
        ParcourPoste(ws);
        QCOMPARE(ws.lists.ListePostes.entries(), (QStringList{"PC01", "PC02"}));
        QCOMPARE(ws.state.WorkstationListPath, QString());
    }

    void unreadableWorkstationListIsReported_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "C:\\DEPLOI\\absent.LPO" << QString();
        QTest::newRow("folder") << "C:\\DEPLOI"
                                << "\r\nUn dossier porte ce nom";
        QTest::newRow("cancelled") << "" << QString();
    }
    void unreadableWorkstationListIsReported() {
        QFETCH(QString, chosen);
        QFETCH(QString, reason);
        Fixture f;
        Workspace& ws = f.start();
        addAtelier(f.system);
        ws.lists.ListePostes.append(QStringLiteral("GARDE"));
        f.ui.chosenFiles = {chosen};
        ChargeListePostes(ws);
        QCOMPARE(ws.lists.ListePostes.entries(), QStringList{"GARDE"});
        QCOMPARE(f.ui.last().text,
                 chosen + QStringLiteral("\r\nn'est pas un chemin de fichier valide") + reason);
        QCOMPARE(f.ui.last().title,
                 QStringLiteral("Impossible de charger cette règle de déploiement"));
        QCOMPARE(f.ui.last().icon, Icon::Information);
    }

    // Each list saves under its own extension; no rule, no file asked for.
    void listsSaveUnderTheirOwnExtension() {
        Fixture f;
        Workspace& ws = f.start();
        f.system.addFolder(kDeploi);
        ws.lists.ListePostes.assign({"PC01", "", "PC02"});
        f.ui.chosenFiles = {QStringLiteral("C:\\DEPLOI\\Bureau.txt")};
        EnregistreLPostes(ws);
        QCOMPARE(f.system.contents(QStringLiteral("C:\\DEPLOI\\Bureau.LPO")),
                 crlf({"PC01", "PC02"}));
        QCOMPARE(ws.state.WorkstationListPath, QStringLiteral("C:\\DEPLOI\\Bureau.LPO"));

        EnregistreRègle(ws);
        QCOMPARE(f.ui.last().text, QStringLiteral("La liste Source est vide"));
        QCOMPARE(f.ui.dialogs.size(), std::size_t(1));
        ws.lists.ListeSource.assign({"C:\\a.exe", "C:\\b.exe"});
        ws.lists.ListeDest.assign({"\\P"});
        f.ui.chosenFiles = {QStringLiteral("C:\\DEPLOI\\regles.txt")};
        EnregistreRègle(ws);
        QCOMPARE(f.system.contents(QStringLiteral("C:\\DEPLOI\\regles.Rgl")),
                 crlf({"C:\\a.exe;\\P", "C:\\b.exe;"}));
        QCOMPARE(ws.state.RuleFilePath, QStringLiteral("C:\\DEPLOI\\regles.Rgl"));
    }

    void rulesLoadTrimmedSourcesAndUntrimmedDestinations() {
        Fixture f;
        Workspace& ws = f.start();
        f.system.addFile(
            QStringLiteral("C:\\R\\a.Rgl"),
            crlf({" C:\\Distrib\\a.exe ;\\Partage", "b;\\P;q ", "sans separateur", "c;\\X"}));
        ws.state.RuleFilePath = QStringLiteral("C:\\avant.Rgl");
        f.ui.chosenFiles = {QStringLiteral("C:\\R\\a.Rgl")};
        ChargeRègle(ws);
        QCOMPARE(ws.lists.ListeSource.entries(), (QStringList{"C:\\Distrib\\a.exe", "b"}));
        QCOMPARE(ws.lists.ListeDest.entries(), (QStringList{"\\Partage", "\\P;q "}));
        QCOMPARE(f.ui.last().text, QStringLiteral("sans separateur\r\nerreur dans la règle"));
        QCOMPARE(ws.state.RuleFilePath, QStringLiteral("C:\\avant.Rgl"));
    }

    void deploymentLoads() {
        Fixture f;
        Workspace& ws = f.start();
        addAtelier(f.system, {"PC01              ;   0;0/2     ", "sans point-virgule"});
        f.ui.chosenFiles = {QStringLiteral("C:\\DEPLOI\\Atelier.VTR")};
        ChargeDéploiement(ws);
        QCOMPARE(ws.lists.ListePostes.entries(), (QStringList{"PC01", "PC02"}));
        QCOMPARE(ws.lists.ListeSource.entries(),
                 (QStringList{"C:\\Distrib\\outil.exe", "C:\\Distrib\\a.ini"}));
        QCOMPARE(ws.lists.ListeDest.entries(), (QStringList{"\\Partage\\Outils", "\\P ; x"}));
        QCOMPARE(ws.lists.Listécritures.entries(), QStringList{"PC01              ;   0;0/2     "});
        QCOMPARE(ws.state.DeploymentFileName, QStringLiteral("Atelier.VTR"));
        QCOMPARE(ws.ouvrap[0], QStringLiteral("C:\\DEPLOI\\Atelier.VTR"));
        QCOMPARE(ws.caption(), QStringLiteral("Vantrel/    Atelier.VTR      1 fiches"));
        QVERIFY(f.ui.messages.empty());
    }

    void deploymentKeysAreReadOnlyInTheirOrder() {
        Fixture f;
        Workspace& ws = f.start();
        f.system.addFile(QStringLiteral("C:\\D\\x.VTR"),
                         crlf({QString::fromUtf8("LocListeRègles:C:\\D\\x.Rgl"),
                               "LocListePostes:C:\\D\\x.LPO"}));
        ws.state.CurrentFilePath = QStringLiteral("C:\\D\\x.VTR");
        LoadDeployment(ws);
        QCOMPARE(ws.state.RuleFilePath, QStringLiteral("C:\\D\\x.Rgl"));
        QCOMPARE(ws.state.WorkstationListPath, QString());
    }

    void missingFilesOfADeployment() {
        Fixture f;
        Workspace& ws = f.start();
        ws.state.CurrentFilePath = QStringLiteral("C:\\DEPLOI\\Atelier.VTR");
        QCOMPARE(LoadDeployment(ws), LoadResult::DeploymentMissing);
        QCOMPARE(f.ui.last().title,
                 QStringLiteral("Le fichier C:\\DEPLOI\\Atelier.VTR n'existe pas"));

        addAtelier(f.system);
        f.system.removeFile(QStringLiteral("C:\\DEPLOI\\Atelier.LPO"));
        QCOMPARE(LoadDeployment(ws), LoadResult::WorkstationListMissing);
        QCOMPARE(f.ui.last().title, QStringLiteral("    C:\\DEPLOI\\Atelier.LPO est introuvable"));
        QVERIFY(ws.lists.ListeSource.isEmpty());

        addAtelier(f.system);
        f.system.removeFile(QStringLiteral("C:\\DEPLOI\\Atelier.Rgl"));
        QCOMPARE(LoadDeployment(ws), LoadResult::RuleFileMissing);
        QCOMPARE(f.ui.last().text,
                 QStringLiteral("Ce chargement ne peut aboutir; charger une liste de règles\r\n"
                                "à partir du menu 'Fichier' 'Charger' 'Liste de règltes"));
        QCOMPARE(ws.lists.ListePostes.count(), 2);
    }

    void backupIsAskedAboutWithNoPreselected() {
        Fixture f;
        Workspace& ws = f.start();
        addAtelier(f.system);
        f.system.addFile(QStringLiteral("C:\\DEPLOI\\Atelier.BAK"),
                         f.system.contents(QStringLiteral("C:\\DEPLOI\\Atelier.VTR")));
        f.ui.chosenFiles = {QStringLiteral("C:\\DEPLOI\\Atelier.BAK")};
        f.ui.answers = {Answer::No};
        ChargeDéploiement(ws);
        QCOMPARE(f.ui.last().title, QStringLiteral("Fichier de sauvegarde"));
        QCOMPARE(f.ui.last().defaultAnswer, Answer::No);
        QCOMPARE(f.ui.last().icon, Icon::Critical);
        QVERIFY(ws.lists.ListePostes.isEmpty());
    }

    void savingTwiceKeepsOneBackup() {
        Fixture f;
        Workspace& ws = f.start();
        addAtelier(f.system);
        ws.state.CurrentFilePath = QStringLiteral("C:\\DEPLOI\\Atelier.VTR");
        LoadDeployment(ws);
        const QByteArray original = f.system.contents(ws.state.CurrentFilePath);
        ws.lists.Listécritures.assign({"PC01              ;   0;0/2     "});
        f.ui.defaultAnswer = Answer::No; // no list saves after the deployment
        QVERIFY(EnregistreDéploiement(ws));
        const QByteArray first = f.system.contents(QStringLiteral("C:\\DEPLOI\\Atelier.VTR"));
        QCOMPARE(first, crlf({"LocListePostes:C:\\DEPLOI\\Atelier.LPO",
                              QString::fromUtf8("LocListeRègles:C:\\DEPLOI\\Atelier.Rgl"),
                              "PC01              ;   0;0/2     "}));
        QCOMPARE(f.system.contents(QStringLiteral("C:\\DEPLOI\\Atelier.BAK")), original);
        const Message saved = f.ui.messages.at(f.ui.messages.size() - 3);
        QCOMPARE(saved.text,
                 QStringLiteral("Sauvegarde de  1 fiches\r\ndans le dossier C:\\DEPLOI\\"));
        QCOMPARE(saved.title,
                 QStringLiteral("Sauvegarde de Atelier.VTR %1 octets").arg(first.size()));
        QCOMPARE(f.ui.last().title, QStringLiteral("Enregistrer la liste des Règles"));

        ws.lists.Listécritures.clear();
        QVERIFY(EnregistreDéploiement(ws));
        QCOMPARE(f.system.contents(QStringLiteral("C:\\DEPLOI\\Atelier.BAK")), first);
    }

    // Another run saved the deployment since the window read it: the save asks to
    // overwrite, then to reload; both No (the defaults) leave everything as it is.
    void saveOverAnotherRunsSaveAsks_data() {
        QTest::addColumn<QList<int>>("answers"); // Answer values, in order
        QTest::addColumn<QString>("onDisk");     // the row the file holds after: the window's
        QTest::addColumn<QString>("shown");      // (PC01) or the other run's (PC02)
        const QString window = QStringLiteral("PC01              ;   0;0/2     ");
        const QString task = QStringLiteral("PC02              ;   0;0/2     ");
        QTest::newRow("overwrite") << QList<int>{int(Answer::Yes)} << window << window;
        QTest::newRow("reload") << QList<int>{int(Answer::No), int(Answer::Yes)} << task << task;
        QTest::newRow("neither") << QList<int>{int(Answer::No), int(Answer::No)} << task << window;
    }
    void saveOverAnotherRunsSaveAsks() {
        QFETCH(QList<int>, answers);
        QFETCH(QString, onDisk);
        QFETCH(QString, shown);
        Fixture f;
        Workspace& ws = f.start();
        addAtelier(f.system);
        ws.state.CurrentFilePath = kDeploi + QStringLiteral("Atelier.VTR");
        LoadDeployment(ws);
        f.clock.current = f.clock.current.addSecs(60);
        addAtelier(f.system, {QStringLiteral("PC02              ;   0;0/2     ")});
        ws.lists.Listécritures.assign({QStringLiteral("PC01              ;   0;0/2     ")});
        for (int answer : answers)
            f.ui.answers.push_back(Answer(answer));
        f.ui.defaultAnswer = Answer::No; // no list saves
        QCOMPARE(EnregistreDéploiement(ws), answers.size() == 1);
        QVERIFY(TextFile::decode(f.system.contents(ws.state.CurrentFilePath)).contains(onDisk));
        QCOMPARE(ws.lists.Listécritures.entries(), QStringList{shown});
        QVERIFY(f.ui.texts().first().contains(QStringLiteral("a été enregistré ailleurs")));
    }

    void failedSaveKeepsThePreviousVersionAndOffersSaveAs() {
        Fixture f;
        Workspace& ws = f.start();
        addAtelier(f.system);
        const QString vtr = QStringLiteral("C:\\DEPLOI\\Atelier.VTR");
        const QByteArray original = f.system.contents(vtr);
        ws.state.CurrentFilePath = vtr;
        LoadDeployment(ws);
        f.system.failWritesTo(vtr, FileError::DiskFull);
        f.ui.defaultAnswer = Answer::No;
        QVERIFY(!EnregistreDéploiement(ws));
        QCOMPARE(f.ui.dialogs.back().title, QStringLiteral("Enregistrer Sous"));
        QCOMPARE(f.system.contents(QStringLiteral("C:\\DEPLOI\\Atelier.BAK")), original);
        QCOMPARE(f.system.contents(vtr), original);
    }

    // Three workstations and one rule typed, then Save As (the typed extension
    // replaced): only the lists written stop counting as edits, and Close asks about
    // the rest.
    void saveAsKeepsTheEditsOfAListNotWritten_data() {
        QTest::addColumn<bool>("saveWorkstations");
        QTest::addColumn<bool>("saveRules");
        QTest::addColumn<QString>("closeAsks"); // "" when Close asks nothing
        QTest::newRow("neither") << false << false << " 4 modification(s)";
        QTest::newRow("workstations only") << true << false << " 1 modification(s)";
        QTest::newRow("rules only") << false << true << " 3 modification(s)";
        QTest::newRow("both") << true << true << "";
    }
    void saveAsKeepsTheEditsOfAListNotWritten() {
        QFETCH(bool, saveWorkstations);
        QFETCH(bool, saveRules);
        QFETCH(QString, closeAsks);
        Fixture f;
        Workspace& ws = f.start();
        f.system.addFolder(QStringLiteral("D:\\Test"));
        for (const char* name : {"PC01", "PC02", "PC03"}) {
            AjoutePoste(ws, QString::fromLatin1(name));
        }
        AjouteAdress(ws, RuleFields{QStringLiteral("C:\\a.exe"), QStringLiteral("\\P")});
        const auto answer = [](bool yes) { return yes ? Answer::Yes : Answer::No; };
        f.ui.answers = {answer(saveWorkstations), answer(saveRules)};
        f.ui.chosenFiles = {QStringLiteral("D:\\Test\\Bureau.txt")};
        for (bool saved : {saveWorkstations, saveRules}) {
            if (saved) {
                f.ui.chosenFiles.push_back(QStringLiteral("D:\\Test\\Bureau"));
            }
        }
        QVERIFY(Enregistrersous(ws));
        QVERIFY(f.system.exists(QStringLiteral("D:\\Test\\Bureau.VTR")));
        QCOMPARE(ws.ouvrap[0], QStringLiteral("D:\\Test\\Bureau.VTR"));
        QCOMPARE(ws.caption(), QStringLiteral("Vantrel/    Bureau.VTR      0 fiches"));
        QCOMPARE(f.system.exists(QStringLiteral("D:\\Test\\Bureau.LPO")), saveWorkstations);
        QCOMPARE(f.system.exists(QStringLiteral("D:\\Test\\Bureau.Rgl")), saveRules);
        const std::size_t shown = f.ui.messages.size();
        f.ui.answers = {Answer::No};
        fermer_Click(ws);
        if (closeAsks.isEmpty()) {
            QCOMPARE(f.ui.messages.size(), shown);
            return;
        }
        QVERIFY(f.ui.last().text.startsWith(closeAsks + QStringLiteral("\r\n")));
        QCOMPARE(ws.state.DeploymentFileName, QStringLiteral("Bureau.VTR")); // still open
    }

    // Foreign bytes load as lines; what would take far more memory as lines than as
    // bytes is refused with its reason, the lists left as they were.
    void foreignFilesLoadWithoutHarm_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason"); // "" when it loads
        const QString notText = describe(FileError::NotWindows1252);
        QTest::newRow("control bytes") << QByteArray("\x01\x1A\xFF\r\n\x7Fzz", 8) << "";
        QTest::newRow("binary") << QByteArray("\x01\xFF\r\n\x00zz", 7) << notText;
        QTest::newRow("UTF-16 LE") << QByteArray("\xFF\xFEP\0C\0\x30\0\x31\0", 10) << notText;
        QTest::newRow("UTF-16 LE, no byte order mark")
            << QByteArray("P\0C\0\x30\0\x31\0\r\0\n\0", 12) << notText;
        QTest::newRow("UTF-16 BE, only a mark and non-Latin text")
            << QByteArray("\xFE\xFF\x4E\x2D\x65\x87", 6) << notText;
        QTest::newRow("a lone NUL at the end") << QByteArray("PC01\r\nPC02\0", 11) << notText;
        QTest::newRow("longest line") << QByteArray(65536, 'x') << "";
        QTest::newRow("line too long")
            << QByteArray(65537, 'x') << "Ligne trop longue : plus de 65 536 caractères";
        QTest::newRow("most lines") << QByteArray(100002, '\n') << "";
        QTest::newRow("too many lines")
            << QByteArray(100003, '\n') << "Trop de lignes pour ce genre de fichier";
        QTest::newRow("50 MB line") << QByteArray(50 * 1024 * 1024, 'y').replace(0, 2, "\r\n")
                                    << "Ligne trop longue : plus de 65 536 caractères";
    }
    void foreignFilesLoadWithoutHarm() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        Fixture f;
        Workspace& ws = f.start();
        f.system.addFile(QStringLiteral("C:\\D\\x.VTR"), bytes);
        f.system.addFile(QStringLiteral("C:\\D\\x.LPO"), bytes);
        f.ui.chosenFiles = {QStringLiteral("C:\\D\\x.VTR"), QStringLiteral("C:\\D\\x.LPO")};
        ChargeDéploiement(ws);
        if (!reason.isEmpty()) {
            QCOMPARE(f.ui.last().title, QStringLiteral("    C:\\D\\x.VTR ne peut être chargé"));
            QVERIFY(f.ui.last().text.endsWith(QStringLiteral("\r\n") + reason));
            ChargeListePostes(ws);
            QVERIFY(f.ui.last().text.endsWith(QStringLiteral("\r\n") + reason));
            QVERIFY(ws.lists.ListePostes.isEmpty());
            return;
        }
        QCOMPARE(f.ui.last().title, QStringLiteral("     est introuvable")); // no key lines
        ChargeListePostes(ws);
        QCOMPARE(ws.lists.ListePostes.count(),
                 TextFile::splitLines(TextFile::decode(bytes)).size());
    }

    // A rule file holds at most a thousand rules.
    void ruleFileLimits() {
        Fixture f;
        Workspace& ws = f.start();
        QStringList rules;
        for (int i = 0; i < 1001; ++i) {
            rules << QStringLiteral("C:\\s%1.exe;\\P").arg(i);
        }
        f.system.addFile(QStringLiteral("C:\\D\\mille.Rgl"), crlf(rules.mid(0, 1000)));
        f.system.addFile(QStringLiteral("C:\\D\\trop.Rgl"), crlf(rules));
        f.ui.chosenFiles = {QStringLiteral("C:\\D\\mille.Rgl"), QStringLiteral("C:\\D\\trop.Rgl")};
        ChargeRègle(ws);
        QCOMPARE(ws.lists.ListeSource.count(), 1000);
        ChargeRègle(ws);
        QVERIFY(
            f.ui.last().text.endsWith(QStringLiteral("Trop de lignes pour ce genre de fichier")));
        QCOMPARE(ws.lists.ListeSource.count(), 1000);
    }

    void startWithoutAProgramFolder_data() {
        QTest::addColumn<QString>("programPath");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("unknown") << "" << QStringList{"Vantrel", "Erreur dans Sub main"};
        QTest::newRow("too short") << "C:\\v.exe" << QStringList{"Erreur dans Sub main"};
    }
    void startWithoutAProgramFolder() {
        QFETCH(QString, programPath);
        QFETCH(QStringList, titles);
        Fixture f;
        f.system.programPathAnswer = programPath;
        f.ui.messages.clear();
        f.ws = std::make_unique<Workspace>(f.platform);
        StartProgram(*f.ws, QString());
        QCOMPARE(f.ui.titles(), titles);
        QCOMPARE(f.ui.last().text,
                 QStringLiteral("Localisation du programme: '' invalide\r\nVantrel n'est pas "
                                "installé au sens Windows"));
        QCOMPARE(f.state().ProgramDir, QString());
    }

    void lowScreenAndMissingHelpAreReported() {
        Fixture f;
        f.ui.screen = QSize(640 * 15, 480 * 15);
        f.system.removeFile(QStringLiteral("C:\\Prog\\Vantrel\\_Vantrel.VTR"));
        f.ws = std::make_unique<Workspace>(f.platform);
        StartProgram(*f.ws, QString());
        FinishStart(*f.ws);
        QCOMPARE(f.ui.titles(), (QStringList{"Votre écran a une résolution de 640x400",
                                             "Erreur non fatale mais il manque des fichiers"}));
        QCOMPARE(f.ui.last().text,
                 QStringLiteral("Fichier(s) manquant(s): dans le dossier de Vantrel\r\n"
                                "C:\\Prog\\Vantrel\\_Vantrel.VTR (fichier d'aide)\r\n"));
    }

    // Close and Quit ask only about edits or a pass's rows not saved; No (the default,
    // as Enter answers) keeps the rows, the deployment and the settings as they were.
    void closeOrQuitAsksAboutWhatIsUnsaved_data() {
        QTest::addColumn<bool>("quit");
        QTest::addColumn<int>("edits");
        QTest::addColumn<bool>("passRows");
        QTest::addColumn<QString>("asked"); // "" when nothing is asked
        QTest::newRow("close, nothing unsaved") << false << 0 << false << "";
        QTest::newRow("close, a pass's rows")
            << false << 0 << true << "Les résultats de la dernière passe ne sont pas enregistrés";
        QTest::newRow("quit, an edit") << true << 1 << false << " 1 modification(s)";
    }
    void closeOrQuitAsksAboutWhatIsUnsaved() {
        QFETCH(bool, quit);
        QFETCH(int, edits);
        QFETCH(bool, passRows);
        QFETCH(QString, asked);
        Fixture f;
        Workspace& ws = f.start();
        ws.lists.ListePostes.append(QStringLiteral("PC01"));
        ws.lists.Listécritures.append(QStringLiteral("PC01              ;   0;0/1     "));
        ws.state.DeploymentFileName = QStringLiteral("Atelier.VTR");
        ws.state.ModifiedCount = qint16(edits);
        ws.state.unsavedResults = passRows;
        f.ui.answers = {Answer::No};
        quit ? Quit_Click(ws) : fermer_Click(ws);
        QCOMPARE(ws.lists.ListePostes.count(), 1);
        if (asked.isEmpty()) {
            QVERIFY(f.ui.messages.empty());
            QVERIFY(ws.lists.Listécritures.isEmpty());
            QCOMPARE(ws.state.DeploymentFileName, QString());
            return;
        }
        QCOMPARE(f.ui.last().text, asked + QStringLiteral("\r\nVous allez perdre des données\r\n"
                                                          "Voulez vous Continuer & quitter"));
        QCOMPARE(f.ui.last().defaultAnswer, Answer::No);
        QCOMPARE(ws.lists.Listécritures.count(), 1);
        QCOMPARE(ws.state.DeploymentFileName, QStringLiteral("Atelier.VTR"));
        QVERIFY(!f.system.exists(settingsFilePath(ws)));
    }

    void recentEntryWhoseFileIsGone() {
        Fixture f;
        Workspace& ws = f.start();
        ws.setRecentCaption(0, QStringLiteral("C:\\DEPLOI\\Parti.VTR"));
        ouvrap_Click(ws, 0);
        QCOMPARE(ws.state.CurrentFilePath, QString());
        QCOMPARE(f.ui.last().title, QStringLiteral("Le fichier  n'existe pas"));
    }

    // Text, paths and lists under the documents.
    void windows1252RoundTrip() {
        const QByteArray bytes("\x80\x81\x8C\x9C\xE9\xE0\xFF", 7);
        const QString text = TextFile::decode(bytes);
        QCOMPARE(text, QString::fromUtf8("\u20AC\u0081\u0152\u0153éàÿ"));
        QCOMPARE(TextFile::encode(text), bytes);
        QCOMPARE(TextFile::encode(QString::fromUtf8("a→b")), QByteArray("a?b"));
    }

    // The program's own name beside a file: whole when it fits, else the file's name cut
    // at its end to 255 UTF-16 units and 255 bytes of UTF-8, never in a surrogate pair.
    void besideWithSuffix_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<int>("kept"); // UTF-16 units of name kept
        const QString mark = QStringLiteral(".vantrel-partiel");
        QTest::newRow("short") << "outil.exe" << mark << 9;
        QTest::newRow("fits exactly") << QString(239, u'n') << mark << 239;
        QTest::newRow("one too many") << QString(240, u'n') << mark << 239;
        QTest::newRow("longest Windows name") << QString(255, u'n') << mark << 239;
        QTest::newRow("no suffix") << QString(300, u'n') << QString() << 255;
        QTest::newRow("two-byte letters") << QString(200, u'\u00E9') << mark << 119;
        QTest::newRow("a pair not split")
            << QString(4, u'n') + QString::fromUtf8("\U0001F600").repeated(70) << mark << 120;
    }
    void besideWithSuffix() {
        QFETCH(QString, name);
        QFETCH(QString, suffix);
        QFETCH(int, kept);
        const QString folder = QStringLiteral("\\\\PC01\\C$\\Outils\\");
        QCOMPARE(vantrel::besideWithSuffix(folder + name, suffix),
                 folder + name.left(kept) + suffix);
    }

    void splitLines_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("crlf") << "a\r\nb\r\n" << QStringList{"a", "b"};
        QTest::newRow("lone lf") << "a\nb" << QStringList{"a", "b"};
        QTest::newRow("lone cr") << "a\rb" << QStringList{"a", "b"};
        QTest::newRow("empty middle") << "a\r\n\r\nb" << QStringList{"a", "", "b"};
        QTest::newRow("no text") << "" << QStringList{};
        QTest::newRow("only end") << "\r\n" << QStringList{""};
    }
    void splitLines() {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(TextFile::splitLines(text), lines);
    }

    void leadingNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "12" << 12.0;
        QTest::newRow("blanks and text") << "   25abc" << 25.0;
        QTest::newRow("no number") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("negative") << "-3" << -3.0;
        QTest::newRow("decimals") << " 2.5mn" << 2.5;
        QTest::newRow("hash") << "####" << 0.0;
    }
    void leadingNumber() {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(vantrel::leadingNumber(text), value);
    }

    void numberText() {
        QCOMPARE(vantrel::numberText(3), QStringLiteral(" 3"));
        QCOMPARE(vantrel::numberText(0), QStringLiteral(" 0"));
        QCOMPARE(vantrel::numberText(-2), QStringLiteral("-2"));
    }

    void stripChar() {
        QString text = QStringLiteral("\"\"C:\\a \"b\".VTR\"");
        StripChar(text, QLatin1Char('"'));
        QCOMPARE(text, QStringLiteral("C:\\a \"b\".VTR"));
    }

    // Each pair: the key typed, then what the field receives.
    void keyFilter_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("received");
        for (const QString pair : {"bB", "BB", "é2", "&1", "à0", "77", "*-", ",.", ";.", "?X"})
            QTest::newRow(qPrintable(pair.left(1))) << pair.left(1) << pair.mid(1);
    }
    void keyFilter() {
        QFETCH(QString, typed);
        QFETCH(QString, received);
        QCOMPARE(QString(KeyFilter(typed.at(0))), received);
    }

    void splitFilePath_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("ext");
        QTest::addColumn<bool>("renamed");
        const struct {
            const char *name, *path, *folder, *base, *ext;
            bool renamed;
        } rows[] = {
            {"full", "C:\\DEPLOI\\Atelier.VTR", "C:\\DEPLOI\\", "Atelier", ".VTR", false},
            {"no folder keeps previous", "Atelier.VTR", "C:\\AVANT\\", "Atelier", ".VTR", false},
            {"dot in folder only", "C:\\a.b\\fichier", "C:\\a.b\\", "fichier", "", false},
            {"leading dot", "C:\\DEPLOI\\.profil", "C:\\DEPLOI\\", ".profil", "", false},
            {"forbidden", "C:\\DEPLOI\\Essai?<1>.VTR", "C:\\DEPLOI\\", "Essai--1-", ".VTR", true},
            {"leading backslash only", "\\nom.txt", "C:\\AVANT\\", "\\nom", ".txt", false},
        };
        for (const auto& r : rows)
            QTest::newRow(r.name) << QString::fromUtf8(r.path) << QString::fromUtf8(r.folder)
                                  << QString::fromUtf8(r.base) << QString::fromUtf8(r.ext)
                                  << r.renamed;
    }
    void splitFilePath() {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        QFETCH(QString, base);
        QFETCH(QString, ext);
        QFETCH(bool, renamed);
        Fixture f;
        f.state().PathFolder = QStringLiteral("C:\\AVANT\\");
        SplitFilePath(*f.ws, path);
        QCOMPARE(f.state().PathFolder, folder);
        QCOMPARE(f.state().PathBaseName, base);
        QCOMPARE(f.state().PathExt, ext);
        QCOMPARE(f.ui.messages.size(), std::size_t(renamed ? 1 : 0));
        if (renamed) {
            QCOMPARE(
                f.ui.last().title,
                QStringLiteral("Le nom du fichier comportait des caractères interdits (?,*,<,>"));
            QCOMPARE(f.ui.last().text, QStringLiteral("Le nom a été modifié de: \r\n") + path +
                                           QStringLiteral("  en: \r\nEssai--1-.VTR"));
        }
    }

    // The lists are models that views bind to: the rows they announce must be the rows
    // they hold, and a selection survives only the removals that leave it in place.
    void removalKeepsOrMovesOrDropsTheSelection_data() {
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("removed");
        QTest::addColumn<int>("kept");
        QTest::newRow("below the selection") << 1 << 2 << 1;
        QTest::newRow("above the selection") << 2 << 0 << 1;
        QTest::newRow("the selection itself") << 1 << 1 << -1;
        QTest::newRow("out of range") << 1 << 3 << 1;
        QTest::newRow("negative") << 1 << -1 << 1;
    }
    void removalKeepsOrMovesOrDropsTheSelection() {
        QFETCH(int, selected);
        QFETCH(int, removed);
        QFETCH(int, kept);
        StringList list;
        QAbstractItemModelTester tester(&list,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        list.assign({"PC01", "PC02", "PC03"});
        list.setSelected(selected);
        QSignalSpy rowsRemoved(&list, &StringList::rowsRemoved);
        list.removeAt(removed);
        QCOMPARE(list.selected(), kept);
        QCOMPARE(rowsRemoved.count(), removed >= 0 && removed < 3 ? 1 : 0);
        QCOMPARE(list.rowCount(), list.count());
    }

    // A view moving its current row while rows go is no choice of the operator's.
    void viewsCannotSelectWhileRowsChange() {
        StringList list;
        list.assign({"PC01", "PC02"});
        list.setSelected(0);
        connect(&list, &StringList::rowsRemoved, &list, [&list] { list.setSelected(0); });
        connect(&list, &StringList::modelReset, &list, [&list] { list.setSelected(0); });
        list.removeAt(0);
        QCOMPARE(list.selected(), -1);
        list.setSelected(0);
        list.assign({"PC03", "PC04"});
        QCOMPARE(list.selected(), -1);
    }

    void selectionIsBoundedAndAnnouncedOnce() {
        StringList list;
        list.assign({"PC01", "PC02"});
        QSignalSpy changed(&list, &StringList::selectionChanged);
        list.setSelected(5);
        QCOMPARE(list.selected(), -1);
        list.setSelected(1);
        list.setSelected(1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(list.data(list.index(1)).toString(), QStringLiteral("PC02"));
        QVERIFY(!list.data(list.index(1), Qt::DecorationRole).isValid());
    }
};

QTEST_GUILESS_MAIN(DocumentsTest)
#include "tst_documents.moc"
