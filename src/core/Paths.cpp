#include "Paths.h"

#include "Workspace.h"

namespace vantrel {

FilePathParts filePathParts(const QString& path) {
    FilePathParts parts;
    QString name = path;
    const qsizetype p = path.lastIndexOf(QLatin1Char('\\')) + 1;
    if (p >= 2) {
        parts.folder = path.left(p);
        name = path.mid(p);
    }
    const qsizetype q = name.lastIndexOf(QLatin1Char('.')) + 1;
    if (q >= 2) {
        parts.extension = name.mid(q - 1);
        parts.baseName = name.left(q - 1);
    } else {
        parts.baseName = name;
    }
    return parts;
}

void SplitFilePath(Workspace& ws, const QString& path) {
    WorkingState& s = ws.state;
    const FilePathParts parts = filePathParts(path);
    s.PathBaseName = parts.baseName;
    s.PathExt = parts.extension;
    if (!parts.folder.isEmpty()) {
        s.PathFolder = parts.folder;
    }

    s.ReturnMessage.clear();
    for (QChar& c : s.PathBaseName) {
        if (c == QLatin1Char('?') || c == QLatin1Char('*') || c == QLatin1Char('<') ||
            c == QLatin1Char('>')) {
            c = QLatin1Char('-');
            s.ReturnMessage =
                QStringLiteral("Le nom du fichier comportait des caractères interdits (?,*,<,>");
        }
    }
    if (!s.ReturnMessage.isEmpty()) {
        ws.inform(QStringLiteral("Le nom a été modifié de: \r\n") + path +
                      QStringLiteral("  en: \r\n") + s.PathBaseName + s.PathExt,
                  s.ReturnMessage);
    }
}

QString ShortPath(Workspace& ws, const QString& path) {
    return ws.system.shortPath(path);
}

QString LongPath(Workspace& ws, const QString& path) {
    return ws.system.longPath(path);
}

QString withoutFinalBackslash(const QString& path) {
    return path.endsWith(QLatin1Char('\\')) ? path.chopped(1) : path;
}

} // namespace vantrel
