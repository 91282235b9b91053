#include "FeuilleBlanche.h"

#include <QListWidget>
#include <QVBoxLayout>

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

void FeuilleBlanche::addDetail(const QString& row, const QStringList& lines) {
    setWindowTitle(row);
    list_->addItems(lines);
    show();
    raise();
}

void FeuilleBlanche::closeEvent(QCloseEvent* event) {
    list_->clear();
    QWidget::closeEvent(event);
}

} // namespace vantrel
