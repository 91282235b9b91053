#pragma once

#include "core/BoardRow.h"

#include <QString>

namespace vantrel {

// The board's name column holds at least 18 characters; a wider board gives long
// names more of its width.
constexpr int kBoardNameWidth = 18;
// A boxed field is 108 twips a character (9 points x 12) and 140 more.
constexpr int kTwipsPerCharacter = 108;
constexpr int kBoxPadding = 140;

// Board keys, as Windows numbers them.
enum BoardKey {
    kKeyEnter = 13,
    kKeyPageUp = 33,
    kKeyPageDown = 34,
    kKeyEnd = 35,
    kKeyHome = 36,
    kKeyUp = 38,
    kKeyDown = 40,
};

// The row selected after a key on a board of rowCount rows that shows pageRows of
// them from topRow: Up and Down move one row, Page Up and Page Down a page less one
// row, Home and End to the ends; from no selection, the first key selects the top
// row. -1 when there is no row.
int SelectByKey(int keyCode, int selected, int topRow, int rowCount, int pageRows);

// The first row to show so that row is in view, moving the view as little as it can.
int TopRowShowing(int row, int topRow, int pageRows);

} // namespace vantrel
