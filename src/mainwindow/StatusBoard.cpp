#include "StatusBoard.h"

#include "BoardRules.h"
#include "core/StringList.h"

#include <QFontMetrics>
#include <QPainter>

namespace vantrel {
namespace {

constexpr int kTwipsPerCharacter = 108; // 9 points x 12
constexpr int kBoxHeight = 225;
constexpr int kLightWidth = 250;
constexpr int kRowHitHeight = 250;
const QColor kHighlight(0x11, 0xBB, 0x11); // &H11BB11

int px(const StatusBoard::Place& place, int twips) {
    return qRound(twips * place.pixelsPerTwip);
}

} // namespace

QFont StatusBoard::boardFont() {
    QFont font(QStringLiteral("Courier New"));
    font.setPointSize(9);
    font.setBold(true);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

void StatusBoard::setLightFolder(const QString& nativeFolder) {
    if (nativeFolder != lightFolder_) {
        lightFolder_ = nativeFolder;
        lights_.clear();
    }
}

int StatusBoard::lineHeightTwips(double pixelsPerTwip) const {
    QFont font = boardFont();
    font.setPixelSize(std::max(1, qRound(9 * 20 * pixelsPerTwip)));
    return qRound(QFontMetrics(font).height() / pixelsPerTwip);
}

void StatusBoard::printText(QPainter& painter, const Place& place, const QString& text, int x,
                            int& y) const {
    painter.drawText(QPoint(px(place, x), px(place, y) + painter.fontMetrics().ascent()), text);
    y += lineHeightTwips(place.pixelsPerTwip);
}

void StatusBoard::printBoxedLine(QPainter& painter, const Place& place, const QString& line, int x,
                                 int& y, QStringList& fields) const {
    fields.clear();
    if (line.isEmpty()) {
        y += lineHeightTwips(place.pixelsPerTwip);
        return;
    }
    const int right = place.surfaceWidth - 200;
    const int top = y - 2;
    if (!line.contains(QLatin1Char(';'))) {
        painter.setPen(textColour_);
        printText(painter, place, QStringLiteral("      ") + line, x, y);
        return;
    }
    fields = line.split(QLatin1Char(';'));
    int cx = x;
    for (const QString& field : fields) {
        if (field.isEmpty()) {
            continue;
        }
        const int end = std::min<int>(cx + field.size() * kTwipsPerCharacter + 140, right);
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::white);
        painter.drawRect(QRect(QPoint(px(place, cx), px(place, top)),
                               QPoint(px(place, end), px(place, top + kBoxHeight))));
        painter.setPen(textColour_);
        y = top + 15;
        printText(painter, place, field, cx + 50, y);
        cx = end;
    }
}

void StatusBoard::drawLight(QPainter& painter, const Place& place, const QString& name, int x,
                            int y) {
    auto it = lights_.find(name);
    if (it == lights_.end()) {
        it = lights_.insert(name, QImage(lightFolder_ + name));
    }
    const QImage& image = *it;
    if (image.isNull() || image.width() == 0) {
        return;
    }
    const int height = image.height() * kLightWidth / image.width();
    painter.drawImage(QRect(px(place, x), px(place, y), px(place, kLightWidth), px(place, height)),
                      image);
}

QString StatusBoard::draw(QImage& surface, const Place& place, StringList& rows) {
    QPainter painter(&surface);
    QFont font = boardFont();
    font.setPixelSize(std::max(1, qRound(9 * 20 * place.pixelsPerTwip)));
    // The board paints over what it painted before: smoothed glyph edges would
    // darken a little more at every redraw.
    font.setStyleStrategy(QFont::NoAntialias);
    painter.setFont(font);
    textColour_ = Qt::black;
    painter.setPen(textColour_);

    int y = place.top;
    const int x = place.left;
    printText(painter, place, QStringLiteral("dbl-clic une ligne pour voir le détail"), x, y);
    QStringList fields;
    const QString header = (QStringLiteral(" Adresses") + QString(18, QLatin1Char(' '))).left(18) +
                           QStringLiteral(";Ping; Tld    ");
    printBoxedLine(painter, place, header, x, y, fields);

    while (!rows.isEmpty() && rows.at(0).isEmpty()) {
        rows.removeAt(0);
    }
    QString picked;
    for (int i = std::max<int>(BoardTopRow, 0); i < rows.count(); ++i) {
        if (px(place, y) > surface.height()) {
            break; // below the window's edge nothing shows
        }
        const QString row = rows.at(i);
        textColour_ = Qt::black;
        const bool under = BoardClicked && y < ClickY && ClickY < y + kRowHitHeight;
        if (under) {
            rows.setSelected(i);
            textColour_ = kHighlight;
            if (BoardDoubleClicked) {
                picked = row;
            }
        }
        const int rowTop = y;
        printBoxedLine(painter, place, row, x, y, fields);
        if (row.isEmpty() || fields.size() < 3) {
            continue;
        }
        drawLight(painter, place, pingLight(fields.at(1)), x - 500, rowTop);
        drawLight(painter, place, deploymentLight(fields.at(2)), x - 250, rowTop);
    }
    BoardDoubleClicked = false;
    return picked;
}

QStringList StatusBoard::detailLines(const QString& pickedRow, const QStringList& general) {
    const QString name = pickedRow.left(18).trimmed();
    QStringList lines;
    for (const QString& line : general) {
        if (!line.startsWith(name)) {
            continue;
        }
        const QStringList fields = line.split(QLatin1Char(';'));
        for (int j = 0; j < fields.size(); ++j) {
            lines.append(j > 0 ? QStringLiteral("   ") + fields.at(j) : fields.at(j));
            if (j % 3 == 0) {
                lines.append(QString());
            }
        }
    }
    return lines;
}

} // namespace vantrel
