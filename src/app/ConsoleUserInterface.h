#pragma once

#include "platform/UserInterface.h"

#include <QTextStream>

namespace vantrel {

// The operator of an unattended run: every message goes to stderr as one line,
// questions are answered Yes, except opening the journal and saving the lists.
class ConsoleUserInterface : public UserInterface {
public:
    ConsoleUserInterface();

    Answer show(const Message& message) override;
    QString chooseFile(const FileDialogRequest& request) override;
    void setBusy(bool) override {}
    bool isBusy() const override { return false; }
    void setClipboardText(const QString&) override {}
    void clearClipboard() override {}
    QSize screenSizeTwips() override;
    // On a terminal only: one line rewritten in place; a log or cron sees none of it.
    void showProgress(const QString& line) override;

    static QString oneLine(const Message& message);

private:
    void eraseProgress();

    QTextStream err_;
    bool onTerminal_ = false;
    qsizetype shownLength_ = 0; // of the progress line on the terminal
};

} // namespace vantrel
