#include "core/Settings.h"
#include "core/TextFile.h"
#include "documents/DeploymentFile.h"
#include "documents/Lifecycle.h"
#include "documents/ListEditing.h"
#include "documents/ListFiles.h"
#include "support/FakePlatform.h"
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

    void settingsThatCannotBeWrittenAreReported() {
        Fixture f;
        Workspace& ws = f.start();
        f.system.failWritesTo(kIni, FileError::AccessDenied);
        WriteSettings(ws);
        QCOMPARE(f.ui.last().title, QStringLiteral("Erreur d'écriture"));
        QCOMPARE(f.ui.last().text, kIni + QStringLiteral("\r\nn'est pas un nom de fichier valide"));
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
        QTest::newRow("missing") << "C:\\DEPLOI\\absent.LPO"
                                 << "";
        QTest::newRow("folder") << "C:\\DEPLOI"
                                << "\r\nUn dossier porte ce nom";
        QTest::newRow("cancelled") << ""
                                   << "";
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

    void workstationListSavesUnderItsOwnExtension() {
        Fixture f;
        Workspace& ws = f.start();
        f.system.addFolder(kDeploi);
        ws.lists.ListePostes.assign({"PC01", "", "PC02"});
        f.ui.chosenFiles = {QStringLiteral("C:\\DEPLOI\\Bureau.txt")};
        EnregistreLPostes(ws);
        QCOMPARE(f.system.contents(QStringLiteral("C:\\DEPLOI\\Bureau.LPO")),
                 crlf({"PC01", "PC02"}));
        QCOMPARE(ws.state.WorkstationListPath, QStringLiteral("C:\\DEPLOI\\Bureau.LPO"));
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

    void rulesSave() {
        Fixture f;
        Workspace& ws = f.start();
        f.system.addFolder(kDeploi);
        EnregistreRègle(ws);
        QCOMPARE(f.ui.last().text, QStringLiteral("La liste Source est vide"));
        QVERIFY(f.ui.dialogs.empty());

        ws.lists.ListeSource.assign({"C:\\a.exe", "C:\\b.exe"});
        ws.lists.ListeDest.assign({"\\P"});
        f.ui.chosenFiles = {QStringLiteral("C:\\DEPLOI\\regles.txt")};
        EnregistreRègle(ws);
        QCOMPARE(f.system.contents(QStringLiteral("C:\\DEPLOI\\regles.Rgl")),
                 crlf({"C:\\a.exe;\\P", "C:\\b.exe;"}));
        QCOMPARE(ws.state.RuleFilePath, QStringLiteral("C:\\DEPLOI\\regles.Rgl"));
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

    void saveAsReplacesTheTypedExtension() {
        Fixture f;
        Workspace& ws = f.start();
        f.system.addFolder(QStringLiteral("D:\\Test"));
        ws.lists.ListePostes.append(QStringLiteral("PC01"));
        f.ui.chosenFiles = {QStringLiteral("D:\\Test\\Bureau.txt")};
        f.ui.defaultAnswer = Answer::No;
        QVERIFY(Enregistrersous(ws));
        QVERIFY(f.system.exists(QStringLiteral("D:\\Test\\Bureau.VTR")));
        QCOMPARE(ws.state.DeploymentFileName, QStringLiteral("Bureau.VTR"));
        QCOMPARE(ws.ouvrap[0], QStringLiteral("D:\\Test\\Bureau.VTR"));
        QCOMPARE(ws.caption(), QStringLiteral("Vantrel/    Bureau.VTR      0 fiches"));
    }

    // Three workstations and one rule typed, then Save As: only the lists written stop
    // counting as edits, and Close asks about the rest.
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
        f.ui.chosenFiles = {QStringLiteral("D:\\Test\\Bureau.VTR")};
        for (bool saved : {saveWorkstations, saveRules}) {
            if (saved) {
                f.ui.chosenFiles.push_back(QStringLiteral("D:\\Test\\Bureau"));
            }
        }
        QVERIFY(Enregistrersous(ws));
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
};

QTEST_GUILESS_MAIN(DocumentsTest)
#include "tst_documents.moc"
