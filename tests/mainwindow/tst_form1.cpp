#include "board/BoardRules.h"
#include "core/Settings.h"
#include "documents/Lifecycle.h"
#include "documents/Ouvrefichier.h"
#include "mainwindow/Form1.h"
#include "mainwindow/Form1Layout.h"
#include "mainwindow/Form1Surface.h"
#include "mainwindow/Form2.h"
#include "platform/qt/QtUserInterface.h"
#include "support/FakePlatform.h"
#include "support/TestMain.h"

#include <utility>

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <atomic>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// A caption as shown: its Alt letter is underlined, not written.
QString shown(QString caption) {
    return caption.remove(u'&');
}

QAction* actionCaptioned(const QList<QAction*>& actions, const QString& caption) {
    for (QAction* action : actions) {
        if (shown(action->text()) == caption) {
            return action;
        }
    }
    return nullptr;
}

// The window on the fake platform, driven as the operator drives it: mouse and
// keys on the controls, menus opened from the menu bar.
struct Window : Fixture {
    std::unique_ptr<Form1> form;
    // The screen in twips, as the window meets it when it opens.
    explicit Window(QSize screen = {}) {
        start();
        if (screen.isValid())
            ui.screen = screen;
        form = std::make_unique<Form1>(*ws);
        form->load();
        form->show();
    }
    // A pass still held (a check that failed meanwhile) is let go before the window.
    ~Window() {
        passReleased = true;
        form.reset();
    }
    template <typename T> T* find(const QString& name) { return form->findChild<T*>(name); }
    QAction* action(const QString& name) { return find<QAction>(name); }
    QListView* list(const QString& name) { return find<QListView>(name); }
    // A deployment of one rule to PC01, which answers, and PC02, which does not;
    // the date is confirmed, the journal left closed.
    void prepareTwoWorkstations() {
        ui.defaultAnswer = Answer::No;
        ui.answers = {Answer::Yes}; // the date; the journal is not opened
        state().WorkstationListPath = QStringLiteral("C:\\a.LPO");
        state().RuleFilePath = QStringLiteral("C:\\a.Rgl");
        system.addFile(QStringLiteral("C:\\outil.exe"), "v2");
        lists().ListeSource.assign({"C:\\outil.exe"});
        lists().ListeDest.assign({"\\Outils"});
        lists().ListePostes.assign({"PC01", "PC02"});
        system.pingTranscripts[QStringLiteral("PC01")] = "(perte 0%),";
        system.pingTranscripts[QStringLiteral("PC02")] = "(perte 100%),";
    }
    void click(const QString& button) {
        QTest::mouseClick(find<QAbstractButton>(button), Qt::LeftButton);
    }
    // The pass runs on a thread of its own: it is held at its first ping until
    // released, for the window to be looked at and used meanwhile.
    std::atomic<bool> passHeld{false};
    std::atomic<bool> passReleased{false};
    void holdPassAtFirstPing() {
        system.onCommand = [this](const QString& command) {
            if (command.contains(QStringLiteral(" ping ")) && !passReleased) {
                passHeld = true;
                while (!passReleased)
                    QThread::msleep(5);
            }
            return system.defaultCommand(command);
        };
    }
    void waitForPass() { QTRY_VERIFY_WITH_TIMEOUT(!ws->passRunning(), 10000); }
    void clickRow(const QString& name, int row) {
        QListView* view = list(name);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(row, 0)).center());
    }
    void type(const QString& field, const QString& text) {
        auto* edit = find<QLineEdit>(field);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    // Opens the menus along the path with the mouse, from the menu bar; the last
    // caption is clicked when it is an entry, and left open when it is a menu.
    QMenu* openMenus(const QStringList& path) {
        QMenuBar* bar = form->menuBar();
        QAction* top = actionCaptioned(bar->actions(), path.first());
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(top).center());
        for (const QString& caption : path.mid(1)) {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QAction* entry = menu == nullptr ? nullptr : actionCaptioned(menu->actions(), caption);
            if (entry == nullptr || !entry->isEnabled()) {
                return nullptr;
            }
            // Pointed at, then opened with the arrow key, as a submenu opens at once.
            QTest::mouseMove(menu, menu->actionGeometry(entry).center());
            menu->setActiveAction(entry);
            QTest::keyClick(menu, Qt::Key_Right);
        }
        auto* opened = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        return opened != nullptr && shown(opened->title()) == path.last() ? opened : nullptr;
    }
    bool choose(const QStringList& path) {
        QMenu* menu = openMenus(path.mid(0, path.size() - 1));
        QAction* entry = menu == nullptr ? nullptr : actionCaptioned(menu->actions(), path.last());
        if (entry == nullptr || !entry->isEnabled()) {
            closeMenus();
            return false;
        }
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
        return true;
    }
    // How the entry shows when its menu is opened: "offered", "disabled" or "missing".
    QString entryState(const QStringList& menus, const QString& caption) {
        QMenu* menu = openMenus(menus);
        QAction* entry = menu == nullptr ? nullptr : actionCaptioned(menu->actions(), caption);
        closeMenus();
        return entry == nullptr     ? QStringLiteral("missing")
               : entry->isEnabled() ? QStringLiteral("offered")
                                    : QStringLiteral("disabled");
    }
    void closeMenus() {
        while (QWidget* popup = QApplication::activePopupWidget()) {
            QTest::keyClick(popup, Qt::Key_Escape);
        }
    }
    QRect clientRect() const { return form->surface()->rect(); }
    int px(int twips) const { return form->twipsToPixels(twips); }
};

QStringList captions(QMenu* menu) {
    QStringList all;
    for (QAction* a : menu->actions()) {
        all.append(a->isSeparator() ? QStringLiteral("-") : a->text());
    }
    return all;
}

QString captionOf(const QWidget* control) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
        return shown(button->text());
    }
    const auto* label = qobject_cast<const QLabel*>(control);
    return label == nullptr ? QString() : label->text();
}

} // namespace

class Form1Test : public QObject {
    Q_OBJECT
private slots:
    void startsWithItsCaptionAndFileMenu() {
        Window w;
        QCOMPARE(w.form->windowTitle(), QStringLiteral("Vantrel/          0 fiches"));
        QCOMPARE(captions(w.find<QMenu>(QStringLiteral("Fichier"))),
                 (QStringList{"Charger", "Enregistrer", "Enregistrer Sous", "-", "&Fermer",
                              "Quitter", "-", "", "", "", "", ""}));
        QCOMPARE(
            captions(w.find<QMenu>(QStringLiteral("ùCharg"))),
            (QStringList{"un déploiement", "une liste de postes", "une règle de déploiement"}));
        QCOMPARE(w.form->menuBar()->actions().size(), 4);
        QVERIFY(!w.action(QStringLiteral("ouvrap0"))->isVisible());
        w.ws->setRecentCaption(0, QStringLiteral("C:\\DEPLOI\\Atelier.VTR"));
        QCOMPARE(w.action(QStringLiteral("ouvrap0"))->text(),
                 QStringLiteral("C:\\DEPLOI\\Atelier.VTR"));
        QVERIFY(w.action(QStringLiteral("ouvrap0"))->isVisible());
    }

    // 15240 x 8190 twips, wider where the board's caption or a row of 18-character
    // names would be cut at the right edge.
    void clientAreaHasTheDesignSizeAndEveryCaptionFits() {
        Window w;
        QCOMPARE(w.form->surface()->height(), w.px(8190));
        const int surfaceTwips = w.form->pixelsToTwips(w.form->surface()->width());
        const int boardLeft = w.form->layout()[Form1Layout::Télédéploiement].left();
        QVERIFY(surfaceTwips >= 15240);
        QVERIFY(boardLeft + kBoardCaption.size() * kTwipsPerCharacter < surfaceTwips);
        QVERIFY(boardLeft + BoardState::rowWidth(kBoardNameWidth) + 200 <= surfaceTwips);
        QTest::mouseClick(w.find<QCheckBox>(QStringLiteral("Récursif")), Qt::LeftButton);
        QStringList cut;
        for (const QWidget* control : w.form->surface()->findChildren<QWidget*>()) {
            const QString caption = captionOf(control);
            // Room for a button's frame and a check box's indicator.
            const int needed = control->fontMetrics().horizontalAdvance(caption) +
                               (qobject_cast<const QCheckBox*>(control)         ? 20
                                : qobject_cast<const QAbstractButton*>(control) ? 4
                                                                                : 0);
            if (!caption.isEmpty() && needed > control->width()) {
                cut << caption;
            }
            if (control->isVisible() &&
                !w.clientRect().contains(control->geometry().adjusted(0, 0, -1, -1))) {
                cut << control->objectName() + QStringLiteral(" outside");
            }
        }
        QCOMPARE(cut, QStringList());
    }

    // The save entries wait for a workstation.
    void workstationEditing() {
        Window w;
        const QStringList save{"Fichier", "Enregistrer"};
        QCOMPARE(w.entryState(save, QStringLiteral("ce Déploiement")), QStringLiteral("disabled"));
        w.type(QStringLiteral("NomPoste"), QStringLiteral(" PC01 "));
        w.click(QStringLiteral("AjoutePoste"));
        QCOMPARE(w.entryState(save, QStringLiteral("ce Déploiement")), QStringLiteral("offered"));
        QCOMPARE(w.entryState(save, QStringLiteral("la Liste des règles")),
                 QStringLiteral("offered"));
        w.type(QStringLiteral("NomPoste"), QStringLiteral("   "));
        w.click(QStringLiteral("AjoutePoste"));
        QCOMPARE(w.ui.last().text,
                 QStringLiteral("Le champs de saisie doit contenir des caractères visibles"));
        QCOMPARE(w.lists().ListePostes.entries(), QStringList{" PC01 "});
        QCOMPARE(w.state().ModifiedCount, qint16(1));

        w.click(QStringLiteral("SupprimePoste")); // no selection: the counter still rises
        QCOMPARE(w.lists().ListePostes.count(), 1);
        QCOMPARE(w.state().ModifiedCount, qint16(2));
        w.clickRow(QStringLiteral("ListePostes"), 0);
        QTest::keyClick(w.list(QStringLiteral("ListePostes")), Qt::Key_Delete);
        QVERIFY(w.lists().ListePostes.isEmpty());
        QCOMPARE(w.state().ModifiedCount, qint16(3));
    }

    // Tab walks one group at a time; Enter in a field presses its group's add button.
    void keyboardFollowsEachGroup() {
        Window w;
        const QStringList order{"NomPoste",     "AjoutePoste",    "SupprimePoste", "ListePostes",
                                "ParcourPoste", "saisieSource",   "saisieDest",    "AjouteAdress",
                                "SuppAdress",   "ListeSource",    "ListeDest",     "ParcourSource",
                                "ParcourDest",  "Télédéploiement"};
        w.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.form.get()));
        w.find<QWidget>(order.first())->setFocus();
        QStringList visited{w.form->focusWidget()->objectName()};
        for (int i = 1; i < order.size(); ++i) {
            QTest::keyClick(w.form->focusWidget(), Qt::Key_Tab);
            visited << w.form->focusWidget()->objectName();
        }
        QCOMPARE(visited, order);

        w.type(QStringLiteral("NomPoste"), QStringLiteral("PC07"));
        QTest::keyClick(w.find<QLineEdit>(QStringLiteral("NomPoste")), Qt::Key_Return);
        QCOMPARE(w.lists().ListePostes.entries(), QStringList{"PC07"});
        w.type(QStringLiteral("saisieSource"), QStringLiteral("C:\\a.exe"));
        w.type(QStringLiteral("saisieDest"), QStringLiteral("\\P"));
        QTest::keyClick(w.find<QLineEdit>(QStringLiteral("saisieDest")), Qt::Key_Enter);
        QCOMPARE(w.lists().ListeSource.entries(), QStringList{"C:\\a.exe"});
        QCOMPARE(w.lists().ListeDest.entries(), QStringList{"\\P"});
        // Enter presses the focused button.
        w.prepareTwoWorkstations();
        w.find<QWidget>(QStringLiteral("Télédéploiement"))->setFocus();
        QTest::keyClick(w.form->focusWidget(), Qt::Key_Return);
        QVERIFY(w.ui.titles().contains(QStringLiteral("Valider Date et Heure du déploiement")));
    }

    // Clicks and arrow keys keep the two rule lists on one rule; a removal leaves
    // no selection, so a second "Sup ligne" removes nothing.
    void ruleListsStayInStep() {
        Window w;
        for (int i = 0; i < 4; ++i) {
            w.type(QStringLiteral("saisieSource"), QStringLiteral("C:\\s%1.exe").arg(i));
            w.type(QStringLiteral("saisieDest"), QStringLiteral("\\d%1").arg(i));
            w.click(QStringLiteral("AjouteAdress"));
        }
        QListView* sources = w.list(QStringLiteral("ListeSource"));
        QListView* destinations = w.list(QStringLiteral("ListeDest"));
        QTest::keyClick(destinations, Qt::Key_Delete); // nothing selected yet
        QCOMPARE(w.lists().ListeSource.count(), 4);

        w.clickRow(QStringLiteral("ListeSource"), 0);
        QTest::keyClick(sources, Qt::Key_Down);
        QCOMPARE(w.lists().ListeDest.selected(), 1);
        QCOMPARE(destinations->currentIndex().row(), 1);
        w.clickRow(QStringLiteral("ListeDest"), 3);
        QTest::keyClick(destinations, Qt::Key_Up);
        QCOMPARE(w.lists().ListeSource.selected(), 2);
        QCOMPARE(sources->selectionModel()->selectedRows().value(0).row(), 2);

        QTest::keyClick(destinations, Qt::Key_Delete); // the rule highlighted in ListeDest
        QCOMPARE(w.lists().ListeSource.entries(),
                 (QStringList{"C:\\s0.exe", "C:\\s1.exe", "C:\\s3.exe"}));
        QCOMPARE(w.lists().ListeDest.entries(), (QStringList{"\\d0", "\\d1", "\\d3"}));
        QCOMPARE(w.lists().ListeSource.selected(), -1);
        QVERIFY(!sources->selectionModel()->hasSelection());
        const qint16 edits = w.state().ModifiedCount;
        w.click(QStringLiteral("SuppAdress"));
        QCOMPARE(w.lists().ListeSource.count(), 3);
        QCOMPARE(w.state().ModifiedCount, edits);

        w.clickRow(QStringLiteral("ListeDest"), 1);
        w.click(QStringLiteral("SuppAdress"));
        QCOMPARE(w.lists().ListeDest.entries(), (QStringList{"\\d0", "\\d3"}));
        w.click(QStringLiteral("SuppAdress"));
        QCOMPARE(w.lists().ListeDest.count(), 2);

        const QModelIndex first = w.lists().ListeSource.index(0);
        w.clickRow(QStringLiteral("ListeSource"), 0);
        QTest::mouseDClick(sources->viewport(), Qt::LeftButton, {},
                           sources->visualRect(first).center());
        QCOMPARE(w.find<QLineEdit>(QStringLiteral("saisieSource"))->text(),
                 QStringLiteral("C:\\s0.exe"));
        QCOMPARE(w.find<QLineEdit>(QStringLiteral("saisieDest"))->text(), QStringLiteral("\\d0"));
    }

    // Every menu opens from the keyboard; Enter presses the focused button.
    void keyboardReachesEveryMenu_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("menu");
        QTest::newRow("Alt+F") << int(Qt::Key_F) << int(Qt::AltModifier) << "Fichier";
        QTest::newRow("Alt+L") << int(Qt::Key_L) << int(Qt::AltModifier) << "Listes";
        QTest::newRow("Alt+A") << int(Qt::Key_A) << int(Qt::AltModifier) << "Appeler";
        QTest::newRow("Alt+M") << int(Qt::Key_M) << int(Qt::AltModifier) << "Lisez-moi";
        QTest::newRow("F10") << int(Qt::Key_F10) << int(Qt::NoModifier) << "Fichier";
    }
    void keyboardReachesEveryMenu() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, menu);
        Window w;
        w.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.form.get()));
        QTest::keyClick(w.form.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        if (key == Qt::Key_F10) // the bar is active: Down opens its menu
            QTest::keyClick(w.form->menuBar(), Qt::Key_Down);
        QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr);
        QCOMPARE(shown(qobject_cast<QMenu*>(QApplication::activePopupWidget())->title()), menu);
        w.closeMenus();
    }

    // The error list opens from the menu over the board, inside the client area and
    // clear of the controls, at the start size, after a resize and with the retry
    // fields shown.
    void errorListShowsInsideTheWindow() {
        Window w;
        const QStringList listes{"Listes"};
        QCOMPARE(w.entryState(listes, QStringLiteral("Exporter liste")),
                 QStringLiteral("disabled"));
        w.lists().L_PostesFail.append(QStringLiteral("PC03;PingFail"));
        QVERIFY(w.choose({"Listes", "des erreurs de ping"}));
        QListView* shown = w.list(QStringLiteral("ListExport"));
        QVERIFY(shown->isVisible());
        QCOMPARE(w.entryState(listes, QStringLiteral("Exporter liste")), QStringLiteral("offered"));
        QCOMPARE(w.entryState(listes, QStringLiteral("masquer la liste")),
                 QStringLiteral("offered"));

        auto clearOfControls = [&w, shown] {
            if (!w.clientRect().contains(shown->geometry()) || shown->height() < w.px(600)) {
                return false;
            }
            for (const QWidget* control : w.form->surface()->findChildren<QWidget*>()) {
                if (control != shown && control->parent() == w.form->surface() &&
                    control->isVisible() && control->geometry().intersects(shown->geometry())) {
                    return false;
                }
            }
            return shown->geometry().top() >= w.px(w.form->layout().boardTop());
        };
        QVERIFY(clearOfControls());
        w.form->resize(w.form->width() + 200, w.form->height() - 100);
        QVERIFY(clearOfControls());
        QTest::mouseClick(w.find<QCheckBox>(QStringLiteral("Récursif")), Qt::LeftButton);
        QVERIFY(clearOfControls());

        QVERIFY(w.choose({"Listes", "masquer la liste"}));
        QVERIFY(!shown->isVisible());
        QCOMPARE(w.entryState(listes, QStringLiteral("Exporter liste")),
                 QStringLiteral("disabled"));
    }

    // Récursif shows that retries were made. Who a retry serves is tst_pass's; the
    // window's timer bringing the retries, the end-to-end window's.
    void récursifShowsRetriesMade() {
        Window w;
        w.ws->controls.setRécursifBackColour(DeploymentControls::kRetriedGreen);
        const QImage drawn = w.find<QCheckBox>(QStringLiteral("Récursif"))->grab().toImage();
        QCOMPARE(drawn.pixelColor(drawn.width() - 3, drawn.height() / 2), QColor(0x80, 0xFF, 0x80));
    }

    // A workstation's row is on the board as soon as its record lands, while the
    // pass goes on with the next (the clock stands still meanwhile).
    void boardShowsEachWorkstationAsItLands() {
        Window w;
        w.prepareTwoWorkstations();
        w.system.pingTranscripts[QStringLiteral("PC02")] = "(perte 0%),";
        w.system.addFolder(QStringLiteral("\\\\PC01\\Outils"));
        w.system.addFolder(QStringLiteral("\\\\PC02\\Outils"));
        std::atomic<bool> secondHeld{false};
        w.system.onCopy = [&w, &secondHeld](const QString& to) {
            secondHeld = secondHeld || to.startsWith(QStringLiteral("\\\\PC02"));
            while (secondHeld && !w.passReleased)
                QThread::msleep(5);
        };
        w.click(QStringLiteral("Télédéploiement"));
        QTRY_VERIFY(secondHeld);
        const auto& rows = w.form->lastFrame().rows;
        QTRY_VERIFY(rows.size() == 2 && rows.at(0).deploymentLight == kGreenLight);
        QCOMPARE(rows.at(1).text, QStringLiteral("PC02              ;   0;attente "));
        w.passReleased = true;
        w.waitForPass();
    }

    // While a pass runs a bar along the bottom says how far it is, whatever the
    // window's size; the menus and controls wait, and the bar goes with the pass.
    void passShowsItsProgress() {
        Window w;
        w.prepareTwoWorkstations();
        w.holdPassAtFirstPing();
        auto* bar = w.form->surface()->findChild<QProgressBar*>(QStringLiteral("progression"));
        auto* counts = w.form->surface()->findChild<QLabel*>(QStringLiteral("progressionTexte"));
        auto* panel = bar->parentWidget();
        w.click(QStringLiteral("Télédéploiement"));
        QTRY_VERIFY(w.passHeld && bar->isVisible());
        w.form->resize(w.form->width() + 40, w.form->height() + 30); // the window lives
        QTRY_COMPARE(panel->geometry().bottom(), w.form->surface()->height() - 1);
        QCOMPARE(panel->width(), w.form->surface()->width());
        QVERIFY(!w.form->menuBar()->isEnabled());
        QVERIFY(!w.find<QAbstractButton>(QStringLiteral("Télédéploiement"))->isEnabled());
        QVERIFY2(counts->text().startsWith(QStringLiteral("Ping de 2 postes, 00:0")),
                 qPrintable(counts->text()));
        // Whole, beside the bar.
        QVERIFY(counts->geometry().left() > bar->geometry().right());
        QVERIFY(counts->width() >= counts->fontMetrics().horizontalAdvance(counts->text()));
        QStringList rows;
        for (const BoardLine& line : w.form->lastFrame().rows)
            rows << line.text;
        QCOMPARE(rows, (QStringList{"PC01              ;....;attente ",
                                    "PC02              ;....;attente "}));
        w.passReleased = true;
        w.waitForPass();
        QVERIFY(w.form->menuBar()->isEnabled());
        QVERIFY(w.find<QAbstractButton>(QStringLiteral("Télédéploiement"))->isEnabled());
        // Once over, the pass in one line, until the next edit.
        QVERIFY(panel->isVisible());
        QVERIFY(w.find<QScrollBar>(QStringLiteral("VScroll1"))->geometry().bottom() < panel->y());
        QVERIFY(!w.find<QPushButton>(QStringLiteral("Arrêter"))->isVisible());
        QCOMPARE(counts->text(), QStringLiteral("Passe terminée à %1 : 0 poste servi, 1 en erreur, "
                                                "1 sans réponse")
                                     .arg(w.clock.now().toString(QStringLiteral("HH:mm"))));
        w.type(QStringLiteral("NomPoste"), QStringLiteral("PC03"));
        QVERIFY(panel->isVisible());
        QTest::keyClick(w.find<QLineEdit>(QStringLiteral("NomPoste")), Qt::Key_Return);
        QVERIFY(!panel->isVisible());
    }

    // "Arrêter" during the sweep, asked and answered: nobody is served, every row and
    // the journal say so; "Non" (the default) lets the pass go on. Closing the window
    // asks the same, and Oui closes it once the pass has stopped.
    void stopButtonEndsThePass_data() {
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<bool>("byClosing");
        QTest::newRow("Oui") << true << false;
        QTest::newRow("Non") << false << false;
        QTest::newRow("closing, Oui") << true << true;
        QTest::newRow("closing, Non") << false << true;
    }
    void stopButtonEndsThePass() {
        QFETCH(bool, confirmed);
        QFETCH(bool, byClosing);
        Window w;
        w.prepareTwoWorkstations();
        w.system.pingTranscripts[QStringLiteral("PC02")] = "(perte 0%),";
        w.system.addFolder(QStringLiteral("\\\\PC01\\Outils"));
        w.system.addFolder(QStringLiteral("\\\\PC02\\Outils"));
        // The date, the stop, then leaving the pass's rows unsaved when closing.
        w.ui.answers = {Answer::Yes, confirmed ? Answer::Yes : Answer::No, Answer::Yes};
        w.holdPassAtFirstPing();
        // Before Non, the question stays open while the pass goes on: the board shows
        // both workstations served meanwhile.
        bool servedWhileAsked = false;
        w.ui.onShow = [&](const Message& shown) {
            if (confirmed || shown.text != QStringLiteral("Arrêter le déploiement en cours ?"))
                return;
            w.passReleased = true;
            servedWhileAsked = QTest::qWaitFor([&w] {
                const auto& rows = w.form->lastFrame().rows;
                return rows.size() == 2 && std::all_of(rows.begin(), rows.end(), [](const auto& r) {
                           return r.deploymentLight == kGreenLight;
                       });
            });
        };
        w.click(QStringLiteral("Télédéploiement"));
        QTRY_VERIFY(w.passHeld);
        if (byClosing)
            w.form->close();
        else
            QTest::mouseClick(w.form->surface()->findChild<QPushButton*>(QStringLiteral("Arrêter")),
                              Qt::LeftButton);
        QVERIFY(w.form->isVisible());
        w.passReleased = true;
        w.waitForPass();
        QCOMPARE(w.ui.texts().filter(QStringLiteral("Arrêter le déploiement en cours ?")).size(),
                 1);
        QCOMPARE(servedWhileAsked, !confirmed);
        // What a stop leaves in the rows and the journal is tst_pass's.
        QCOMPARE(w.system.exists(QStringLiteral("\\\\PC01\\Outils\\outil.exe")), !confirmed);
        QVERIFY(!w.ws->ui.stopAsked());
        QTRY_COMPARE(w.form->isVisible(), !(byClosing && confirmed));
    }

    void toolsMenu() {
        Window w;
        w.system.onCommand = [](const QString&) { return false; };
        QVERIFY(w.choose({"Appeler", "Calculette"}));
        QCOMPARE(w.ui.last().text, QStringLiteral("Calculette introuvable"));
        QCOMPARE(w.ui.last().title, QStringLiteral("Windows a encore changé"));
        w.state().CurrentFilePath = QStringLiteral("C:\\D\\a.VTR");
        w.system.associations[QStringLiteral(".txt")] = QStringLiteral("C:\\Ed\\ed.exe");
        QVERIFY(w.choose({"Appeler", "Bloc note"}));
        QCOMPARE(w.state().CurrentFilePath, QString());
        QCOMPARE(w.system.commands.mid(1), (QStringList{"notepad.exe ", "C:\\Ed\\ed.exe "}));
        QVERIFY(w.choose({"Lisez-moi", "Quelques astuces"}));
        QVERIFY(w.ui.last().text.startsWith(QStringLiteral("Pour effacer un élément")));
        QCOMPARE(w.ui.last().text.count(QStringLiteral("\r\n")), 4);
        QCOMPARE(w.ui.last().icon, Icon::Information);
    }

    // Closing the window asks about edits; No keeps it, Oui ends the program, its
    // settings written.
    void closeAsksAboutUnsavedEdits() {
        Window w;
        bool ended = false;
        QObject::connect(w.ws.get(), &Workspace::endRequested, [&ended] { ended = true; });
        w.state().DeploymentFileName = QStringLiteral("Atelier.VTR");
        w.state().ModifiedCount = 3;
        w.ui.answers = {Answer::No};
        QVERIFY(!w.form->close());
        QVERIFY(!ended);
        QCOMPARE(w.ui.last().text, QStringLiteral(" 3 modification(s)\r\nVous allez perdre des "
                                                  "données\r\nVoulez vous Continuer & quitter"));
        QCOMPARE(w.ui.last().title, QStringLiteral("Le fichier Atelier.VTR a été modifié "));
        QVERIFY(!w.system.exists(settingsFilePath(*w.ws)));
        w.ui.answers = {Answer::Yes};
        w.form->close();
        QVERIFY(ended);
        QVERIFY(w.system.exists(settingsFilePath(*w.ws)));
        QCOMPARE(w.ui.messages.size(), std::size_t(2));
    }

    // "Importer de l'annuaire…" asks the URL, offering the last one, and reads the
    // directory off the window's thread: a directory that is not there is said.
    void importFromTheDirectory() {
        Window w;
        w.state().DirectoryUrl = QStringLiteral("ldap:///OU=Postes,DC=atelier,DC=test");
        w.lists().ListePostes.assign({"PC01"});
        QString offered;
        QTimer::singleShot(0, [&offered] {
            auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            offered = dialog->textValue();
            auto* field = dialog->findChild<QLineEdit*>();
            field->selectAll();
            QTest::keyClicks(field, QStringLiteral("ldap://127.0.0.1:1/DC=atelier,DC=test"));
            QTest::keyClick(field, Qt::Key_Return);
        });
        QVERIFY(w.choose({"Listes", "Importer de l'annuaire…"}));
        QTRY_COMPARE(w.ui.messages.size(), size_t(1));
        QCOMPARE(offered, QStringLiteral("ldap:///OU=Postes,DC=atelier,DC=test"));
        QVERIFY(w.ui.last().text.startsWith(QStringLiteral("Annuaire injoignable : 127.0.0.1")));
        QCOMPARE(w.state().DirectoryUrl, QStringLiteral("ldap://127.0.0.1:1/DC=atelier,DC=test"));
        QCOMPARE(w.lists().ListePostes.entries(), QStringList{"PC01"});
        QVERIFY(!w.ui.busy);
    }

    // The dialog the operator meets: the filter choices as they read, and a name
    // typed that does not exist yet is an answer (a new deployment).
    void fileDialogTakesANewName() {
        QTemporaryDir dir;
        FakeSystem system;
        QtUserInterface ui(system);
        FileDialogRequest request;
        request.title = QStringLiteral("Charger un déploiement existant");
        request.initialFolder = dir.path();
        request.filter = fileDialogFilter(QStringLiteral(".LPO"));
        QStringList choices;
        QTimer::singleShot(0, [&choices] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            for (int i = 0; i < types->count(); ++i) {
                choices << types->itemText(i);
            }
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QTest::keyClicks(name, QStringLiteral("Nouveau.LPO"));
            QTest::keyClick(name, Qt::Key_Return);
        });
        const QString chosen = ui.chooseFile(request);
        QCOMPARE(choices, (QStringList{"Fichier (.LPO)", "Tous fichiers (*.*)"}));
        QCOMPARE(chosen, dir.path() + QStringLiteral("/Nouveau.LPO"));
    }

    void dialogFiltersKeys() {
        Fixture f;
        f.start();
        Form2 dialog(*f.ws);
        auto* minute = dialog.findChild<QLineEdit*>(QStringLiteral("Dminute"));
        minute->clear();
        for (const QString& typed : {QStringLiteral("é"), QStringLiteral("\"")}) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, typed);
            QApplication::sendEvent(minute, &press);
        }
        QCOMPARE(minute->text(), QStringLiteral("23"));
        QCOMPARE(dialog.logic().target(DeferredStart::Field::Minute), QStringLiteral("23"));
    }

    // The dialog counts down beside the window, which stays usable (its menus open,
    // Différé stays ticked); its pass starts when the dialog says so.
    void deferredBoxCountsDownBesideAUsableWindow() {
        Window w;
        Workspace& ws = *w.ws;
        Form1& form = *w.form;
        ws.state.WorkstationListPath = QStringLiteral("C:\\a.LPO");
        ws.lists.ListePostes.append(QStringLiteral("PC01"));
        QTest::mouseClick(form.findChild<QCheckBox*>(QStringLiteral("Différé")), Qt::LeftButton);
        auto* dialog = form.findChild<Form2*>();
        QVERIFY(dialog != nullptr && dialog->isVisible());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QTRY_VERIFY(dialog->geometry().width() > 0);
        // Shown 6560 twips wide, 50 twips from the top, its right edge on the screen's.
        const double ppt = form.logicalDpiX() / 1440.0;
        QCOMPARE(dialog->geometry().width(), qRound(6560 * ppt));
        QCOMPARE(dialog->frameGeometry().right() + 1, qRound(w.ui.screen.width() * ppt));
        QCOMPARE(dialog->frameGeometry().top(), qRound(50 * ppt));
        for (const QPushButton* button : dialog->findChildren<QPushButton*>())
            QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) + 8 <= button->width(),
                     qPrintable(button->text()));
        auto* hour = dialog->findChild<QLineEdit*>(QStringLiteral("Dheure"));
        hour->selectAll();
        QTest::keyClicks(hour, QStringLiteral("16")); // the clock says 14:30
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Lancer")),
                          Qt::LeftButton);
        QVERIFY(dialog->logic().timerEnabled());
        // The window meanwhile: its menu opens, Différé stays ticked.
        QMenu* file = form.menuBar()->findChildren<QMenu*>().first();
        QTimer::singleShot(200, file, &QMenu::close);
        form.menuBar()->setActiveAction(file->menuAction());
        QTRY_VERIFY(file->isVisible());
        QTRY_VERIFY(!file->isVisible());
        QVERIFY(form.findChild<QCheckBox*>(QStringLiteral("Différé"))->isChecked());
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("AnnuleDélai")),
                          Qt::LeftButton);
        QTRY_VERIFY(!ws.controls.Différé());
        QTRY_VERIFY(!ws.passRunning()); // the pass runs beside the window
        QVERIFY(w.system.commands.filter(QStringLiteral(" ping ")).size() == 1);
        QCOMPARE(ws.state.DeferredStartFlag, QString());
        QTRY_VERIFY(form.findChild<Form2*>() == nullptr);
    }

    // Absolute figures for a 1920 x 1080 screen at 15 twips a pixel.
    // On a screen too small for the window's full size (a scale factor of 2 on 1600 pixels),
    // the whole window is drawn smaller, its captions whole.
    void windowFitsASmallScreen() {
        Window w(QSize(800 * 15, 600 * 15));
        QVERIFY(w.form->width() <= 800);
        QVERIFY(w.form->height() <= 600);
        auto* button = w.find<QPushButton>(QStringLiteral("Télédéploiement"));
        QVERIFY(w.form->rect().contains(button->mapTo(w.form.get(), button->rect().bottomRight())));
        QVERIFY(button->width() >= button->fontMetrics().horizontalAdvance(shown(button->text())));
    }

    void layoutAtStartAndOnResize_data() {
        QTest::addColumn<int>("control");
        QTest::addColumn<QRect>("expected");
        using L = Form1Layout;
        QTest::newRow("ParcourPoste") << int(L::ParcourPoste) << QRect(300, 300, 2400, 375);
        QTest::newRow("NomPoste") << int(L::NomPoste) << QRect(300, 725, 2400, 315);
        QTest::newRow("AjoutePoste") << int(L::AjoutePoste) << QRect(300, 1090, 1300, 375);
        QTest::newRow("SupprimePoste") << int(L::SupprimePoste) << QRect(1700, 1090, 1000, 375);
        QTest::newRow("ListePostes") << int(L::ListePostes) << QRect(300, 1515, 2400, 12685);
        QTest::newRow("ParcourSource") << int(L::ParcourSource) << QRect(3000, 300, 3500, 375);
        QTest::newRow("ParcourDest") << int(L::ParcourDest) << QRect(6700, 300, 3500, 375);
        QTest::newRow("saisieDest") << int(L::saisieDest) << QRect(6700, 725, 3500, 315);
        QTest::newRow("ListeDest") << int(L::ListeDest) << QRect(6700, 1515, 3500, 12685);
        QTest::newRow("Télédéploiement") << int(L::Télédéploiement) << QRect(11200, 300, 2500, 450);
        QTest::newRow("Récursif") << int(L::Récursif) << QRect(11200, 850, 1200, 285);
        QTest::newRow("Différé") << int(L::Différé) << QRect(12550, 850, 1200, 285);
        QTest::newRow("LabelDélai") << int(L::LabelDélai) << QRect(12050, 1235, 800, 255);
        QTest::newRow("Tentative") << int(L::Tentative) << QRect(12900, 1490, 800, 315);
        QTest::newRow("Shape1") << int(L::Shape1) << QRect(150, 150, 2700, 14200);
        QTest::newRow("Shape2") << int(L::Shape2) << QRect(2850, 150, 7500, 14200);
        QTest::newRow("Shape3") << int(L::Shape3) << QRect(11050, 150, 2750, 1185);
        QTest::newRow("ListExport") << int(L::ListExport) << QRect(10700, 1435, 4390, 6605);
    }
    void layoutAtStartAndOnResize() {
        QFETCH(int, control);
        QFETCH(QRect, expected);
        Form1Layout layout;
        layout.placeAtStart(QSize(28800, 16200));
        layout.placeExportList(QSize(15240, 8190));
        QCOMPARE(layout[Form1Layout::Control(control)], expected);
    }

    void layoutFollowsWiderCaptionsAndTheWindowHeight() {
        using L = Form1Layout;
        L layout;
        layout.fitWidth(L::SupprimePoste, 1200);
        layout.fitWidth(L::LabelnB, 1000);
        layout.placeAtStart(QSize(28800, 16200));
        QCOMPARE(layout[L::ParcourPoste].width(), 2600);
        QCOMPARE(layout[L::ParcourSource].left(), 3200);
        QCOMPARE(layout[L::Télédéploiement].left(), 11400);
        QCOMPARE(layout[L::Nbessais], QRect(11400, 1490, 1000, 315));
        QCOMPARE(layout[L::Délai].left(), 12450);
        QCOMPARE(layout.boardTop(), 1435);
        layout.setRetryFieldsShown(true);
        QCOMPARE(layout[L::Shape3].height(), 1955);
        QCOMPARE(layout.boardTop(), 2205);

        QVERIFY(layout.resize(9000));
        QCOMPARE(layout[L::ListeDest].height(), 6485);
        QCOMPARE(layout[L::Shape2].height(), 7900);
        QVERIFY(!layout.resize(9000));
        QVERIFY(!layout.resize(2514)); // too low for the lists: unchanged
        QCOMPARE(layout[L::ListePostes].height(), 6485);
    }
};

VANTREL_TEST_MAIN(Form1Test)
#include "tst_form1.moc"
