#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

namespace vantrel {

// The main window's client area: the three frames, and the status board, which is
// painted into an image that the surface keeps, so that it survives being covered.
class Form1Surface : public QWidget {
    Q_OBJECT
public:
    explicit Form1Surface(QWidget* parent = nullptr);

    void setFrames(const QList<QRect>& framesInPixels);
    QImage& board() { return board_; }
    // Makes the board image at least the surface's size (or the given one, before the
    // window is shown), keeping what it shows.
    void ensureBoardSize(const QSize& atLeast = QSize());
    // Wipes the board image to the window's background: a board shows only what it
    // is about to paint.
    void clearBoard();
    // Where the board shows that it has the keyboard: around its selected row.
    void setFocusFrame(const QRect& pixels);

signals:
    void pressed(QPoint position);
    void doubleClicked(QPoint position);
    void keyPressed(int windowsKeyCode);
    void wheelTurned(int rows); // positive: towards the end of the board
    void toolTipAsked(QPoint position, QPoint globalPosition);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QList<QRect> frames_;
    QImage board_;
    QRect focusFrame_;
};

} // namespace vantrel
