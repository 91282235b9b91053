#pragma once

#include "Message.h"

#include <QSize>
#include <QString>

#include <atomic>

namespace vantrel {

struct FileDialogRequest {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    QString title;
    QString initialFolder; // Windows form, no final backslash
    QString proposedName;
    QString filter; // "description|pattern|description|pattern"
};

// What the program shows to and asks of the operator.
class UserInterface {
public:
    virtual ~UserInterface() = default;

    virtual Answer show(const Message& message) = 0;
    // Returns the chosen path in Windows form, "" when the operator cancelled.
    virtual QString chooseFile(const FileDialogRequest& request) = 0;
    virtual void setBusy(bool busy) = 0;
    virtual bool isBusy() const = 0;
    virtual void setClipboardText(const QString& text) = 0;
    virtual void clearClipboard() = 0;
    virtual QSize screenSizeTwips() = 0;
    // Shows how long work is going ("" when it is over), where the window does not
    // draw it itself (a terminal's line).
    virtual void showProgress(const QString& line) = 0;

    // A pass is under way (it may run on a thread of its own: these two are read there).
    bool passUnderWay() const { return passUnderWay_; }
    void setPassUnderWay(bool underWay) {
        passUnderWay_ = underWay;
        stopAsked_ = false; // a stop asked for is the pass's that it stopped
    }
    // The operator asked, in the window, to stop the pass under way.
    bool stopAsked() const { return stopAsked_; }
    void askStop() { stopAsked_ = passUnderWay_.load(); }

private:
    std::atomic<bool> passUnderWay_{false};
    std::atomic<bool> stopAsked_{false};
};

} // namespace vantrel
