#include "core/Settings.h"
#include "core/TextFile.h"
#include "documents/DeploymentFile.h"
#include "documents/Lifecycle.h"
#include "support/FakePlatform.h"
#include <QTest>

using namespace vantrel;
using namespace vantrel::test;

class LifecycleTest : public QObject {
    Q_OBJECT
private slots:
    void startFindsTheProgramFolder() {
        Fixture f;
        Workspace& ws = f.start();
        QCOMPARE(ws.state.ProgramDir, QStringLiteral("C:\\Prog\\Vantrel\\"));
        QCOMPARE(ws.state.NameColumnWidth, qint16(18));
        QVERIFY(f.ui.messages.empty());
        RefreshCaption(ws);
        QCOMPARE(ws.caption(), QStringLiteral("Vantrel/          0 fiches"));
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

    void windowCloseWithThreeEdits() {
        Fixture f;
        Workspace& ws = f.start();
        ws.state.DeploymentFileName = QStringLiteral("Atelier.VTR");
        ws.state.ModifiedCount = 3;
        bool ended = false;
        QObject::connect(&ws, &Workspace::endRequested, [&ended] { ended = true; });
        f.ui.answers = {Answer::No, Answer::Yes};
        QVERIFY(!Form_QueryUnload(ws));
        QCOMPARE(f.ui.last().text, QStringLiteral(" 3 modification(s)\r\nVous allez perdre des "
                                                  "données\r\nVoulez vous Continuer & quitter"));
        QCOMPARE(f.ui.last().title, QStringLiteral("Le fichier Atelier.VTR a été modifié "));
        QVERIFY(Form_QueryUnload(ws));
        Form_Unload(ws);
        QVERIFY(ended);
        QVERIFY(f.system.exists(settingsFilePath(ws)));
        QCOMPARE(f.ui.messages.size(), std::size_t(2));
    }

    void recentEntryWhoseFileIsGone() {
        Fixture f;
        Workspace& ws = f.start();
        ws.setRecentCaption(0, QStringLiteral("C:\\DEPLOI\\Parti.VTR"));
        ouvrap_Click(ws, 0);
        QCOMPARE(ws.state.CurrentFilePath, QString());
        QCOMPARE(f.ui.last().title, QStringLiteral("Le fichier  n'existe pas"));
    }
};

QTEST_GUILESS_MAIN(LifecycleTest)
#include "tst_lifecycle.moc"
