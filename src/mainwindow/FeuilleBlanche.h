#pragma once

#include <QWidget>

class QListWidget;

namespace vantrel {

// The detail window of a board row: what ListeGénérale says of the workstation.
// While it stays open each further double-click appends below; closing discards.
class FeuilleBlanche : public QWidget {
    Q_OBJECT
public:
    explicit FeuilleBlanche(QWidget* parent = nullptr);

    void addDetail(const QString& row, const QStringList& lines);
    // Places the shown window with its frame's right edge at rightEdge and its top at rowTop
    // (global pixels), inside area, which leaves out the main window's menu bar.
    void placeBeside(int rightEdge, int rowTop, const QRect& area);
    QListWidget* List1() const { return list_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QListWidget* list_;
};

} // namespace vantrel
