#include "core/Lifecycle.h"
#include "mainwindow/Form1.h"
#include "mainwindow/Form1Layout.h"
#include "support/FakePlatform.h"
#include "support/TestMain.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

using namespace vantrel;
using namespace vantrel::test;

namespace {

struct Window : Fixture {
    std::unique_ptr<Form1> form;
    Window() {
        start();
        form = std::make_unique<Form1>(*ws);
        form->load();
        form->show();
    }
    template <typename T> T* find(const QString& name) { return form->findChild<T*>(name); }
    QAction* action(const QString& name) { return find<QAction>(name); }
    QMenu* menu(const QString& name) { return find<QMenu>(name); }
    void openMenu(const QString& name) { emit menu(name)->aboutToShow(); }
    void click(const QString& button) {
        QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton);
    }
    void clickRow(const QString& list, int row) {
        QListView* view = find<QListView>(list);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(row, 0)).center());
    }
};

QStringList captions(QMenu* menu) {
    QStringList all;
    for (QAction* a : menu->actions()) {
        all.append(a->isSeparator() ? QStringLiteral("-") : a->text());
    }
    return all;
}

} // namespace

class Form1Test : public QObject {
    Q_OBJECT
private slots:
    void startsWithItsCaptionAndFileMenu() {
        Window w;
        QCOMPARE(w.form->windowTitle(), QStringLiteral("Vantrel/          0 fiches"));
        QCOMPARE(captions(w.menu(QStringLiteral("Fichier"))),
                 (QStringList{"Charger", "Enregistrer", "Enregistrer Sous", "-", "&Fermer",
                              "Quitter", "-", "", "", "", "", ""}));
        QCOMPARE(
            captions(w.menu(QStringLiteral("ùCharg"))),
            (QStringList{"un déploiement", "une liste de postes", "une règle de déploiement"}));
        QCOMPARE(w.form->menuBar()->actions().size(), 4);
        QVERIFY(!w.action(QStringLiteral("ouvrap0"))->isVisible());
        w.ws->setRecentCaption(0, QStringLiteral("C:\\DEPLOI\\Atelier.VTR"));
        QVERIFY(w.action(QStringLiteral("ouvrap0"))->isVisible());
        QCOMPARE(w.action(QStringLiteral("ouvrap0"))->text(),
                 QStringLiteral("C:\\DEPLOI\\Atelier.VTR"));
    }

    void workstationEditing() {
        Window w;
        auto* field = w.find<QLineEdit>(QStringLiteral("NomPoste"));
        field->setText(QStringLiteral(" PC01 "));
        w.click(QStringLiteral("AjoutePoste"));
        field->setText(QStringLiteral("   "));
        w.click(QStringLiteral("AjoutePoste"));
        QCOMPARE(w.ui.last().text,
                 QStringLiteral("Le champs de saisie doit contenir des caractères visibles"));
        QCOMPARE(w.lists().ListePostes.entries(), QStringList{" PC01 "});
        QCOMPARE(w.state().ModifiedCount, qint16(1));

        w.click(QStringLiteral("SupprimePoste")); // no selection: the counter still rises
        QCOMPARE(w.state().ModifiedCount, qint16(2));
        w.clickRow(QStringLiteral("ListePostes"), 0);
        QTest::keyClick(w.find<QListView>(QStringLiteral("ListePostes")), Qt::Key_Delete);
        QVERIFY(w.lists().ListePostes.isEmpty());
        QCOMPARE(w.state().ModifiedCount, qint16(3));
    }

    void ruleListsStayInStep() {
        Window w;
        auto* source = w.find<QLineEdit>(QStringLiteral("saisieSource"));
        auto* destination = w.find<QLineEdit>(QStringLiteral("saisieDest"));
        for (int i = 0; i < 3; ++i) {
            source->setText(QStringLiteral("C:\\s%1.exe").arg(i));
            destination->setText(QStringLiteral("\\d%1").arg(i));
            w.click(QStringLiteral("AjouteAdress"));
        }
        QTest::keyClick(w.find<QListView>(QStringLiteral("ListeDest")), Qt::Key_Delete);
        QCOMPARE(w.lists().ListeSource.count(), 3);

        w.clickRow(QStringLiteral("ListeDest"), 2);
        QCOMPARE(w.lists().ListeSource.selected(), 2);
        w.click(QStringLiteral("SuppAdress"));
        QCOMPARE(w.lists().ListeSource.entries(), (QStringList{"C:\\s0.exe", "C:\\s1.exe"}));
        QCOMPARE(w.lists().ListeDest.entries(), (QStringList{"\\d0", "\\d1"}));

        w.clickRow(QStringLiteral("ListeSource"), 0);
        QTest::mouseDClick(w.find<QListView>(QStringLiteral("ListeSource"))->viewport(),
                           Qt::LeftButton, {},
                           w.find<QListView>(QStringLiteral("ListeSource"))
                               ->visualRect(w.lists().ListeSource.index(0))
                               .center());
        QCOMPARE(source->text(), QStringLiteral("C:\\s0.exe"));
        QCOMPARE(destination->text(), QStringLiteral("\\d0"));
    }

    void menuEnablingRules() {
        Window w;
        w.openMenu(QStringLiteral("ùEnreg"));
        QVERIFY(!w.action(QStringLiteral("EnregistreDéploiement"))->isEnabled());
        w.lists().ListePostes.append(QStringLiteral("PC01"));
        w.openMenu(QStringLiteral("ùEnreg"));
        QVERIFY(w.action(QStringLiteral("EnregistreRègle"))->isEnabled());

        QAction* exportMenu = w.menu(QStringLiteral("Exportliste"))->menuAction();
        w.openMenu(QStringLiteral("zListes"));
        QVERIFY(!exportMenu->isEnabled());
        w.lists().L_PostesFail.append(QStringLiteral("PC03;PingFail"));
        w.action(QStringLiteral("erreursPing"))->trigger();
        QVERIFY(w.find<QListView>(QStringLiteral("ListExport"))->isVisible());
        w.openMenu(QStringLiteral("zListes"));
        QVERIFY(exportMenu->isEnabled());
        QVERIFY(w.action(QStringLiteral("masqerreurs"))->isEnabled());
        w.action(QStringLiteral("masqerreurs"))->trigger();
        w.openMenu(QStringLiteral("zListes"));
        QVERIFY(!exportMenu->isEnabled());
        QVERIFY(!w.find<QListView>(QStringLiteral("ListExport"))->isVisible());
    }

    void retryFieldsFollowTheBox() {
        Window w;
        auto* delay = w.find<QLineEdit>(QStringLiteral("Délai"));
        QVERIFY(!delay->isVisible());
        const int boardTop = w.form->layout().boardTop();
        QTest::mouseClick(w.find<QCheckBox>(QStringLiteral("Récursif")), Qt::LeftButton);
        QVERIFY(delay->isVisible());
        QVERIFY(w.form->layout().boardTop() > boardTop);
        QCOMPARE(w.ui.last().text, QStringLiteral("Attention liste de postes vide"));
        delay->selectAll();
        QTest::keyClicks(delay, QStringLiteral("250"));
        QCOMPARE(delay->text(), QStringLiteral("180"));
        QCOMPARE(w.ws->controls.Délai(), QStringLiteral("180"));
    }

    void deploymentButtonRunsAPass() {
        Window w;
        w.state().WorkstationListPath = QStringLiteral("C:\\a.LPO");
        w.lists().ListePostes.append(QStringLiteral("PC01"));
        w.system.pingTranscripts[QStringLiteral("PC01")] = "(perte 0%),";
        w.click(QStringLiteral("Télédéploiement"));
        QCOMPARE(w.lists().Listécritures.entries(),
                 QStringList{"PC01              ;   0;  Void  "});
        QVERIFY(!w.ws->passRunning());
    }

    void layoutAtStartAndOnResize() {
        using L = Form1Layout;
        L layout;
        layout.placeAtStart(QSize(28800, 16200));
        const auto right = [&layout](L::Control c) { return layout[c].left() + layout[c].width(); };
        QCOMPARE(layout[L::ParcourDest].left(), right(L::ParcourSource) + 200);
        QCOMPARE(layout[L::NomPoste].top(), 300 + 375 + 50);
        QCOMPARE(layout[L::ListeSource].height(), 16200 - layout[L::ListeSource].top() - 2000);
        QCOMPARE(layout[L::ListePostes].height(), layout[L::ListeSource].height());
        QCOMPARE(layout[L::Télédéploiement].left(), right(L::ListeDest) + 1000);
        QCOMPARE(layout[L::Différé].left(), right(L::Récursif) + 150);
        QCOMPARE(layout[L::Shape3].width(),
                 right(L::Tentative) - layout[L::Télédéploiement].left() + 250);
        QCOMPARE(layout[L::Shape3].height(),
                 layout[L::Récursif].top() + layout[L::Récursif].height() + 50);
        QCOMPARE(layout.boardTop(), layout[L::Shape3].top() + layout[L::Shape3].height() + 100);
        QCOMPARE(layout[L::ListExport].width(), 28800 - layout[L::ListExport].left() - 1000);
        layout.setRetryFieldsShown(true);
        QCOMPARE(layout[L::Shape3].height(),
                 layout[L::Nbessais].top() + layout[L::Nbessais].height() + 150);

        QVERIFY(layout.resize(9000));
        QCOMPARE(layout[L::ListeDest].height(), 9000 - layout[L::ListeDest].top() - 1000);
        QCOMPARE(layout[L::Shape2].height(), 9000 - layout[L::Shape1].top() - 950);
        QVERIFY(!layout.resize(9000));
        const QRect before = layout[L::ListePostes];
        QVERIFY(!layout.resize(layout[L::ListePostes].top() + 999)); // too low: unchanged
        QCOMPARE(layout[L::ListePostes], before);
    }

    void toolsMenu() {
        Window w;
        w.system.onCommand = [](const QString&) { return false; };
        w.action(QStringLiteral("calculette"))->trigger();
        QCOMPARE(w.ui.last().text, QStringLiteral("Calculette introuvable"));
        QCOMPARE(w.ui.last().title, QStringLiteral("Windows a encore changé"));
        w.state().CurrentFilePath = QStringLiteral("C:\\D\\a.VTR");
        w.system.associations[QStringLiteral(".txt")] = QStringLiteral("C:\\Ed\\ed.exe");
        w.action(QStringLiteral("notepad"))->trigger();
        QCOMPARE(w.state().CurrentFilePath, QString());
        QCOMPARE(w.system.commands.mid(1), (QStringList{"notepad.exe ", "C:\\Ed\\ed.exe "}));
        w.action(QStringLiteral("Astuces"))->trigger();
        QVERIFY(w.ui.last().text.startsWith(QStringLiteral("Pour effacer un élément")));
        QCOMPARE(w.ui.last().text.count(QStringLiteral("\r\n")), 4);
        QCOMPARE(w.ui.last().icon, Icon::Information);
    }

    void closeAsksAboutUnsavedEdits() {
        Window w;
        bool ended = false;
        QObject::connect(w.ws.get(), &Workspace::endRequested, [&ended] { ended = true; });
        w.state().ModifiedCount = 2;
        w.ui.answers = {Answer::No};
        QVERIFY(!w.form->close());
        QVERIFY(!ended);
        QVERIFY(w.form->isVisible());
        w.ui.answers = {Answer::Yes};
        w.form->close();
        QVERIFY(ended);
    }
};

VANTREL_TEST_MAIN(Form1Test)
#include "tst_form1.moc"
