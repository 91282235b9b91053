// Draws the board's three traffic lights, "feu vert.bmp", "feu rouge.bmp" and
// "feu mixte.bmp", and the program's icon, "vantrel.png" and "vantrel.ico", into the
// folder given. The committed images in resources/ were made with it; run it again
// to change them.

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kWidth = 40; // shown 250 twips wide: about 17 pixels at 96 dpi
constexpr int kHeight = 36;

QImage light(const QColor& left, const QColor& right) {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(QColor(0xE0, 0xE0, 0xE0));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x30, 0x30, 0x30));
    p.drawRoundedRect(QRectF(1, 1, kWidth - 2, kHeight - 2), 8, 8);
    const QRectF lamp(kWidth / 2.0 - 15, kHeight / 2.0 - 15, 30, 30);
    QPainterPath leftHalf;
    leftHalf.moveTo(lamp.center());
    leftHalf.arcTo(lamp, 90, 180);
    QPainterPath rightHalf;
    rightHalf.moveTo(lamp.center());
    rightHalf.arcTo(lamp, -90, 180);
    p.setBrush(left);
    p.drawPath(leftHalf);
    p.setBrush(right);
    p.drawPath(rightHalf);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x10, 0x10, 0x10), 1.5));
    p.drawEllipse(lamp);
    return image;
}

// The program's icon: a traffic light, green over red, on a dark rounded case.
QImage icon(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x30, 0x30, 0x30));
    p.drawRoundedRect(QRectF(14, 2, 36, 60), 10, 10);
    p.setBrush(QColor(0x10, 0xC0, 0x20));
    p.drawEllipse(QRectF(20, 8, 24, 24));
    p.setBrush(QColor(0xE0, 0x10, 0x10));
    p.drawEllipse(QRectF(20, 34, 24, 24));
    return image;
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const QColor green(0x10, 0xC0, 0x20);
    const QColor red(0xE0, 0x10, 0x10);
    const bool ok = light(green, green).save(folder + QStringLiteral("/feu vert.bmp"), "BMP") &&
                    light(red, red).save(folder + QStringLiteral("/feu rouge.bmp"), "BMP") &&
                    light(red, green).save(folder + QStringLiteral("/feu mixte.bmp"), "BMP") &&
                    icon(64).save(folder + QStringLiteral("/vantrel.png"), "PNG") &&
                    icon(48).save(folder + QStringLiteral("/vantrel.ico"), "ICO");
    return ok ? 0 : 1;
}
