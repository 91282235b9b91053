#pragma once

#include "core/PassProgress.h"

#include <QElapsedTimer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace vantrel {

// The strip along the bottom of the window while a pass runs: a progress bar, the
// counts beside it (served, in error, not answering, to do) and the elapsed time, which moves
// every second in both phases, and the button "Arrêter"; after the pass, a line that
// sums it up.
class PassPanel : public QWidget {
    Q_OBJECT
public:
    explicit PassPanel(QWidget* parent);

    // Shown from the first progress of a pass, hidden at its end (phase Over).
    void showProgress(const PassProgress& progress);
    // Once the pass is over: its one-line summary, until dropSummary.
    void showSummary(const QString& line);
    void dropSummary();
    // Across the bottom of area, at the height its font needs.
    void place(const QRect& area);

signals:
    void stopClicked();

private:
    void refresh();

    QProgressBar* bar_ = nullptr;
    QLabel* text_ = nullptr;
    QPushButton* stop_ = nullptr;
    QTimer* tick_ = nullptr;
    PassProgress progress_;
    QElapsedTimer sinceProgress_; // the time since progress_ came, added to its own
};

} // namespace vantrel
