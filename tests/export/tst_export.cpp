#include "export/ListExport.h"
#include "support/FakePlatform.h"
#include <QTest>

using namespace vantrel;
using namespace vantrel::test;

class ExportTest : public QObject {
    Q_OBJECT
private slots:
    void shownListGoesToClipboardAndTemporaryFiles() {
        Fixture f;
        Workspace& ws = f.start();
        ws.lists.L_GénéErreurs.assign({"PC03;PingFail", "PC02;;x"});
        généErreurs(ws);
        QVERIFY(ws.lists.ListExport.isVisible());

        Versclipboard(ws);
        QCOMPARE(f.ui.clipboard, QStringLiteral("PC03;PingFail\r\nPC02;;x\r\n"));

        f.ui.clipboard.clear();
        QByteArray written;
        f.clock.onPause = [&f, &written](double) {
            written = f.system.contents(QStringLiteral("tempo.txt"));
        };
        VoirErreursnotepad(ws);
        QCOMPARE(written, QByteArray("PC03;PingFail\r\nPC02;;x\r\n\r\n"));
        QCOMPARE(f.system.commands.last(), QStringLiteral("notepad.exe tempo.txt"));
        QCOMPARE(f.clock.pausedSeconds, 5.0);
        QVERIFY(!f.system.exists(QStringLiteral("tempo.txt")));
        QCOMPARE(f.ui.clipboard, QStringLiteral("PC03;PingFail\r\nPC02;;x\r\n"));
    }

    // The spreadsheet is the program .xls is associated with; without one, it is said.
    void spreadsheetExportUsesTheAssociatedProgram() {
        Fixture f;
        Workspace& ws = f.start();
        ws.lists.L_PostesFail.assign({"PC03;PingFail"});
        erreursPing(ws);
        dansTableur(ws);
        QCOMPARE(f.ui.titles(), (QStringList{"Vantrel", "Programme introuvable"}));
        QCOMPARE(f.ui.messages.front().text,
                 QStringLiteral("il n'y a pas de programme associé à l'extension.xls"));
        f.system.associations[QStringLiteral(".xls")] = QStringLiteral("C:\\Office\\tableur.exe");
        f.clock.onPause = [&f](double) { QVERIFY(f.system.exists(QStringLiteral("tempo.xls"))); };
        dansTableur(ws);
        QCOMPARE(f.system.commands.last(), QStringLiteral("C:\\Office\\tableur.exe tempo.xls"));
        QVERIFY(!f.system.exists(QStringLiteral("tempo.xls")));
    }

    void hiddenOrEmptyListIsNotExported_data() {
        QTest::addColumn<bool>("hide");
        QTest::newRow("never shown") << false;
        QTest::newRow("hidden") << true;
    }
    void hiddenOrEmptyListIsNotExported() {
        QFETCH(bool, hide);
        Fixture f;
        Workspace& ws = f.start();
        if (hide) {
            ws.lists.L_PostesFail.assign({"PC03;PingFail"});
            erreursPing(ws);
            ws.lists.ListExport.setVisible(false);
        }
        for (auto handler : {&Versclipboard, &VoirErreursnotepad, &dansTableur}) {
            handler(ws);
            QCOMPARE(f.ui.last().text, QStringLiteral("Liste vide"));
            QCOMPARE(f.ui.last().title, QStringLiteral("Rien à copier"));
        }
        QCOMPARE(f.ui.messages.size(), std::size_t(3));
        QVERIFY(f.system.commands.isEmpty());
    }
};

QTEST_GUILESS_MAIN(ExportTest)
#include "tst_export.moc"
