#pragma once

#include "BoardRow.h"
#include "Lists.h"
#include "WorkingState.h"
#include "WorkstationRecord.h"
#include "core/DeploymentControls.h"
#include "core/PassProgress.h"
#include "core/RetryTimer.h"
#include "platform/Platform.h"

#include <QObject>

#include <QStringList>

#include <array>
#include <functional>

namespace vantrel {

// The main window's logic side: the working state, the lists, the deployment
// fields and the retry timer, with the platform they reach the world through.
class Workspace : public QObject {
    Q_OBJECT
public:
    explicit Workspace(Platform& platform);

    Platform& platform;
    System& system;
    UserInterface& ui;
    Clock& clock;

    WorkingState state;
    Lists lists;
    DeploymentControls controls;
    RetryTimer TimerRécursif;
    // The workstations of the last pass, or of the one under way, in list order.
    PassRecords passRecords;
    // The cycle the last start began: one record per entry of the list, each with its
    // latest outcome over the cycle's passes. The board, the rows saved and printed and
    // the exit status read it; each pass's journal tells that pass.
    PassRecords cycleRecords;

    // The recent-file menu entries ouvrap(0..4).
    static constexpr int kRecentEntries = 5;
    std::array<QString, kRecentEntries> ouvrap;
    void setRecentCaption(int index, const QString& caption);

    const QString& caption() const { return caption_; }
    void setCaption(const QString& caption);

    Answer ask(const Message& message) { return ui.show(message); }
    void inform(const QString& text, const QString& title, Icon icon = Icon::None);

    // How a pass is run: done() follows it on the starter's thread. At once by default
    // (a run without window, the logic's tests); the window runs it on a thread of its
    // own, so that the window never waits for the pass.
    using PassRunner = std::function<void(std::function<void()> pass, std::function<void()> done)>;
    void setPassRunner(PassRunner runner) { passRunner_ = std::move(runner); }
    // Runs a pass, marked as running from now until its end.
    void startPass(std::function<void()> pass);

    bool passRunning() const { return passRunning_; }
    void setPassRunning(bool running);
    // The program was asked to end, or the operator to stop the pass: a pass stops
    // at its next safe point.
    bool stopRequested() const { return system.terminationSignal() != 0 || ui.stopAsked(); }
    // The last pass could not run to its end (no pass folder, the sweep cut short).
    bool passStopped() const { return passStopped_; }
    void setPassStopped(bool stopped) { passStopped_ = stopped; }

    // The board's rows: Listécritures holds their texts, for the files and prints.
    const BoardRows& board() const { return board_; }
    void setBoard(const BoardRows& rows);
    // One row changed (a workstation's record landed): it alone goes to the window.
    void setBoardRow(int row, const BoardRow& content);
    // Board redraw; the window paints, the logic only asks. The rows go with the
    // request, taken on the thread that changed them: the window draws its own copy
    // while a pass goes on.
    void DrawStatusBoard() { emit boardChanged(board_); }
    // The deferred-start dialog, shown modally by the window (none without one).
    void showDeferredStartDialog() { emit deferredStartDialogRequested(); }

    // How far the pass is (phase Over when it has ended): the window shows a bar and
    // takes its input meanwhile, a run on a terminal rewrites a line in place.
    void showProgress(const PassProgress& progress) {
        emit progressChanged(progress);
        ui.showProgress(progress.text());
    }

    // The program ends at once (Quit, window unload).
    void endProgram() { emit endRequested(); }

signals:
    void captionChanged(const QString& caption);
    void recentMenuChanged();
    void boardChanged(const vantrel::BoardRows& rows);
    void boardRowChanged(int row, const vantrel::BoardRow& content);
    void deferredStartDialogRequested();
    void endRequested();
    void passStarted();
    void passFinished();
    void progressChanged(const vantrel::PassProgress& progress);

private:
    QString caption_;
    BoardRows board_;
    PassRunner passRunner_ = [](std::function<void()> pass, std::function<void()> done) {
        pass();
        done();
    };
    bool passRunning_ = false;
    bool passStopped_ = false;
};

// The hourglass pointer for as long as it lives.
class BusyPointer {
public:
    explicit BusyPointer(Workspace& ws) : ui_(ws.ui) { ui_.setBusy(true); }
    ~BusyPointer() { ui_.setBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    UserInterface& ui_;
};

} // namespace vantrel
