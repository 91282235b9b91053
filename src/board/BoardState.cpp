#include "BoardState.h"

#include "BoardRules.h"
#include "ShortNames.h"

#include <algorithm>

namespace vantrel {
namespace {

// A boxed line starts 2 twips above the pen and its text 15 below that.
constexpr int kBoxedLineExtra = 13;

bool isBoxed(const QString& line) {
    return line.contains(QLatin1Char(';'));
}

// A boxed line moves the pen to below its boxes, and only if it has a box to print.
int lineAdvance(const QString& line, int lineHeight) {
    if (!isBoxed(line)) {
        return lineHeight;
    }
    const QStringList fields = line.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    return fields.isEmpty() ? 0 : lineHeight + kBoxedLineExtra;
}

BoardLine lineAt(const QString& text, int top) {
    BoardLine line;
    line.text = text;
    line.top = top;
    return line;
}

// The widest name column the area leaves beside the ping and copy columns.
int nameWidthFor(const QStringList& rows, const BoardArea& area) {
    const int room = (area.right - area.left - BoardState::rowWidth(0)) / kTwipsPerCharacter;
    qsizetype longest = 0;
    for (const QString& row : rows) {
        longest = std::max(longest, row.indexOf(QLatin1Char(';')));
    }
    return std::max<int>(kBoardNameWidth, std::min<qsizetype>(longest, room));
}

} // namespace

std::optional<int> BoardFrame::highlightedTop() const {
    const auto selected = std::find_if(rows.begin(), rows.end(),
                                       [](const BoardLine& row) { return row.highlighted; });
    return selected == rows.end() ? std::nullopt : std::optional<int>(selected->top);
}

BoardRows BoardState::shownRows(const BoardRows& rows) {
    qsizetype first = 0;
    while (first < rows.size() && rows.at(first).text.isEmpty()) {
        ++first;
    }
    return first == 0 ? rows : rows.mid(first);
}

int BoardState::selectionAfter(const BoardRows& oldRows, int selected, const BoardRows& newRows) {
    if (selected < 0 || selected >= oldRows.size()) {
        return -1;
    }
    const QString name = oldRows.at(selected).name();
    if (selected < newRows.size() && newRows.at(selected).name() == name) {
        return selected; // the usual case: a refresh keeps the rows' order
    }
    for (qsizetype i = 0; i < newRows.size(); ++i) {
        if (newRows.at(i).name() == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

BoardFrame BoardState::frame(const BoardRows& rows, const BoardArea& area) const {
    const QStringList texts = rowTexts(rows);
    BoardFrame frame;
    frame.nameWidth = nameWidthFor(texts, area);
    int y = area.top;
    frame.caption = lineAt(kBoardCaption, y);
    y += area.lineHeight;
    frame.header = lineAt(QStringLiteral(" Adresses").leftJustified(frame.nameWidth) +
                              QStringLiteral(";Ping; Tld    "),
                          y);
    y += lineAdvance(frame.header.text, area.lineHeight);

    const ShortNames names(texts, frame.nameWidth);
    for (int i = std::max<int>(BoardTopRow, 0); i < rows.size() && y < area.bottom; ++i) {
        BoardLine line = lineAt(names.shownRow(texts.at(i)), y);
        line.index = i;
        line.highlighted = i == SelectedRow;
        line.pingLight = rows.at(i).pingLight;
        line.deploymentLight = rows.at(i).deploymentLight;
        y += lineAdvance(line.text, area.lineHeight);
        frame.rows.push_back(line);
    }
    return frame;
}

int BoardState::rowAt(const BoardFrame& frame, int yTwips) {
    int index = -1;
    for (const BoardLine& line : frame.rows) {
        if (line.top < yTwips && yTwips < line.top + kRowHitHeight) {
            index = line.index;
        }
    }
    return index;
}

int BoardState::rowWidth(int nameWidth) {
    constexpr int kPingAndCopyCharacters = 4 + 8;
    return (nameWidth + kPingAndCopyCharacters) * kTwipsPerCharacter + 3 * kBoxPadding;
}

int BoardState::rowsThatFit(int top, int bottom, int lineHeight) {
    const int pitch = lineHeight + kBoxedLineExtra;
    const int firstRow = top + lineHeight + pitch;
    return std::max(0, (bottom - firstRow) / pitch);
}

QStringList BoardState::detailLines(const BoardRow& row) {
    QStringList lines;
    for (const QString& line : row.detail) {
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
