#pragma once

#include "platform/UserInterface.h"

namespace vantrel {

class System;

// Message boxes, file dialogs, pointer, clipboard and screen through Qt Widgets. A
// message or the pointer asked from another thread (a pass's) is shown on the
// window's thread, the caller waiting for the answer.
class QtUserInterface : public UserInterface {
public:
    explicit QtUserInterface(System& system);

    Answer show(const Message& message) override;
    QString chooseFile(const FileDialogRequest& request) override;
    void setBusy(bool busy) override;
    bool isBusy() const override { return busy_; }
    void setClipboardText(const QString& text) override;
    void clearClipboard() override;
    QSize screenSizeTwips() override;
    void showProgress(const QString& line) override;

private:
    Answer showHere(const Message& message);

    System& system_;
    std::atomic<bool> busy_{false};
};

// "Fichier (.LPO)|*.LPO|Tous fichiers (*.*)|*.*" as a Qt name filter list; patterns
// also match in lower case, as Windows would.
QString qtNameFilters(const QString& windowsFilter);

} // namespace vantrel
