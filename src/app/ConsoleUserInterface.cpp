#include "ConsoleUserInterface.h"

#include <algorithm>
#include <cstdio>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace vantrel {

ConsoleUserInterface::ConsoleUserInterface()
    : err_(stderr), onTerminal_(isatty(fileno(stderr)) != 0) {}

QString ConsoleUserInterface::oneLine(const Message& message) {
    QString text = message.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" / "));
    return QLatin1Char('[') + message.title + QStringLiteral("] ") + text;
}

Answer ConsoleUserInterface::show(const Message& message) {
    eraseProgress();
    err_ << oneLine(message) << Qt::endl;
    if (message.buttons == Buttons::Ok) {
        return Answer::Ok;
    }
    const bool declined =
        message.id == MessageId::OpenJournal || message.id == MessageId::SaveListAfterDeployment;
    return declined ? Answer::No : Answer::Yes;
}

QString ConsoleUserInterface::chooseFile(const FileDialogRequest& request) {
    err_ << QLatin1Char('[') << request.title << QStringLiteral("] aucun fichier choisi")
         << Qt::endl;
    return QString();
}

// Blanks rather than terminal escapes: every console understands a carriage return.
void ConsoleUserInterface::showProgress(const QString& line) {
    if (!onTerminal_) {
        return;
    }
    if (line.isEmpty()) {
        eraseProgress();
        return;
    }
    err_ << '\r' << line << QString(std::max<qsizetype>(0, shownLength_ - line.size()), u' ');
    err_.flush();
    shownLength_ = line.size();
}

void ConsoleUserInterface::eraseProgress() {
    if (shownLength_ > 0) {
        err_ << '\r' << QString(shownLength_, u' ') << '\r';
        err_.flush();
        shownLength_ = 0;
    }
}

// No screen to check: a size that raises no warning.
QSize ConsoleUserInterface::screenSizeTwips() {
    return QSize(1920 * 15, 1080 * 15);
}

} // namespace vantrel
