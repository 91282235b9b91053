#include "FeuilleBlanche.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace vantrel {

FeuilleBlanche::FeuilleBlanche(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("FeuilleBlanche"));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("List1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
    resize(520, 360);
}

void FeuilleBlanche::showDetail(const QString& row, const QStringList& lines) {
    setWindowTitle(row);
    list_->clear();
    list_->addItems(lines);
    show();
    raise();
}

void FeuilleBlanche::placeBeside(int rightEdge, int rowTop, const QRect& area) {
    // The frame (title bar, borders) counts: it is what must stay inside the area.
    const QSize decoration = frameGeometry().size() - size();
    resize(size().boundedTo(area.size() - decoration));
    const QSize outer = frameGeometry().size();
    const int x =
        std::clamp(rightEdge - outer.width(), area.left(), area.right() + 1 - outer.width());
    const int y = std::clamp(rowTop, area.top(), area.bottom() + 1 - outer.height());
    move(x, y);
}

void FeuilleBlanche::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FeuilleBlanche::closeEvent(QCloseEvent* event) {
    list_->clear();
    QWidget::closeEvent(event);
}

} // namespace vantrel
