#include "Programs.h"

#include "Paths.h"
#include "Workspace.h"
#include "platform/CommandLines.h"

namespace vantrel {

QString FindAssociatedProgram(Workspace& ws, const QString& extensionOrPath) {
    QString arg = extensionOrPath;
    if (arg.size() < 5 && !arg.startsWith(QLatin1Char('.'))) {
        arg.prepend(QLatin1Char('.'));
    }
    if (arg.startsWith(QLatin1Char('.'))) {
        ws.state.PathExt = arg;
    } else {
        SplitFilePath(ws, arg);
    }
    const QString program = ws.system.findAssociatedProgram(ws.state.PathExt);
    if (program.isEmpty()) {
        ws.inform(QStringLiteral("il n'y a pas de programme associé à l'extension") +
                      ws.state.PathExt,
                  ws.state.ProgramName);
    }
    return program;
}

void OpenWithAssociatedProgram(Workspace& ws, const QString& path) {
    SplitFilePath(ws, path);
    QString program = FindAssociatedProgram(ws, ws.state.PathExt);
    if (ws.state.PathExt.toUpper() == QLatin1String(".BMP")) {
        program = CommandLines::imageEditorProgram();
    }
    const QString title = QStringLiteral("Programme introuvable");
    if (!program.isEmpty() && program != QLatin1String("C:\\")) {
        const QString command = CommandLines::programCommand(program, ShortPath(ws, path));
        if (!ws.system.startCommand(command, WindowStyle::Normal)) {
            ws.inform(QStringLiteral("impossible de lancer ") + path +
                          QStringLiteral(" avec \r\ncheminAppli n'a pas pu touver le programme"),
                      title);
        }
        return;
    }
    ws.inform(QStringLiteral("impossible de lancer ") + path +
                  QStringLiteral(" car \r\ncheminAppli n'a pas pu touver le programme associé"),
              title);
}

void calculette_Click(Workspace& ws) {
    if (!ws.system.startCommand(CommandLines::calculatorCommand(), WindowStyle::Normal)) {
        ws.inform(QStringLiteral("Calculette introuvable"),
                  QStringLiteral("Windows a encore changé"));
    }
}

void notepad_Click(Workspace& ws) {
    ws.state.CurrentFilePath.clear();
    if (ws.system.startCommand(CommandLines::textEditorCommand(QString()), WindowStyle::Normal)) {
        return;
    }
    // No notepad here: the program that opens text files, empty.
    const QString editor = FindAssociatedProgram(ws, QStringLiteral(".txt"));
    if (!editor.isEmpty()) {
        ws.system.startCommand(CommandLines::programCommand(editor, QString()),
                               WindowStyle::Normal);
    }
}

} // namespace vantrel
