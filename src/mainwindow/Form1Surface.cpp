#include "Form1Surface.h"

#include <QHelpEvent>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace vantrel {
namespace {

const QColor kBackground(0xE0, 0xE0, 0xE0);
constexpr int kRowsPerWheelNotch = 3;

// The key codes the board reacts to, as Windows numbers them.
int windowsKeyCode(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Delete:
        return 46;
    default:
        return qtKey;
    }
}

} // namespace

Form1Surface::Form1Surface(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus); // Tab reaches the board's rows
    setAutoFillBackground(false);
}

void Form1Surface::setFrames(const QList<QRect>& framesInPixels) {
    frames_ = framesInPixels;
    update();
}

void Form1Surface::ensureBoardSize(const QSize& atLeast) {
    const QSize wanted = size().expandedTo(atLeast);
    if (board_.width() >= wanted.width() && board_.height() >= wanted.height()) {
        return;
    }
    QImage bigger(std::max(board_.width(), wanted.width()),
                  std::max(board_.height(), wanted.height()), QImage::Format_RGB32);
    bigger.fill(kBackground);
    QPainter painter(&bigger);
    painter.drawImage(0, 0, board_);
    board_ = bigger;
}

void Form1Surface::clearBoard() {
    board_.fill(kBackground);
}

void Form1Surface::setFocusFrame(const QRect& pixels) {
    focusFrame_ = pixels;
    update();
}

bool Form1Surface::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        emit toolTipAsked(help->pos(), help->globalPos());
        return true;
    }
    return QWidget::event(event);
}

void Form1Surface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, board_);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    for (const QRect& frame : frames_) {
        painter.drawRect(frame);
    }
    if (hasFocus() && !focusFrame_.isNull()) {
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawRect(focusFrame_);
    }
}

void Form1Surface::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void Form1Surface::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

void Form1Surface::resizeEvent(QResizeEvent* event) {
    ensureBoardSize();
    QWidget::resizeEvent(event);
}

void Form1Surface::mousePressEvent(QMouseEvent* event) {
    emit pressed(event->position().toPoint());
}

void Form1Surface::mouseDoubleClickEvent(QMouseEvent* event) {
    emit doubleClicked(event->position().toPoint());
}

void Form1Surface::keyPressEvent(QKeyEvent* event) {
    // A key a field or a button left unused comes here too: it is not the board's.
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    emit keyPressed(windowsKeyCode(event->key()));
    event->accept();
}

void Form1Surface::wheelEvent(QWheelEvent* event) {
    const int notches = -event->angleDelta().y() / 120;
    if (notches != 0) {
        emit wheelTurned(notches * kRowsPerWheelNotch);
    }
    event->accept();
}

} // namespace vantrel
