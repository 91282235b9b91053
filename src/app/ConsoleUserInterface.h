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

    static QString oneLine(const Message& message);

private:
    QTextStream err_;
};

} // namespace vantrel
