#include "TextFile.h"

#include "platform/System.h"

#include <array>

namespace vantrel::TextFile {
namespace {

// Windows-1252 0x80..0x9F; 0 marks the five unassigned bytes (kept as C1 controls).
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char encodeChar(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<char>(c);
    }
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c || (kHighControls[i] == 0 && c == 0x80 + i)) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

} // namespace

QString decode(const QByteArray& bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        char16_t c = b;
        if (b >= 0x80 && b < 0xA0 && kHighControls[b - 0x80] != 0) {
            c = kHighControls[b - 0x80];
        }
        *out++ = QChar(c);
    }
    return text;
}

QByteArray encode(const QString& text) {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (const QChar c : text) {
        *out++ = encodeChar(c.unicode());
    }
    return bytes;
}

QStringList splitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) {
            continue;
        }
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n')) {
            ++i;
        }
        start = i + 1;
    }
    if (start < n) {
        lines.append(text.mid(start));
    }
    return lines;
}

QString joinLines(const QStringList& lines) {
    QString text;
    qsizetype size = 0;
    for (const QString& line : lines) {
        size += line.size() + 2;
    }
    text.reserve(size);
    for (const QString& line : lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    return text;
}

namespace {

FileError checkLimits(const QByteArray& bytes, const Limits& limits) {
    if (bytes.size() > limits.bytes) {
        return FileError::TooLarge;
    }
    // A NUL would reach the lists, the journal and the terminal as part of a name.
    if (bytes.contains('\0') || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        return FileError::NotWindows1252;
    }
    qsizetype lines = 0;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i <= n; ++i) {
        const char c = i < n ? bytes.at(i) : '\n';
        if (c != '\r' && c != '\n') {
            continue;
        }
        if (i - start > limits.lineLength) {
            return FileError::LineTooLong;
        }
        if ((i < n || start < n) && ++lines > limits.lines) {
            return FileError::TooManyLines;
        }
        if (c == '\r' && i + 1 < n && bytes.at(i + 1) == '\n') {
            ++i;
        }
        start = i + 1;
    }
    return FileError::None;
}

} // namespace

FileError readLines(System& system, const QString& path, QStringList& lines, const Limits& limits) {
    QByteArray bytes;
    FileError error = system.readFile(path, bytes);
    if (error == FileError::None) {
        error = checkLimits(bytes, limits);
    }
    if (error == FileError::None) {
        lines = splitLines(decode(bytes));
    }
    return error;
}

FileError writeText(System& system, const QString& path, const QString& text) {
    return system.writeFile(path, encode(text));
}

FileError writeLines(System& system, const QString& path, const QStringList& lines) {
    return writeText(system, path, joinLines(lines));
}

} // namespace vantrel::TextFile
