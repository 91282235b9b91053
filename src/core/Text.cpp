#include "Text.h"

#include <QDateTime>

namespace vantrel {

QString numberText(qint64 value) {
    const QString digits = QString::number(value);
    return value < 0 ? digits : QLatin1Char(' ') + digits;
}

double leadingNumber(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text.at(i) == QLatin1Char(' ')) {
        ++i;
    }
    const qsizetype start = i;
    if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        ++i;
    }
    bool digits = false;
    while (i < n && text.at(i).isDigit() && text.at(i).unicode() < 128) {
        ++i;
        digits = true;
    }
    if (i < n && text.at(i) == QLatin1Char('.')) {
        qsizetype j = i + 1;
        while (j < n && text.at(j).isDigit() && text.at(j).unicode() < 128) {
            ++j;
            digits = true;
        }
        i = j;
    }
    if (!digits) {
        return 0;
    }
    return text.mid(start, i - start).toDouble();
}

int leadingInteger(const QString& text) {
    const double value = leadingNumber(text);
    if (value > 2147483647.0) {
        return 2147483647;
    }
    if (value < -2147483647.0) {
        return -2147483647;
    }
    return static_cast<int>(value);
}

QString fitToWidth(const QString& text, int width) {
    if (text.size() >= width) {
        return text.left(width);
    }
    return text + QString(width - text.size(), QLatin1Char(' '));
}

void StripChar(QString& text, QChar c) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == c) {
        --end;
    }
    qsizetype begin = 0;
    while (begin < end && text.at(begin) == c) {
        ++begin;
    }
    text = text.mid(begin, end - begin);
}

QString trimBlanks(const QString& text) {
    QString copy = text;
    StripChar(copy, QLatin1Char(' '));
    return copy;
}

int position(const QString& text, const QString& what, int from) {
    return static_cast<int>(text.indexOf(what, from - 1)) + 1;
}

QString timestampText(const QDateTime& moment) {
    return moment.toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral(" à ") +
           moment.toString(QStringLiteral("HH")) + QStringLiteral("h  ") +
           moment.toString(QStringLiteral("mm")) + QStringLiteral("mn");
}

} // namespace vantrel
