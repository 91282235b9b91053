#pragma once

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>

class QPainter;

namespace vantrel {

class StringList;

// Paints the status board onto the window surface: a caption line, a header and
// one row of white boxes per entry of Listécritures from BoardTopRow on, with two
// lights in front of each row. Geometry is in twips.
class StatusBoard {
public:
    struct Place {
        int left = 0;         // the board's left edge (X)
        int top = 0;          // its first line
        int surfaceWidth = 0; // twips
        double pixelsPerTwip = 1.0 / 15;
    };

    qint16 BoardTopRow = 0;
    bool BoardClicked = false;
    qint16 ClickY = 0;
    bool BoardDoubleClicked = false;

    // Light images are read once per folder (native path of ProgramDir).
    void setLightFolder(const QString& nativeFolder);

    // DrawStatusBoard; returns the row picked by a double-click, or "".
    QString draw(QImage& surface, const Place& place, StringList& rows);

    static QFont boardFont();
    // Height of one printed line of the board's font.
    int lineHeightTwips(double pixelsPerTwip) const;
    // The detail lines of a picked row, taken from ListeGénérale.
    static QStringList detailLines(const QString& pickedRow, const QStringList& general);

private:
    // PrintBoxedLine; y is the current position, moved to the next line.
    void printBoxedLine(QPainter& painter, const Place& place, const QString& line, int x, int& y,
                        QStringList& fields) const;
    void printText(QPainter& painter, const Place& place, const QString& text, int x, int& y) const;
    void drawLight(QPainter& painter, const Place& place, const QString& name, int x, int y);

    QString lightFolder_;
    QColor textColour_ = Qt::black;
    QHash<QString, QImage> lights_;
};

} // namespace vantrel
