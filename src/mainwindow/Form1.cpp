#include "Form1.h"

#include "DirectoryImportDialog.h"
#include "FeuilleBlanche.h"
#include "Form1Surface.h"
#include "Form2.h"
#include "PassPanel.h"
#include "board/BoardRules.h"
#include "core/Programs.h"
#include "core/Workspace.h"
#include "deploy/LaunchChecks.h"
#include "deploy/ResultLines.h"
#include "documents/DeploymentFile.h"
#include "documents/Lifecycle.h"
#include "documents/ListEditing.h"
#include "documents/ListFiles.h"
#include "export/ListExport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QThread>
#include <QTimer>
#include <QToolTip>

#include <utility>

namespace vantrel {
namespace {

constexpr qint64 kRetryLookMs = 1000;
constexpr int kBoardRedrawMs = 100;

QColor windowsColour(quint32 bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

const QString kTips = QStringLiteral(
    "Pour effacer un élément d'une liste cliquer dessus puis touche 'Suppr' ou bouton 'X "
    "ligne'\r\n"
    "Un double-click dans une liste affiche l'élément dans le champ\r\n"
    "Les champs peuvent être remplis à la main mais il vaut mieux rechercher les fichiers "
    "avec 'Parcourir'\r\n"
    "Les fonctions copier-coller sont actives dans tous les champs\r\n");

} // namespace

Form1::Form1(Workspace& ws, const PassSettings& passSettings, QWidget* parent)
    : QMainWindow(parent), ws_(ws), passSettings_(passSettings) {
    setObjectName(QStringLiteral("Form1"));
    setFont(StatusBoard::boardFont());
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, windowsColour(0xE0E0E0));
    setPalette(palette);
    setAutoFillBackground(true);

    surface_ = new Form1Surface(this);
    setCentralWidget(surface_);
    buildControls();
    buildMenus();
    bindDeploymentControls();

    connect(&ws_, &Workspace::captionChanged, this, &QWidget::setWindowTitle);
    connect(&ws_, &Workspace::boardChanged, this, &Form1::setBoardRows);
    connect(&ws_, &Workspace::boardRowChanged, this, &Form1::setBoardRow);
    startPassThread();
    ws_.setPassRunner([this](std::function<void()> pass, std::function<void()> done) {
        runBeside(std::move(pass), std::move(done));
    });
    passPanel_ = new PassPanel(surface_);
    connect(&ws_, &Workspace::progressChanged, this, &Form1::showProgress);
    connect(passPanel_, &PassPanel::stopClicked, this, &Form1::askToStopPass);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] {
        if (ws_.passRunning()) {
            askToStopPass();
        }
    });
    connect(&ws_, &Workspace::passStarted, this, [this] { keepOnlyWhatAPassAllows(true); });
    connect(&ws_, &Workspace::passFinished, this, [this] {
        keepOnlyWhatAPassAllows(false);
        if (std::exchange(passShowedProgress_, false)) { // not one refused before its sweep
            passPanel_->place(surface_->rect());
            passPanel_->showSummary(passSummary(ws_.cycleRecords, ws_.clock.now().time()));
            DrawStatusBoard(); // above it
        }
    });
    // The summary of the last pass stays until the operator changes what it served,
    // or its rows go (closed, another deployment loaded).
    for (StringList* edited : {&ws_.lists.ListePostes, &ws_.lists.ListeSource, &ws_.lists.ListeDest,
                               &ws_.lists.Listécritures}) {
        connect(edited, &StringList::modelReset, this, &Form1::dropPassSummary);
        connect(edited, &StringList::rowsInserted, this, &Form1::dropPassSummary);
        connect(edited, &StringList::rowsRemoved, this, &Form1::dropPassSummary);
    }
    VScroll1_ = new QScrollBar(Qt::Vertical, surface_);
    VScroll1_->setObjectName(QStringLiteral("VScroll1"));
    VScroll1_->setFocusPolicy(Qt::NoFocus);
    connect(VScroll1_, &QScrollBar::valueChanged, this, &Form1::setBoardTopRow);
    connect(surface_, &Form1Surface::pressed, this, &Form1::onBoardPress);
    connect(surface_, &Form1Surface::doubleClicked, this, &Form1::onBoardDoubleClick);
    connect(surface_, &Form1Surface::keyPressed, this, &Form1::onBoardKey);
    connect(surface_, &Form1Surface::wheelTurned, this,
            [this](int rows) { VScroll1_->setValue(VScroll1_->value() + rows); });
    connect(surface_, &Form1Surface::toolTipAsked, this, &Form1::showRowToolTip);
    connect(&ws_, &Workspace::deferredStartDialogRequested, this, &Form1::showDeferredStartDialog);
    connect(&ws_, &Workspace::recentMenuChanged, this, &Form1::refreshRecentMenu);
    connect(&ws_.TimerRécursif, &RetryTimer::changed, this, &Form1::scheduleRetryTick);
    connect(&ws_, &Workspace::passFinished, this, &Form1::scheduleRetryTick);
    retryTimer_ = new QTimer(this);
    retryTimer_->setSingleShot(true);
    retryTimer_->setTimerType(Qt::PreciseTimer);
    connect(retryTimer_, &QTimer::timeout, this, &Form1::onRetryTick);
    refreshRecentMenu();
}

double Form1::pixelsPerTwip() const {
    return logicalDpiX() / 1440.0 * zoom_;
}

int Form1::twipsToPixels(int twips) const {
    return qRound(twips * pixelsPerTwip());
}

QPushButton* Form1::makeButton(const QString& caption, const QString& name, quint32 colour) {
    auto* button = new QPushButton(caption, surface_);
    button->setObjectName(name);
    button->setAutoDefault(true); // Enter presses the focused button
    button->setStyleSheet(
        QStringLiteral("background-color: %1;").arg(windowsColour(colour).name()));
    return button;
}

QLineEdit* Form1::makeField(const QString& name) {
    auto* field = new QLineEdit(surface_);
    field->setObjectName(name);
    return field;
}

QListView* Form1::makeList(const QString& name, StringList& list) {
    auto* view = new QListView(surface_);
    view->setObjectName(name);
    view->setUniformItemSizes(true);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->installEventFilter(this);
    bindList(view, list);
    return view;
}

void Form1::bindList(QListView* view, StringList& list) {
    view->setModel(&list);
    connect(&list, &StringList::selectionChanged, view, [view, &list](int index) {
        if (index < 0) {
            view->selectionModel()->clear();
        } else if (view->currentIndex().row() != index) {
            view->setCurrentIndex(list.index(index));
        }
    });
    connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [&list](const QModelIndex& current) { list.setSelected(current.row()); });
    connect(&list, &StringList::visibilityChanged, view, &QWidget::setVisible);
}

void Form1::buildControls() {
    using L = Form1Layout;
    Lists& l = ws_.lists;
    auto& c = controls_;
    c[L::ParcourPoste] =
        makeButton(QStringLiteral("Parcourir..."), QStringLiteral("ParcourPoste"), 0xFFC0C0);
    c[L::ParcourSource] = makeButton(QStringLiteral("Parcourir source..."),
                                     QStringLiteral("ParcourSource"), 0xFFC0C0);
    c[L::ParcourDest] = makeButton(QStringLiteral("Parcourir destination..."),
                                   QStringLiteral("ParcourDest"), 0xFFC0C0);
    c[L::NomPoste] = NomPoste_ = makeField(QStringLiteral("NomPoste"));
    c[L::saisieSource] = saisieSource_ = makeField(QStringLiteral("saisieSource"));
    c[L::saisieDest] = saisieDest_ = makeField(QStringLiteral("saisieDest"));
    c[L::AjoutePoste] =
        makeButton(QStringLiteral("Ajoute &Poste"), QStringLiteral("AjoutePoste"), 0xC0FFC0);
    c[L::SupprimePoste] =
        makeButton(QStringLiteral("Sup ligne"), QStringLiteral("SupprimePoste"), 0xC0C0FF);
    c[L::AjouteAdress] =
        makeButton(QStringLiteral("Ajoute Rè&gle"), QStringLiteral("AjouteAdress"), 0xC0FFC0);
    c[L::SuppAdress] =
        makeButton(QStringLiteral("Sup ligne"), QStringLiteral("SuppAdress"), 0xC0C0FF);
    c[L::ListePostes] = ListePostes_ = makeList(QStringLiteral("ListePostes"), l.ListePostes);
    c[L::ListeSource] = ListeSource_ = makeList(QStringLiteral("ListeSource"), l.ListeSource);
    c[L::ListeDest] = ListeDest_ = makeList(QStringLiteral("ListeDest"), l.ListeDest);
    c[L::ListExport] = ListExport_ = makeList(QStringLiteral("ListExport"), l.ListExport);
    ListExport_->setVisible(l.ListExport.isVisible());
    c[L::Télédéploiement] =
        makeButton(QStringLiteral("&Télédéploiement"), QStringLiteral("Télédéploiement"), 0xC0FFFF);
    c[L::Récursif] = Récursif_ = new QCheckBox(QStringLiteral("&Récursif"), surface_);
    Récursif_->setObjectName(QStringLiteral("Récursif"));
    c[L::Différé] = Différé_ = new QCheckBox(QStringLiteral("&Différé"), surface_);
    Différé_->setObjectName(QStringLiteral("Différé"));
    const std::pair<L::Control, const char*> labels[] = {
        {L::LabelnB, "Nb essais"}, {L::LabelDélai, "Délai mn"}, {L::Labeltentatives, "Faits"}};
    for (const auto& [control, text] : labels) {
        c[control] = new QLabel(QString::fromUtf8(text), surface_);
    }
    c[L::Nbessais] = Nbessais_ = makeField(QStringLiteral("Nbessais"));
    c[L::Délai] = Délai_ = makeField(QStringLiteral("Délai"));
    c[L::Tentative] = Tentative_ = makeField(QStringLiteral("Tentative"));

    auto onClick = [this](L::Control control, auto handler) {
        connect(static_cast<QPushButton*>(controls_[control]), &QPushButton::clicked, this,
                handler);
    };
    onClick(L::ParcourPoste, [this] { ParcourPoste(ws_); });
    onClick(L::AjoutePoste, [this] { AjoutePoste(ws_, NomPoste_->text()); });
    onClick(L::SupprimePoste, [this] { SupprimePoste(ws_); });
    onClick(L::AjouteAdress, [this] {
        AjouteAdress(ws_, RuleFields{saisieSource_->text(), saisieDest_->text()});
    });
    onClick(L::SuppAdress, [this] { SuppAdress(ws_); });
    auto setRuleFields = [this](const RuleFields& fields) {
        saisieSource_->setText(fields.source);
        saisieDest_->setText(fields.destination);
    };
    auto ruleFields = [this] { return RuleFields{saisieSource_->text(), saisieDest_->text()}; };
    onClick(L::ParcourSource,
            [this, setRuleFields, ruleFields] { setRuleFields(ParcourSource(ws_, ruleFields())); });
    onClick(L::ParcourDest,
            [this, setRuleFields, ruleFields] { setRuleFields(ParcourDest(ws_, ruleFields())); });
    onClick(L::Télédéploiement, [this] {
        if (deferredStartGivenUp()) {
            Télédéploiement_Click(ws_, passSettings_);
        }
    });

    // Enter in a group's field adds what it holds, as that group's add button does.
    auto enterPresses = [this](QLineEdit* field, L::Control button) {
        connect(field, &QLineEdit::returnPressed, static_cast<QPushButton*>(controls_[button]),
                &QPushButton::click);
    };
    enterPresses(NomPoste_, L::AjoutePoste);
    enterPresses(saisieSource_, L::AjouteAdress);
    enterPresses(saisieDest_, L::AjouteAdress);
    setTabOrderByGroup();

    connect(ListePostes_, &QListView::doubleClicked, this,
            [this] { NomPoste_->setText(pickWorkstation(ws_, NomPoste_->text())); });
    // A click or an arrow key in one rule list moves the other one with it.
    connect(ListeSource_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) {
                if (index.isValid()) {
                    ListeSourceClicked(ws_, index.row());
                }
            });
    connect(ListeDest_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) {
                if (index.isValid()) {
                    ListeDestClicked(ws_, index.row());
                }
            });
    for (QListView* rules : {ListeSource_, ListeDest_}) {
        connect(rules, &QListView::doubleClicked, this,
                [setRuleFields, ruleFields, this] { setRuleFields(pickRule(ws_, ruleFields())); });
    }
}

void Form1::setTabOrderByGroup() {
    using L = Form1Layout;
    // Each group in turn: its fields, its add and remove buttons, its lists, its browse
    // buttons; then the deployment controls.
    const L::Control order[] = {
        L::NomPoste,     L::AjoutePoste,   L::SupprimePoste, L::ListePostes,     L::ParcourPoste,
        L::saisieSource, L::saisieDest,    L::AjouteAdress,  L::SuppAdress,      L::ListeSource,
        L::ListeDest,    L::ParcourSource, L::ParcourDest,   L::Télédéploiement, L::Récursif,
        L::Différé,      L::Nbessais,      L::Délai,         L::Tentative};
    for (size_t i = 1; i < std::size(order); ++i) {
        QWidget::setTabOrder(controls_[order[i - 1]], controls_[order[i]]);
    }
    QWidget::setTabOrder(controls_[L::Tentative], surface_); // then the board's rows
}

void Form1::bindDeploymentControls() {
    DeploymentControls& c = ws_.controls;
    connect(&c, &DeploymentControls::changed, this, &Form1::refreshDeploymentControls);
    connect(Nbessais_, &QLineEdit::textEdited, &c, &DeploymentControls::setNbessais);
    connect(Délai_, &QLineEdit::textEdited, &c, &DeploymentControls::setDélai);
    connect(Tentative_, &QLineEdit::textEdited, &c, &DeploymentControls::setTentative);
    connect(Récursif_, &QCheckBox::clicked, this, [this](bool ticked) {
        ws_.controls.setRécursif(ticked ? 1 : 0);
        Récursif_Click(ws_);
    });
    connect(Différé_, &QCheckBox::clicked, this, [this](bool ticked) {
        ws_.controls.setDifféré(ticked);
        Différé_Click(ws_);
    });
    refreshDeploymentControls();
}

void Form1::refreshDeploymentControls() {
    using L = Form1Layout;
    const DeploymentControls& c = ws_.controls;
    const std::pair<QLineEdit*, const QString&> fields[] = {
        {Nbessais_, c.Nbessais()}, {Délai_, c.Délai()}, {Tentative_, c.Tentative()}};
    for (const auto& [field, text] : fields) {
        if (field->text() != text) {
            field->setText(text);
        }
    }
    Récursif_->setCheckState(c.Récursif() == 0   ? Qt::Unchecked
                             : c.Récursif() == 2 ? Qt::PartiallyChecked
                                                 : Qt::Checked);
    Différé_->setChecked(c.Différé());
    // A style sheet, because some styles draw check boxes without their palette's background.
    Récursif_->setStyleSheet(c.récursifBackColour() == DeploymentControls::kButtonFace
                                 ? QString()
                                 : QStringLiteral("QCheckBox { background-color: %1; }")
                                       .arg(windowsColour(c.récursifBackColour()).name()));
    for (const L::Control control :
         {L::LabelnB, L::LabelDélai, L::Labeltentatives, L::Nbessais, L::Délai, L::Tentative}) {
        controls_[control]->setVisible(c.retryFieldsVisible());
    }
    if (layout_[L::Shape3].height() != 0) {
        layout_.setRetryFieldsShown(c.retryFieldsVisible());
        applyLayout();
    }
}

QAction* Form1::addAction(QMenu* menu, const QString& caption, const QString& name,
                          std::function<void()> handler) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    if (handler) {
        connect(action, &QAction::triggered, this, std::move(handler));
    }
    return action;
}

void Form1::buildMenus() {
    QMenu* fichier = menuBar()->addMenu(QStringLiteral("&Fichier"));
    fichier->setObjectName(QStringLiteral("Fichier"));
    buildFileMenu(fichier);
    // F10 opens the menu bar, as on Windows.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, this, [this, fichier] {
        if (menuBar()->isEnabled()) {
            menuBar()->setActiveAction(fichier->menuAction());
        }
    });

    QMenu* listes = menuBar()->addMenu(QStringLiteral("&Listes"));
    listes->setObjectName(QStringLiteral("zListes"));
    buildListsMenu(listes);

    QMenu* appel = menuBar()->addMenu(QStringLiteral("&Appeler"));
    appel->setObjectName(QStringLiteral("appel"));
    addAction(appel, QStringLiteral("navigateur Internet"), QStringLiteral("internetExplo"), {});
    addAction(appel, QStringLiteral("Calculette"), QStringLiteral("calculette"),
              [this] { calculette_Click(ws_); });
    addAction(appel, QStringLiteral("Bloc note"), QStringLiteral("notepad"),
              [this] { notepad_Click(ws_); });

    QMenu* lisezMoi = menuBar()->addMenu(QStringLiteral("Lisez-&moi"));
    lisezMoi->setObjectName(QStringLiteral("ùping"));
    addAction(lisezMoi, QStringLiteral("Quelques astuces"), QStringLiteral("Astuces"),
              [this] { ws_.inform(kTips, QString(), Icon::Information); });
}

void Form1::buildFileMenu(QMenu* fichier) {
    QMenu* charger = fichier->addMenu(QStringLiteral("Charger"));
    charger->setObjectName(QStringLiteral("ùCharg"));
    addAction(charger, QStringLiteral("un déploiement"), QStringLiteral("ChargeDéploiement"),
              [this] {
                  ConfirmDiscardChanges(ws_); // what another deployment would replace
                  if (!refused(ws_)) {
                      ChargeDéploiement(ws_);
                  }
              });
    addAction(charger, QStringLiteral("une liste de postes"), QStringLiteral("ChargeListePostes"),
              [this] { ChargeListePostes(ws_); });
    addAction(charger, QStringLiteral("une règle de déploiement"), QStringLiteral("ChargeRègle"),
              [this] { ChargeRègle(ws_); });

    QMenu* enregistrer = fichier->addMenu(QStringLiteral("Enregistrer"));
    enregistrer->setObjectName(QStringLiteral("ùEnreg"));
    const QList<QAction*> saves = {
        addAction(enregistrer, QStringLiteral("ce Déploiement"),
                  QStringLiteral("EnregistreDéploiement"), [this] { EnregistreDéploiement(ws_); }),
        addAction(enregistrer, QStringLiteral("la liste des postes"),
                  QStringLiteral("EnregistreLPostes"), [this] { EnregistreLPostes(ws_); }),
        addAction(enregistrer, QStringLiteral("la Liste des règles"),
                  QStringLiteral("EnregistreRègle"), [this] { EnregistreRègle(ws_); })};
    connect(enregistrer, &QMenu::aboutToShow, this, [this, saves] {
        for (QAction* save : saves) {
            save->setEnabled(!ws_.lists.ListePostes.isEmpty());
        }
    });
    addAction(fichier, QStringLiteral("Enregistrer Sous"), QStringLiteral("Enregistrersous"),
              [this] { Enregistrersous(ws_); });
    fichier->addSeparator()->setObjectName(QStringLiteral("ùD"));
    addAction(fichier, QStringLiteral("&Fermer"), QStringLiteral("fermer"),
              [this] { fermer_Click(ws_); });
    addAction(fichier, QStringLiteral("Quitter"), QStringLiteral("Quit"), [this] {
        if (armedStartGivenUp()) {
            Quit_Click(ws_);
        }
    });
    fichier->addSeparator()->setObjectName(QStringLiteral("ù0"));
    for (int i = 0; i < Workspace::kRecentEntries; ++i) {
        ouvrap_[i] = addAction(fichier, QString(), QStringLiteral("ouvrap%1").arg(i),
                               [this, i] { ouvrap_Click(ws_, i); });
    }
}

void Form1::buildListsMenu(QMenu* listes) {
    addAction(listes, QStringLiteral("des erreurs de ping"), QStringLiteral("erreursPing"),
              [this] { erreursPing(ws_); });
    addAction(listes, QStringLiteral("générale des erreurs"), QStringLiteral("généErreurs"),
              [this] { généErreurs(ws_); });
    masqerreurs_ = addAction(listes, QStringLiteral("masquer la liste"),
                             QStringLiteral("masqerreurs"), [this] { masqerreurs(ws_); });
    addAction(listes, QStringLiteral("Importer de l'annuaire…"), QStringLiteral("annuaire"),
              [this] { importFromDirectory(this, ws_); });
    listes->addSeparator()->setObjectName(QStringLiteral("ùC"));
    QMenu* exporter = listes->addMenu(QStringLiteral("Exporter liste"));
    exporter->setObjectName(QStringLiteral("Exportliste"));
    exportMenu_ = exporter->menuAction();
    addAction(exporter, QStringLiteral("dans presse papier format excel"),
              QStringLiteral("Versclipboard"), [this] { Versclipboard(ws_); });
    addAction(exporter, QStringLiteral(" dans Notepad"), QStringLiteral("VoirErreursnotepad"),
              [this] { VoirErreursnotepad(ws_); });
    addAction(exporter, QStringLiteral("dans tableur '.csv'"), QStringLiteral("dansTableur"),
              [this] { dansTableur(ws_); });
    addAction(exporter, QStringLiteral("au format Sylk"), QStringLiteral("exsylk"), {})
        ->setEnabled(false);
    connect(listes, &QMenu::aboutToShow, this, [this] {
        const StringList& shown = ws_.lists.ListExport;
        const bool offered = shown.isVisible() && !shown.isEmpty();
        exportMenu_->setEnabled(offered);
        masqerreurs_->setEnabled(offered);
    });
}

void Form1::refreshRecentMenu() {
    for (int i = 0; i < Workspace::kRecentEntries; ++i) {
        ouvrap_[i]->setText(ws_.ouvrap.at(i));
        ouvrap_[i]->setVisible(!ws_.ouvrap.at(i).isEmpty());
    }
}

int Form1::pixelsToTwips(int pixels) const {
    return qRound(pixels / pixelsPerTwip());
}

// On a screen too small for the window at its design size (a large scale factor, a
// small laptop), the whole window is drawn smaller, fonts and all, in proportion.
void Form1::zoomToFitScreen() {
    const QSize screen = ws_.ui.screenSizeTwips();
    const int menuTwips = qRound(menuBar()->sizeHint().height() * 1440.0 / logicalDpiY());
    // A little room for the window's frame and the desktop's panels.
    const double room = 0.95;
    zoom_ = std::min({1.0, room * screen.width() / startWidthTwips(),
                      room * screen.height() / (Form1Layout::kDesignHeight + menuTwips)});
    if (zoom_ < 1.0) {
        QFont zoomed = font();
        zoomed.setPointSizeF(zoomed.pointSizeF() * zoom_);
        setFont(zoomed);
        // Controls with a style sheet keep the font they were polished with.
        for (QWidget* control : findChildren<QWidget*>()) {
            control->setFont(zoomed);
        }
    }
}

void Form1::load() {
    // Captions are measured in the platform's font and style: a control is widened
    // rather than its caption cut.
    for (int i = 0; i < Form1Layout::ControlCount; ++i) {
        QWidget* control = controls_[i];
        if (qobject_cast<QAbstractButton*>(control) || qobject_cast<QLabel*>(control)) {
            // One pixel more, for the rounding to twips and back.
            layout_.fitWidth(static_cast<Form1Layout::Control>(i),
                             pixelsToTwips(control->sizeHint().width() + 1));
        }
    }
    zoomToFitScreen(); // in twips, the captions' widths hold at any zoom
    layout_.placeAtStart(ws_.ui.screenSizeTwips());
    layout_.setRetryFieldsShown(ws_.controls.retryFieldsVisible());
    placeMinimumSize();
    // The window's own size is its client area's, below the menu bar.
    resize(twipsToPixels(startWidthTwips()),
           twipsToPixels(Form1Layout::kDesignHeight) + menuBar()->sizeHint().height());
    applyLayout();
    Form_Load(ws_);
}

// The board's right edge at the narrowest: its caption whole, and a row of names of
// 18 characters with the scroll bar beside it (a "Non fait" in its last box).
int Form1::boardRightTwips() const {
    const int scrollBar = pixelsToTwips(VScroll1_->sizeHint().width());
    const int row = BoardState::rowWidth(kBoardNameWidth) + std::max(200, scrollBar + 90);
    const int caption = static_cast<int>(kBoardCaption.size()) * kTwipsPerCharacter + 200;
    return layout_[Form1Layout::Télédéploiement].left() + std::max(row, caption);
}

// The window starts at its design width, or wider where the board needs it.
int Form1::startWidthTwips() const {
    return std::max(Form1Layout::kDesignWidth, boardRightTwips());
}

// No smaller than what keeps every control and the first rows of the board in view,
// and never wider than the window starts.
void Form1::placeMinimumSize() {
    using L = Form1Layout;
    const QRect deployment = layout_[L::Shape3];
    const int clientHeight =
        std::max(layout_.boardTop() + 1500, layout_[L::ListePostes].top() + 1300);
    const int width = std::max(deployment.left() + deployment.width() + 150, boardRightTwips());
    setMinimumSize(twipsToPixels(std::min(width, startWidthTwips())),
                   twipsToPixels(clientHeight) + menuBar()->sizeHint().height());
}

void Form1::applyLayout() {
    layout_.placeExportList(
        QSize(pixelsToTwips(surface_->width()), pixelsToTwips(surface_->height())));
    QList<QRect> frames;
    for (int i = 0; i < Form1Layout::ControlCount; ++i) {
        const auto control = static_cast<Form1Layout::Control>(i);
        const QRect twips = layout_[control];
        const QRect pixels(twipsToPixels(twips.left()), twipsToPixels(twips.top()),
                           twipsToPixels(twips.width()), twipsToPixels(twips.height()));
        if (controls_[i] != nullptr) {
            controls_[i]->setGeometry(pixels);
        } else {
            frames.append(pixels);
        }
    }
    surface_->setFrames(frames);
    // The board moves with Shape3 and spans the window: it is drawn anew at its place.
    DrawStatusBoard();
}

// Along the bottom of the window, over the lists and the board, at every size.
void Form1::showProgress(const PassProgress& progress) {
    passShowedProgress_ = true;
    const bool wasShown = passPanel_->isVisible();
    passPanel_->place(surface_->rect());
    passPanel_->showProgress(progress);
    if (passPanel_->isVisible() != wasShown) {
        DrawStatusBoard(); // its rows end above the strip, or reach the bottom again
    }
}

void Form1::dropPassSummary() {
    if (ws_.passRunning() || !passPanel_->isVisible()) {
        return;
    }
    passPanel_->dropSummary();
    // Drawn once the change that dropped it is over.
    QMetaObject::invokeMethod(this, &Form1::DrawStatusBoard, Qt::QueuedConnection);
}

// The board's rows end above the strip along the bottom while it shows.
int Form1::boardBottomPixels() const {
    return passPanel_->isVisible() ? passPanel_->y() : surface_->height();
}

// During a pass the window stays responsive (move, resize, scroll the board, open a
// finished row, stop the pass) but the menus, lists, fields and buttons wait for its
// end: a pass reads them as they were when it began.
void Form1::keepOnlyWhatAPassAllows(bool passUnderWay) {
    menuBar()->setEnabled(!passUnderWay);
    if (passUnderWay) {
        lockedForPass_.clear();
        for (QWidget* control : controls_) {
            if (control != nullptr && control->isEnabled()) {
                control->setEnabled(false);
                lockedForPass_.append(control);
            }
        }
        return;
    }
    for (QWidget* control : std::as_const(lockedForPass_)) {
        control->setEnabled(true);
    }
    lockedForPass_.clear();
}

bool Form1::askToStopPass() {
    if (!ws_.passRunning()) {
        return false;
    }
    Message question;
    question.text = QStringLiteral("Arrêter le déploiement en cours ?");
    question.title = QStringLiteral("Arrêter");
    question.icon = Icon::Question;
    question.buttons = Buttons::YesNo;
    question.defaultAnswer = Answer::No;
    // The pass goes on while the question is open; it may have ended meanwhile.
    if (ws_.ask(question) != Answer::Yes || !ws_.passRunning()) {
        return false;
    }
    ws_.ui.askStop();
    return true;
}

BoardArea Form1::boardArea() const {
    const double pixelsPerTwip = this->pixelsPerTwip();
    BoardArea area;
    area.left = layout_[Form1Layout::Télédéploiement].left();
    area.top = layout_.boardTop();
    // The boxes stop 200 twips short of the surface's edge, and short of the scroll bar.
    area.right = pixelsToTwips(surface_->width()) -
                 std::max(200, pixelsToTwips(VScroll1_->sizeHint().width()) + 30);
    area.bottom = StatusBoard::bottomTwips(boardBottomPixels(), pixelsPerTwip);
    area.lineHeight = StatusBoard::lineHeightTwips(pixelsPerTwip);
    return area;
}

// The scroll bar's value is the board's top row; it shows while the rows do not all fit.
void Form1::setBoardScrollRange(const BoardArea& area) {
    const int page = boardPageRows(area);
    const int rows = static_cast<int>(boardRows_.size());
    const QSignalBlocker quiet(VScroll1_);
    VScroll1_->setRange(0, std::max(0, rows - page));
    VScroll1_->setPageStep(std::max(page, 1));
    VScroll1_->setVisible(rows > page);
    boardState_.BoardTopRow = static_cast<qint16>(
        std::clamp<int>(boardState_.BoardTopRow, VScroll1_->minimum(), VScroll1_->maximum()));
    VScroll1_->setValue(boardState_.BoardTopRow);
}

// Beside the rows' right edge, from the first row down to the board's bottom.
void Form1::placeBoardScrollBar(const BoardArea& area) {
    const int top = twipsToPixels(area.top + 2 * area.lineHeight);
    const int width = VScroll1_->sizeHint().width();
    const int besideRows =
        twipsToPixels(area.left + BoardState::rowWidth(lastFrame_.nameWidth) + 60);
    VScroll1_->setGeometry(std::min(besideRows, surface_->width() - width), top, width,
                           boardBottomPixels() - top);
}

// The board's own copy of the rows, taken where they changed (a pass's thread, or
// this one); the selection stays on its workstation.
void Form1::setBoardRows(const BoardRows& rows) {
    const BoardRows shown = BoardState::shownRows(rows);
    boardState_.SelectedRow =
        BoardState::selectionAfter(boardRows_, boardState_.SelectedRow, shown);
    boardRows_ = shown;
    DrawStatusBoard();
}

// A workstation's row as its record landed. Rows may land by the thousand a second
// on a fast network: they are drawn together, a tenth of a second after the first.
void Form1::setBoardRow(int row, const BoardRow& content) {
    if (row < 0 || row >= boardRows_.size() || boardRows_.at(row).name() != content.name()) {
        return; // a row of a board published since
    }
    boardRows_[row] = content;
    if (!boardRedrawDue_) {
        boardRedrawDue_ = true;
        QTimer::singleShot(kBoardRedrawMs, this, [this] {
            boardRedrawDue_ = false;
            DrawStatusBoard();
        });
    }
}

// Passes run one after another on a thread of the window's (a worker object on it):
// the window repaints, scrolls, opens details and asks its questions meanwhile; what
// the pass publishes comes queued, and done comes back here once it is over.
void Form1::startPassThread() {
    passThread_ = new QThread(this);
    passThread_->setObjectName(QStringLiteral("passe"));
    passWorker_ = new QObject;
    passWorker_->moveToThread(passThread_);
    connect(passThread_, &QThread::finished, passWorker_, &QObject::deleteLater);
    passThread_->start();
}

void Form1::runBeside(std::function<void()> pass, std::function<void()> done) {
    QMetaObject::invokeMethod(
        passWorker_,
        [this, pass = std::move(pass), done = std::move(done)] {
            pass();
            QMetaObject::invokeMethod(this, done, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

Form1::~Form1() {
    if (ws_.passRunning()) {
        ws_.ui.askStop(); // the pass ends at its next safe point
    }
    passThread_->quit();
    passThread_->wait();
}

void Form1::DrawStatusBoard() {
    // The board may be drawn while the window loads, before the surface has its size.
    surface_->ensureBoardSize(size());
    surface_->clearBoard();
    const BoardArea area = boardArea();
    setBoardScrollRange(area);
    StatusBoard::Place place;
    place.left = area.left;
    place.pixelsPerTwip = pixelsPerTwip();
    place.surfaceWidth = area.right + 200;
    lastFrame_ = boardState_.frame(boardRows_, area);
    placeBoardScrollBar(area);
    board_.setLightFolder(ws_.system.nativePath(ws_.state.ProgramDir) + QLatin1Char('/'));
    board_.paint(surface_->board(), place, lastFrame_);
    surface_->setFocusFrame(focusFrame(area));
    surface_->update();
}

// Around the selected row when it is in view, else around the board's header; none on a
// board without rows.
QRect Form1::focusFrame(const BoardArea& area) const {
    if (boardRows_.isEmpty()) {
        return QRect();
    }
    const int top = lastFrame_.highlightedTop().value_or(lastFrame_.header.top);
    const int left = area.left - 520; // the lights too
    const QRect twips(left, top - 20,
                      area.left + BoardState::rowWidth(lastFrame_.nameWidth) + 20 - left,
                      area.lineHeight + 50);
    return QRect(twipsToPixels(twips.left()), twipsToPixels(twips.top()),
                 twipsToPixels(twips.width()), twipsToPixels(twips.height()));
}

// The detail window shows one workstation: the row picked, every failure with its rule.
void Form1::showDetail(int row) {
    const BoardRows& rows = boardRows_;
    if (row < 0 || row >= rows.size()) {
        return;
    }
    if (FeuilleBlanche_ == nullptr) {
        FeuilleBlanche_ = new FeuilleBlanche(this);
    }
    const bool opening = !FeuilleBlanche_->isVisible();
    FeuilleBlanche_->showDetail(rows.at(row).text, BoardState::detailLines(rows.at(row)));
    if (opening) {
        placeDetailWindow(); // once shown, its frame is known
    }
    FeuilleBlanche_->activateWindow(); // Échap closes it
}

void Form1::placeDetailWindow() {
    const int rowTop = lastFrame_.highlightedTop().value_or(0);
    // Left of the row's lights, over the lists; never over the menu bar.
    const int lightsLeft = layout_[Form1Layout::Télédéploiement].left() - 500;
    const QPoint rowCorner =
        surface_->mapToGlobal(QPoint(twipsToPixels(lightsLeft), twipsToPixels(rowTop)));
    QRect area = screen()->availableGeometry();
    area.setTop(std::max(area.top(), surface_->mapToGlobal(QPoint(0, 0)).y()));
    FeuilleBlanche_->placeBeside(rowCorner.x(), rowCorner.y(), area);
}

// A long name shortened on the board shows whole when the pointer rests on its row.
void Form1::showRowToolTip(QPoint position, QPoint globalPosition) {
    const int y = pixelsToTwips(position.y());
    for (const BoardLine& line : lastFrame_.rows) {
        if (line.index >= 0 && line.index < boardRows_.size() && line.top <= y &&
            y < line.top + BoardState::kRowHitHeight) {
            const QString name = boardRows_.at(line.index).name();
            if (name.size() > lastFrame_.nameWidth) {
                QToolTip::showText(globalPosition, name, surface_);
                return;
            }
        }
    }
    QToolTip::hideText();
}

int Form1::boardPageRows(const BoardArea& area) const {
    return BoardState::rowsThatFit(area.top, pixelsToTwips(boardBottomPixels()), area.lineHeight);
}

void Form1::setBoardTopRow(int row) {
    if (VScroll1_->value() != row) {
        VScroll1_->setValue(row); // which comes back here
        return;
    }
    boardState_.BoardTopRow = static_cast<qint16>(row);
    DrawStatusBoard();
}

// A press selects the row under it, if any, and returns it; the view stays where it is.
int Form1::selectRowAt(QPoint position) {
    const int row = BoardState::rowAt(lastFrame_, pixelsToTwips(position.y()));
    if (row >= 0) {
        boardState_.SelectedRow = row;
        DrawStatusBoard();
    }
    return row;
}

void Form1::onBoardPress(QPoint position) {
    selectRowAt(position);
}

void Form1::onBoardDoubleClick(QPoint position) {
    showDetail(selectRowAt(position));
}

// The arrow keys move the selection through the rows, the view following it; Enter
// opens the selected row.
void Form1::onBoardKey(int windowsKeyCode) {
    const int selected = boardState_.SelectedRow;
    if (windowsKeyCode == kKeyEnter) {
        showDetail(selected);
        return;
    }
    const int page = boardPageRows(boardArea());
    const int row = SelectByKey(windowsKeyCode, selected, boardState_.BoardTopRow,
                                static_cast<int>(boardRows_.size()), page);
    if (row < 0 || row == selected) {
        return;
    }
    boardState_.SelectedRow = row;
    boardState_.BoardTopRow =
        static_cast<qint16>(TopRowShowing(row, boardState_.BoardTopRow, page));
    DrawStatusBoard();
}

void Form1::Form_Activate() {
    // An armed start keeps "Différé" ticked until its countdown ends.
    if (ws_.passRunning() || deferred_ != nullptr) {
        return;
    }
    StartPendingDeferredRun(ws_, passSettings_);
    DrawStatusBoard();
}

// The dialog counts down beside the window, which stays usable: "Différé" stays
// ticked while it is open; its pass starts once it has closed.
void Form1::showDeferredStartDialog() {
    if (deferred_ != nullptr) {
        deferred_->raise();
        deferred_->activateWindow();
        return;
    }
    deferred_ = new Form2(ws_, this);
    deferred_->setAttribute(Qt::WA_DeleteOnClose);
    // The pass starts once the dialog's own calls have returned: it goes away
    // meanwhile, and a pass takes the window's events.
    connect(deferred_, &QDialog::finished, this, [this] {
        deferred_ = nullptr;
        QTimer::singleShot(0, this, &Form1::Form_Activate);
    });
    deferred_->show();
}

// An armed start is dropped only on the operator's word (Non by default): for a
// pass started by hand, which replaces it, and for the program's end.
bool Form1::armedStartDropped(const QString& question) {
    if (deferred_ == nullptr || !deferred_->logic().timerEnabled()) {
        return true;
    }
    Message message;
    message.text = question;
    message.title = QStringLiteral("Dépoiement Différé");
    message.icon = Icon::Question;
    message.buttons = Buttons::YesNo;
    message.defaultAnswer = Answer::No;
    if (ws_.ask(message) != Answer::Yes) {
        return false;
    }
    deferred_->logic().AnuleDéploiement();
    return true;
}

bool Form1::deferredStartGivenUp() {
    return armedStartDropped(QStringLiteral(
        "Un déploiement différé est programmé.\r\nL'annuler et déployer maintenant ?"));
}

bool Form1::armedStartGivenUp() {
    return armedStartDropped(QStringLiteral("Un déploiement différé est programmé : il n'aura "
                                            "pas lieu si le programme se ferme.\r\nFermer quand "
                                            "même ?"));
}

void Form1::scheduleRetryTick() {
    const qint64 wait = ws_.TimerRécursif.msUntilDue();
    if (wait < 0) {
        retryTimer_->stop();
    } else {
        // Looked at again every second: a wait of minutes follows the clock, not a
        // toolkit timer that a suspended machine would stretch.
        retryTimer_->start(static_cast<int>(std::min<qint64>(wait, kRetryLookMs)));
    }
}

void Form1::onRetryTick() {
    // A tick that falls due during a pass is delivered once the pass is over
    // (passFinished schedules it again).
    if (ws_.passRunning()) {
        return;
    }
    // The toolkit's timer may fire a little early: wait for the rest of the interval.
    const qint64 wait = ws_.TimerRécursif.msUntilDue();
    if (wait > 0) {
        scheduleRetryTick();
    } else if (wait == 0) {
        deliverRetryTick(ws_, passSettings_);
    }
}

void Form1::closeEvent(QCloseEvent* event) {
    if (ws_.passRunning()) {
        event->ignore(); // the window closes once the pass has stopped
        if (askToStopPass()) {
            connect(&ws_, &Workspace::passFinished, this, &QWidget::close,
                    Qt::SingleShotConnection);
        }
        return;
    }
    if (!armedStartGivenUp() || !Form_QueryUnload(ws_)) {
        event->ignore();
        return;
    }
    event->accept();
    Form_Unload(ws_);
}

void Form1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (layout_[Form1Layout::Shape1].height() == 0) {
        return; // not laid out yet
    }
    layout_.resize(pixelsToTwips(surface_->height()));
    passPanel_->place(surface_->rect());
    const int selected = boardState_.SelectedRow;
    if (selected >= 0) {
        boardState_.BoardTopRow = static_cast<qint16>(
            TopRowShowing(selected, boardState_.BoardTopRow, boardPageRows(boardArea())));
    }
    applyLayout(); // and the board, over the whole of the enlarged area
}

void Form1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        Form_Activate();
    }
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        if (watched == ListePostes_) {
            ListePostesDeleteKey(ws_);
        } else if (watched == ListeSource_ || watched == ListeDest_) {
            RuleListDeleteKey(ws_);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace vantrel
