#pragma once

#include <QWidget>

class QListWidget;

namespace vantrel {

// The detail window of a board row: what ListeGénérale says of the one workstation
// double-clicked last (another double-click shows the other instead). Échap closes it.
class FeuilleBlanche : public QWidget {
    Q_OBJECT
public:
    explicit FeuilleBlanche(QWidget* parent = nullptr);

    void showDetail(const QString& row, const QStringList& lines);
    // Places the shown window with its frame's right edge at rightEdge and its top at rowTop
    // (global pixels), inside area, which leaves out the main window's menu bar.
    void placeBeside(int rightEdge, int rowTop, const QRect& area);
    QListWidget* List1() const { return list_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QListWidget* list_;
};

} // namespace vantrel
