#include "QtUserInterface.h"

#include "platform/System.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QThread>

namespace vantrel {
namespace {

QMessageBox::Icon qtIcon(Icon icon) {
    switch (icon) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QString qtPatterns(const QString& patterns) {
    QStringList result;
    for (const QString& pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (pattern == QLatin1String("*.*")) {
            result << QStringLiteral("*");
            continue;
        }
        result << pattern;
        if (pattern.toLower() != pattern) {
            result << pattern.toLower();
        }
    }
    return result.join(QLatin1Char(' '));
}

// A pass runs on a thread of its own: what it shows crosses to the window's thread,
// and the pass waits there for the answer while the window goes on.
template <typename Call> auto onWindowThread(Call call) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread()) {
        return call();
    }
    decltype(call()) result{};
    QMetaObject::invokeMethod(
        app, [&result, &call] { result = call(); }, Qt::BlockingQueuedConnection);
    return result;
}

} // namespace

QString qtNameFilters(const QString& windowsFilter) {
    const QStringList parts = windowsFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        filters << parts.at(i) + QStringLiteral(" (") + qtPatterns(parts.at(i + 1)) +
                       QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

QtUserInterface::QtUserInterface(System& system) : system_(system) {}

Answer QtUserInterface::show(const Message& message) {
    return onWindowThread([this, &message] { return showHere(message); });
}

Answer QtUserInterface::showHere(const Message& message) {
    QMessageBox box(qtIcon(message.icon), message.title,
                    QString(message.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                    QMessageBox::NoButton, QApplication::activeWindow());
    if (message.buttons == Buttons::Ok) {
        box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.exec();
        return Answer::Ok;
    }
    QPushButton* yes = box.addButton(QStringLiteral("&Oui"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Non"), QMessageBox::NoRole);
    box.setDefaultButton(message.defaultAnswer == Answer::No ? no : yes);
    box.setEscapeButton(no);
    const bool restoreBusy = busy_;
    setBusy(false);
    box.exec();
    setBusy(restoreBusy);
    return box.clickedButton() == yes ? Answer::Yes : Answer::No;
}

QString QtUserInterface::chooseFile(const FileDialogRequest& request) {
    QFileDialog dialog(QApplication::activeWindow(), request.title,
                       system_.nativePath(request.initialFolder));
    dialog.setNameFilter(qtNameFilters(request.filter));
    // The choices read as the filter's descriptions, without Qt's pattern lists.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // A name that does not exist yet is a valid answer to an open dialog too: the
    // callers say what a missing file means (a new deployment, a load error).
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(request.mode == FileDialogRequest::Mode::Save ? QFileDialog::AcceptSave
                                                                       : QFileDialog::AcceptOpen);
    dialog.selectFile(request.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return system_.windowsPath(dialog.selectedFiles().constFirst());
}

void QtUserInterface::setBusy(bool busy) {
    onWindowThread([this, busy] {
        if (busy != busy_) {
            busy_ = busy;
            if (busy) {
                QApplication::setOverrideCursor(Qt::WaitCursor);
            } else {
                QApplication::restoreOverrideCursor();
            }
        }
        return true;
    });
}

void QtUserInterface::setClipboardText(const QString& text) {
    QApplication::clipboard()->setText(text);
}

void QtUserInterface::clearClipboard() {
    QApplication::clipboard()->clear();
}

// The window shows the progress itself (Workspace::progressChanged).
void QtUserInterface::showProgress(const QString&) {}

QSize QtUserInterface::screenSizeTwips() {
    const QScreen* screen = QApplication::primaryScreen();
    if (screen == nullptr) {
        return QSize(1024 * 15, 768 * 15);
    }
    const QSize pixels = screen->size();
    const double twipsPerPixelX = 1440.0 / screen->logicalDotsPerInchX();
    const double twipsPerPixelY = 1440.0 / screen->logicalDotsPerInchY();
    return QSize(qRound(pixels.width() * twipsPerPixelX), qRound(pixels.height() * twipsPerPixelY));
}

} // namespace vantrel
