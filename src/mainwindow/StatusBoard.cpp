#include "StatusBoard.h"

#include "board/BoardRules.h"
#include "board/BoardState.h"

#include <QFontMetrics>
#include <QPainter>

#include <cmath>

namespace vantrel {
namespace {

constexpr int kBoxHeight = 225;
constexpr int kLightWidth = 250;
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

int StatusBoard::lineHeightTwips(double pixelsPerTwip) {
    QFont font = boardFont();
    font.setPixelSize(std::max(1, qRound(9 * 20 * pixelsPerTwip)));
    return qRound(QFontMetrics(font).height() / pixelsPerTwip);
}

int StatusBoard::bottomTwips(int heightPixels, double pixelsPerTwip) {
    // A line whose top rounds to a pixel below the last row of pixels does not show.
    return static_cast<int>(std::ceil((heightPixels + 0.5) / pixelsPerTwip));
}

void StatusBoard::printText(QPainter& painter, const Place& place, const QString& text, int x,
                            int y) const {
    painter.drawText(QPoint(px(place, x), px(place, y) + painter.fontMetrics().ascent()), text);
}

void StatusBoard::printLine(QPainter& painter, const Place& place, const BoardLine& line) const {
    const QColor textColour = line.highlighted ? kHighlight : QColor(Qt::black);
    if (line.text.isEmpty()) {
        return;
    }
    if (!line.text.contains(QLatin1Char(';'))) {
        painter.setPen(textColour);
        printText(painter, place, QStringLiteral("      ") + line.text, place.left, line.top);
        return;
    }
    const int right = place.surfaceWidth - 200;
    const int top = line.top - 2;
    int x = place.left;
    for (const QString& field : line.text.split(QLatin1Char(';'))) {
        if (field.isEmpty()) {
            continue;
        }
        const int end = std::min<int>(x + field.size() * kTwipsPerCharacter + kBoxPadding, right);
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::white);
        painter.drawRect(QRect(QPoint(px(place, x), px(place, top)),
                               QPoint(px(place, end), px(place, top + kBoxHeight))));
        painter.setPen(textColour);
        printText(painter, place, field, x + 50, top + 15);
        x = end;
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

void StatusBoard::paint(QImage& surface, const Place& place, const BoardFrame& frame) {
    QPainter painter(&surface);
    QFont font = boardFont();
    font.setPixelSize(std::max(1, qRound(9 * 20 * place.pixelsPerTwip)));
    painter.setFont(font);
    painter.setPen(Qt::black);
    printText(painter, place, frame.caption.text, place.left, frame.caption.top);
    printLine(painter, place, frame.header);
    for (const BoardLine& row : frame.rows) {
        printLine(painter, place, row);
        if (!row.pingLight.isEmpty()) {
            drawLight(painter, place, row.pingLight, place.left - 500, row.top);
            drawLight(painter, place, row.deploymentLight, place.left - 250, row.top);
        }
    }
}

} // namespace vantrel
