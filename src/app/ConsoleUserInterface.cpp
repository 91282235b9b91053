#include "ConsoleUserInterface.h"

#include <cstdio>

namespace vantrel {

ConsoleUserInterface::ConsoleUserInterface() : err_(stderr) {}

QString ConsoleUserInterface::oneLine(const Message& message) {
    QString text = message.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" / "));
    return QLatin1Char('[') + message.title + QStringLiteral("] ") + text;
}

Answer ConsoleUserInterface::show(const Message& message) {
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

// No screen to check: a size that raises no warning.
QSize ConsoleUserInterface::screenSizeTwips() {
    return QSize(1920 * 15, 1080 * 15);
}

} // namespace vantrel
