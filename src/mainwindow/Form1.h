#pragma once

#include "Form1Layout.h"
#include "StatusBoard.h"
#include "board/BoardState.h"
#include "deploy/PassSettings.h"

#include <QMainWindow>
#include <QPointer>

#include <QList>

#include <array>
#include <functional>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QPushButton;
class QScrollBar;
class QThread;
class QTimer;

namespace vantrel {

class FeuilleBlanche;
class Form1Surface;
class Form2;
class PassPanel;
struct PassProgress;
class StringList;
class Workspace;

// The main window: lays the controls out, binds the lists to their models and
// turns the operator's actions into calls on the logic.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    // Its passes run with passSettings.
    explicit Form1(Workspace& ws, const PassSettings& passSettings = PassSettings(),
                   QWidget* parent = nullptr);
    ~Form1() override;

    // Form_Load: layout and the logic's part of the load.
    void load();

    const Form1Layout& layout() const { return layout_; }
    // 1440 twips to the inch, times the zoom that fits the window on its screen.
    double pixelsPerTwip() const;
    int twipsToPixels(int twips) const;
    int pixelsToTwips(int pixels) const;
    Form1Surface* surface() const { return surface_; }
    BoardState& boardState() { return boardState_; }
    FeuilleBlanche* detailWindow() const { return FeuilleBlanche_; }
    const BoardFrame& lastFrame() const { return lastFrame_; }

    // Paints the board on the window surface (DrawStatusBoard).
    void DrawStatusBoard();
    // Form_Activate: a pending deferred pass, then the board's top row.
    void Form_Activate();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void buildFileMenu(QMenu* menu);
    void buildListsMenu(QMenu* menu);
    void bindList(QListView* view, StringList& list);
    void bindDeploymentControls();
    int boardRightTwips() const;
    int startWidthTwips() const;
    void zoomToFitScreen();
    void placeMinimumSize();
    void applyLayout();
    void refreshRecentMenu();
    void refreshDeploymentControls();
    void setTabOrderByGroup();
    BoardArea boardArea() const;
    int boardBottomPixels() const;
    void setBoardScrollRange(const BoardArea& area);
    void placeBoardScrollBar(const BoardArea& area);
    QRect focusFrame(const BoardArea& area) const;
    void dropPassSummary();
    void setBoardTopRow(int row);
    void setBoardRows(const BoardRows& rows);
    void setBoardRow(int row, const BoardRow& content);
    void startPassThread();
    void runBeside(std::function<void()> pass, std::function<void()> done);
    int selectRowAt(QPoint position);
    void onBoardPress(QPoint position);
    void onBoardDoubleClick(QPoint position);
    void onBoardKey(int windowsKeyCode);
    void showDetail(int row);
    // Whole rows the board has room for below its header, in the surface's height.
    int boardPageRows(const BoardArea& area) const;
    void placeDetailWindow();
    void showProgress(const PassProgress& progress);
    void keepOnlyWhatAPassAllows(bool passUnderWay);
    // True when the operator said Oui and the pass is still under way.
    bool askToStopPass();
    void showRowToolTip(QPoint position, QPoint globalPosition);
    void showDeferredStartDialog();
    bool armedStartDropped(const QString& question);
    bool deferredStartGivenUp();
    bool armedStartGivenUp();
    void scheduleRetryTick();
    void onRetryTick();
    QAction* addAction(QMenu* menu, const QString& caption, const QString& name,
                       std::function<void()> handler);
    QPushButton* makeButton(const QString& caption, const QString& name, quint32 windowsColour);
    QLineEdit* makeField(const QString& name);
    QListView* makeList(const QString& name, StringList& list);

    Workspace& ws_;
    const PassSettings passSettings_;
    Form1Layout layout_;
    Form1Surface* surface_ = nullptr;
    BoardState boardState_;
    BoardRows boardRows_;         // as the logic last published them
    bool boardRedrawDue_ = false; // rows changed one by one, drawn together
    BoardFrame lastFrame_;        // as last painted
    StatusBoard board_;
    QScrollBar* VScroll1_ = nullptr; // its value is the board's top row
    FeuilleBlanche* FeuilleBlanche_ = nullptr;
    std::array<QWidget*, Form1Layout::ControlCount> controls_{};
    QLineEdit* NomPoste_ = nullptr;
    QLineEdit* saisieSource_ = nullptr;
    QLineEdit* saisieDest_ = nullptr;
    QLineEdit* Nbessais_ = nullptr;
    QLineEdit* Délai_ = nullptr;
    QLineEdit* Tentative_ = nullptr;
    QCheckBox* Récursif_ = nullptr;
    QCheckBox* Différé_ = nullptr;
    QListView* ListePostes_ = nullptr;
    QListView* ListeSource_ = nullptr;
    QListView* ListeDest_ = nullptr;
    QListView* ListExport_ = nullptr;
    std::array<QAction*, 5> ouvrap_{};
    QAction* exportMenu_ = nullptr;
    QAction* masqerreurs_ = nullptr;
    QTimer* retryTimer_ = nullptr;
    QPointer<Form2> deferred_;        // while the deferred-start dialog is open
    PassPanel* passPanel_ = nullptr;  // along the bottom while a pass runs, and after it
    bool passShowedProgress_ = false; // the pass under way got as far as its sweep
    QList<QWidget*> lockedForPass_;   // the controls a pass disabled, enabled at its end
    QThread* passThread_ = nullptr;   // where passes run
    QObject* passWorker_ = nullptr;   // lives on passThread_
    double zoom_ = 1.0;               // below 1 on a screen too small for the window's full size
};

} // namespace vantrel
