#include "DesktopPrograms.h"

#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

namespace vantrel {
namespace {

// The program of a desktop entry's Exec line (its first word).
QString execProgram(const QString& desktopId) {
    const QString file = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, desktopId);
    QFile entry(file);
    if (file.isEmpty() || !entry.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return QString();
    }
    QTextStream in(&entry);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1String("Exec="))) {
            const QStringList words = QProcess::splitCommand(line.mid(5));
            return words.isEmpty() ? QString() : QStandardPaths::findExecutable(words.first());
        }
    }
    return QString();
}

QString defaultDesktopEntry(const QString& mimeType) {
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty()) {
        return QString();
    }
    QProcess query;
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished(1000);
        return QString();
    }
    return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
}

QString firstInPath(const QStringList& names) {
    for (const QString& name : names) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty()) {
            return found;
        }
    }
    return QString();
}

} // namespace

QString DesktopPrograms::forExtension(const QString& extension) {
    const QMimeType type = QMimeDatabase().mimeTypeForFile(
        QStringLiteral("x") + extension.toLower(), QMimeDatabase::MatchExtension);
    if (!type.isValid() || type.isDefault()) {
        return QString();
    }
    const QString desktopId = defaultDesktopEntry(type.name());
    return desktopId.isEmpty() ? QString() : execProgram(desktopId);
}

QString DesktopPrograms::textEditor() const {
    const QString associated = forExtension(QStringLiteral(".txt"));
    return associated.isEmpty()
               ? firstInPath({QStringLiteral("gnome-text-editor"), QStringLiteral("gedit"),
                              QStringLiteral("kate"), QStringLiteral("mousepad"),
                              QStringLiteral("xed"), QStringLiteral("pluma")})
               : associated;
}

QString DesktopPrograms::calculator() const {
    return firstInPath({QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),
                        QStringLiteral("galculator"), QStringLiteral("mate-calc"),
                        QStringLiteral("qalculate-gtk"), QStringLiteral("xcalc")});
}

QString DesktopPrograms::opener() const {
    return QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
}

} // namespace vantrel
