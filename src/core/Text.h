#pragma once

#include <QDateTime>
#include <QString>

namespace vantrel {

// A number as the program writes it into messages, captions and files: a leading
// blank when it is not negative.
QString numberText(qint64 value);

// The decimal number at the start of text after leading blanks, read as far as it
// goes; 0 when text does not start with a number.
double leadingNumber(const QString& text);
int leadingInteger(const QString& text);

// text cut or filled with blanks to exactly width characters.
QString fitToWidth(const QString& text, int width);

// Removes every leading and trailing occurrence of c (trailing first).
void StripChar(QString& text, QChar c);

// Text trimmed of blanks only (not tabs), as the program's emptiness tests do.
QString trimBlanks(const QString& text);

// 1-based position of the first occurrence of what in text, 0 when absent.
int position(const QString& text, const QString& what, int from = 1);

// The timestamp text: dd/mm/yyyy à hhh  mmmn.
QString timestampText(const QDateTime& moment);

} // namespace vantrel
