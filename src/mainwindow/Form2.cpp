#include "Form2.h"

#include "core/KeyFilter.h"
#include "core/Workspace.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace vantrel {
namespace {

constexpr int kWidthTwips = 6560;
constexpr int kTopTwips = 50;

} // namespace

Form2::Form2(Workspace& ws, QWidget* parent) : QDialog(parent), clock_(ws.clock), logic_(ws) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Dépoiement Différé"));
    // The main window stays usable while the dialog counts down.
    setModal(false);
    auto* grid = new QGridLayout(this);
    // The dialog keeps its width of 6560 twips: the heading never widens it, and
    // the row labels wrap.
    auto* heading =
        new QLabel(QStringLiteral("      An        Mois        Jours        heures     minutes"));
    heading->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    grid->addWidget(heading, 0, 1, 1, DeferredStart::FieldCount);
    for (const char* text : {"Réglage date déploiement", "Temps restant"}) {
        auto* label = new QLabel(QString::fromUtf8(text));
        label->setWordWrap(true);
        grid->addWidget(label, grid->rowCount(), 0);
    }
    const char* targetNames[] = {"DAn", "DMois", "Djour", "Dheure", "Dminute"};
    const char* remainingNames[] = {"SAn", "SMois", "Sjour", "Sheure", "SMinute"};
    for (int f = 0; f < DeferredStart::FieldCount; ++f) {
        target_[f] = new QLineEdit(this);
        target_[f]->setObjectName(QString::fromLatin1(targetNames[f]));
        target_[f]->installEventFilter(this);
        remaining_[f] = new QLineEdit(this);
        remaining_[f]->setObjectName(QString::fromLatin1(remainingNames[f]));
        remaining_[f]->setReadOnly(true);
        grid->addWidget(target_[f], 1, f + 1);
        grid->addWidget(remaining_[f], 2, f + 1);
        const auto field = static_cast<DeferredStart::Field>(f);
        connect(target_[f], &QLineEdit::textEdited, this,
                [this, field](const QString& text) { logic_.setTarget(field, text); });
    }
    auto addButton = [this, grid](const QString& caption, const QString& name, int column,
                                  void (DeferredStart::*action)()) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(name);
        button->setAutoDefault(false);
        grid->addWidget(button, 4, column, 1, 2);
        connect(button, &QPushButton::clicked, this, [this, action] { (logic_.*action)(); });
    };
    addButton(QStringLiteral("Lancer"), QStringLiteral("Lancer"), 0, &DeferredStart::Lancer);
    addButton(QStringLiteral("Annule Délai"), QStringLiteral("AnnuleDélai"), 2,
              &DeferredStart::AnnuleDélai);
    addButton(QStringLiteral("Anule Déploiement"), QStringLiteral("AnuleDéploiement"), 4,
              &DeferredStart::AnuleDéploiement);

    lastMinute_ = new QLabel(this);
    lastMinute_->setObjectName(QStringLiteral("derniereMinute"));
    grid->addWidget(lastMinute_, 3, 0, 1, DeferredStart::FieldCount + 1); // above the buttons
    Timer1_ = new QTimer(this);
    connect(Timer1_, &QTimer::timeout, this, [this] {
        Timer1_->setInterval(msToNextMinute());
        logic_.Timer1_Timer();
    });
    seconds_ = new QTimer(this);
    seconds_->setInterval(1000);
    connect(seconds_, &QTimer::timeout, this, &Form2::countLastMinute);
    connect(&logic_, &DeferredStart::changed, this, &Form2::refresh);
    connect(&logic_, &DeferredStart::closeRequested, this, &QDialog::accept);
    logic_.Form_Load();

    const double pixelsPerTwip = logicalDpiX() / 1440.0;
    const int width = qRound(kWidthTwips * pixelsPerTwip);
    resize(width, std::max(sizeHint().height(), heightForWidth(width)));
    screenRight_ = qRound(ws.ui.screenSizeTwips().width() * pixelsPerTwip);
    top_ = qRound(kTopTwips * pixelsPerTwip);
    placeTopRight();
}

// 50 twips below the top of the screen, its right edge on the screen's right edge;
// placed again once shown, when the window frame's size is known.
void Form2::placeTopRight() {
    move(screenRight_ - frameGeometry().width(), top_);
}

void Form2::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    placeTopRight();
}

void Form2::refresh() {
    for (int f = 0; f < DeferredStart::FieldCount; ++f) {
        const auto field = static_cast<DeferredStart::Field>(f);
        if (target_[f]->text() != logic_.target(field)) {
            target_[f]->setText(logic_.target(field));
        }
        remaining_[f]->setText(logic_.remaining(field));
    }
    if (logic_.timerEnabled() && !Timer1_->isActive()) {
        Timer1_->start(msToNextMinute());
        seconds_->start();
    } else if (!logic_.timerEnabled()) {
        Timer1_->stop();
        seconds_->stop();
        lastMinute_->clear();
    }
}

// The minutes left count down on the clock's minutes, as the target is one: the
// minutes row and the last minute's seconds tell the same time.
int Form2::msToNextMinute() const {
    const QTime now = clock_.now().time();
    return 60000 - (now.second() * 1000 + now.msec());
}

void Form2::countLastMinute() {
    const qint64 left = logic_.secondsLeft();
    if (left < 0 || left > 60) {
        lastMinute_->clear();
        return;
    }
    lastMinute_->setText(QStringLiteral("Lancement dans %1 s").arg(left));
    if (left == 0) {
        logic_.Timer1_Timer(); // the minute has come: start now, not at the next tick
    }
}

// Every key typed in a target field passes through KeyFilter first.
bool Form2::eventFilter(QObject* watched, QEvent* event) {
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (field == nullptr || event->type() != QEvent::KeyPress) {
        return QDialog::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->text().size() != 1 || !key->text().at(0).isPrint()) {
        return QDialog::eventFilter(watched, event);
    }
    const QChar filtered = KeyFilter(key->text().at(0));
    if (filtered == key->text().at(0)) {
        return QDialog::eventFilter(watched, event);
    }
    field->insert(QString(filtered));
    emit field->textEdited(field->text());
    return true;
}

} // namespace vantrel
