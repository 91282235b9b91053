#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace vantrel {

class StringList;

// One line of the board as it is to be painted, in twips from the surface's top.
struct BoardLine {
    QString text;
    int top = 0;
    int index = -1; // a row's place in the rows, -1 for the caption and header
    bool highlighted = false;
    // Only for a row of at least three fields: the lights in front of it.
    QString pingLight;
    QString deploymentLight;
};

// What the board shows: its caption, its header and the rows from BoardTopRow down
// to the surface's bottom edge, placed as the board prints them.
struct BoardFrame {
    BoardLine caption;
    BoardLine header;
    std::vector<BoardLine> rows;
    QString picked; // the row under a double-click, or ""
};

// The status board's own state and rules: which row is first, which one the operator
// clicked, which one a double-click picks. The window reports its mouse and paints
// the frame it is given.
class BoardState {
public:
    // How far below its top a row takes a click, in twips.
    static constexpr int kRowHitHeight = 250;

    qint16 BoardTopRow = 0;

    // The pointer went down at this height (twips): the row there becomes the one
    // shown in green and selected, at this and at every later drawing.
    void press(int yTwips);
    // The next frame returns the row under the pointer as picked.
    void doubleClick() { BoardDoubleClicked = true; }

    // Lays the board out from top down to bottom (twips) with lines of lineHeight:
    // empty rows at the head of the list are dropped first, the row under the last
    // click is selected in rows.
    BoardFrame frame(StringList& rows, int top, int bottom, int lineHeight);

    // How many rows lie whole between the header and bottom, for the same figures.
    static int rowsThatFit(int top, int bottom, int lineHeight);

    // The detail lines of a picked row, taken from ListeGénérale.
    static QStringList detailLines(const QString& pickedRow, const QStringList& general);

private:
    bool BoardClicked = false;
    qint16 ClickY = 0;
    bool BoardDoubleClicked = false;
};

} // namespace vantrel
