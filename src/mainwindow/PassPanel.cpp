#include "PassPanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace vantrel {
namespace {

constexpr int kTickMs = 1000;

} // namespace

PassPanel::PassPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("passPanel"));
    setAutoFillBackground(true);
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("progression"));
    // The counts beside the bar, not over it: the bar's moving edge would cut them.
    bar_->setTextVisible(false);
    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("progressionTexte"));
    stop_ = new QPushButton(QStringLiteral("Arrêter"), this);
    stop_->setObjectName(QStringLiteral("Arrêter"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 2, 2, 2);
    row->addWidget(bar_, 1);
    row->addWidget(text_);
    row->addWidget(stop_);
    connect(stop_, &QPushButton::clicked, this, &PassPanel::stopClicked);
    tick_ = new QTimer(this);
    tick_->setInterval(kTickMs);
    connect(tick_, &QTimer::timeout, this, &PassPanel::refresh);
    hide();
}

void PassPanel::showProgress(const PassProgress& progress) {
    progress_ = progress;
    sinceProgress_.start();
    if (progress.phase == PassProgress::Phase::Over) {
        tick_->stop();
        hide();
        return;
    }
    if (!tick_->isActive()) {
        stop_->show();
        show();
        raise();
        tick_->start();
    }
    refresh();
}

void PassPanel::showSummary(const QString& line) {
    tick_->stop();
    stop_->hide();
    bar_->setRange(0, 1);
    bar_->setValue(1);
    text_->setText(line);
    show();
    raise();
}

void PassPanel::dropSummary() {
    if (!tick_->isActive()) {
        hide();
    }
}

void PassPanel::place(const QRect& area) {
    const int height = sizeHint().height();
    setGeometry(area.left(), area.bottom() + 1 - height, area.width(), height);
}

void PassPanel::refresh() {
    PassProgress now = progress_;
    now.elapsedMs += sinceProgress_.elapsed();
    bar_->setRange(0, std::max(1, now.total));
    // Nothing is counted before the copies.
    bar_->setValue(now.phase == PassProgress::Phase::Serving ? now.total - now.toDo() : 0);
    text_->setText(now.text());
}

} // namespace vantrel
