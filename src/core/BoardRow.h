#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

namespace vantrel {

// The light images of the board, beside the program.
inline const QString kGreenLight = QStringLiteral("feu vert.bmp");
inline const QString kRedLight = QStringLiteral("feu rouge.bmp");
inline const QString kMixedLight = QStringLiteral("feu mixte.bmp");

// One row of the status board: its text as the deployment file keeps it ("NAME;PING;
// COPIES"), its two lights and the lines its detail window shows. A pass decides the
// lights from its workstation's record; a row read from a file has them from its
// fields, read once when the file is.
struct BoardRow {
    QString text;
    QString pingLight;       // "" for none
    QString deploymentLight; // "" for none
    QStringList detail;      // "HOST;..." lines: the ping's, then the copies'

    // A row as a deployment file holds it; a line of fewer than three fields has no
    // lights.
    static BoardRow fromText(const QString& text);
    QString name() const { return text.section(QLatin1Char(';'), 0, 0); }
};

// Implicitly shared: a pass's thread publishes it to the window as it is.
using BoardRows = QList<BoardRow>;

QStringList rowTexts(const BoardRows& rows);

// The light of a row's ping field (field 1) and of its deployment field (field 2), as
// read from a file.
QString pingLight(const QString& field);
QString deploymentLight(const QString& field);

} // namespace vantrel

Q_DECLARE_METATYPE(vantrel::BoardRows)
