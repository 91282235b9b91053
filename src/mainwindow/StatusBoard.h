#pragma once

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QString>

class QPainter;

namespace vantrel {

struct BoardFrame;
struct BoardLine;

// Paints a frame of the status board onto the window surface: white boxes for the
// fields of a line, two lights in front of each row. Geometry is in twips.
class StatusBoard {
public:
    struct Place {
        int left = 0;         // the board's left edge (X)
        int surfaceWidth = 0; // twips
        double pixelsPerTwip = 1.0 / 15;
    };

    // Light images are read once per folder (native path of ProgramDir).
    void setLightFolder(const QString& nativeFolder);

    void paint(QImage& surface, const Place& place, const BoardFrame& frame);

    static QFont boardFont();
    // Height of one printed line of the board's font.
    static int lineHeightTwips(double pixelsPerTwip);
    // The first twip below a bottom edge this many pixels down.
    static int bottomTwips(int heightPixels, double pixelsPerTwip);

private:
    void printLine(QPainter& painter, const Place& place, const BoardLine& line) const;
    void printText(QPainter& painter, const Place& place, const QString& text, int x, int y) const;
    void drawLight(QPainter& painter, const Place& place, const QString& name, int x, int y);

    QString lightFolder_;
    QHash<QString, QImage> lights_;
};

} // namespace vantrel
