#pragma once

#include "core/BoardRow.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace vantrel {

// The line above the board's header.
inline const QString kBoardCaption = QStringLiteral("dbl-clic une ligne pour voir le détail");

// One line of the board as it is to be painted, in twips from the surface's top.
struct BoardLine {
    QString text;
    int top = 0;
    int index = -1; // a row's place in the rows, -1 for the caption and header
    bool highlighted = false;
    // The lights in front of a row ("" for none).
    QString pingLight;
    QString deploymentLight;
};

// Where the board is laid out, in twips from the surface's top left corner.
struct BoardArea {
    int left = 0;   // of the boxes; the lights stand before it
    int top = 0;    // of the caption
    int right = 0;  // no box goes past it
    int bottom = 0; // the first twip below the board
    int lineHeight = 0;
};

// What the board shows: its caption, its header and the rows from BoardTopRow down
// to the area's bottom edge, placed as the board prints them.
struct BoardFrame {
    BoardLine caption;
    BoardLine header;
    std::vector<BoardLine> rows;
    int nameWidth = 0; // characters of the name column

    // The top of the selected row when it is in view.
    std::optional<int> highlightedTop() const;
};

// The status board's own state and rules: which row is first in view, which one is
// selected. Scrolling moves the view, never the selection.
class BoardState {
public:
    // How far below its top a row takes a click, in twips.
    static constexpr int kRowHitHeight = 250;

    qint16 BoardTopRow = 0;
    int SelectedRow = -1;

    // The rows the board shows: those after the empty ones at the head of the list.
    static BoardRows shownRows(const BoardRows& rows);
    // The row to select among newRows when they replace oldRows: the same workstation,
    // so that a selection lives through a pass's refreshes; -1 when it is gone.
    static int selectionAfter(const BoardRows& oldRows, int selected, const BoardRows& newRows);

    // Lays the board out in area: the selected row is highlighted; the name column
    // takes the width the longest name needs, from 18 characters up to what the area
    // leaves it.
    BoardFrame frame(const BoardRows& rows, const BoardArea& area) const;

    // The row whose band (from its top, excluded, to 250 twips lower, excluded) holds
    // y: the last such row laid out, as rows are closer than that. -1 for none.
    static int rowAt(const BoardFrame& frame, int yTwips);

    // How wide a row's boxes are with a name column of nameWidth characters.
    static int rowWidth(int nameWidth);

    // How many rows lie whole between the header and bottom, for the same figures.
    static int rowsThatFit(int top, int bottom, int lineHeight);

    // The detail window's lines for a row: each field of its own lines on a line.
    static QStringList detailLines(const BoardRow& row);
};

} // namespace vantrel
