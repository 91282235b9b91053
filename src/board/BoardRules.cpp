#include "BoardRules.h"

#include "core/RowTexts.h"
#include "core/Text.h"

#include <algorithm>

namespace vantrel {

int SelectByKey(int keyCode, int selected, int topRow, int rowCount, int pageRows) {
    if (rowCount <= 0) {
        return -1;
    }
    const int last = rowCount - 1;
    if (selected < 0 || selected > last) {
        const bool moves = keyCode == kKeyUp || keyCode == kKeyDown || keyCode == kKeyPageUp ||
                           keyCode == kKeyPageDown || keyCode == kKeyHome || keyCode == kKeyEnd;
        return moves ? std::clamp(topRow, 0, last) : -1;
    }
    const int step = std::max(pageRows - 1, 1);
    switch (keyCode) {
    case kKeyUp:
        return std::max(selected - 1, 0);
    case kKeyDown:
        return std::min(selected + 1, last);
    case kKeyPageUp:
        return std::max(selected - step, 0);
    case kKeyPageDown:
        return std::min(selected + step, last);
    case kKeyHome:
        return 0;
    case kKeyEnd:
        return last;
    default:
        return selected;
    }
}

int TopRowShowing(int row, int topRow, int pageRows) {
    if (row < topRow) {
        return row;
    }
    const int page = std::max(pageRows, 1);
    return row >= topRow + page ? row - page + 1 : topRow;
}

} // namespace vantrel
