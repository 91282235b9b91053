#include "BoardRules.h"

#include "core/RowTexts.h"
#include "core/Text.h"

#include <algorithm>

namespace vantrel {

QString pingLight(const QString& field) {
    if (field == kPingPending) {
        return QString(); // not read yet: no light
    }
    QString light = kRedLight;
    if (leadingNumber(field) == 0) {
        light = kGreenLight;
    }
    if (trimBlanks(field) == QLatin1String("####")) {
        light = kRedLight;
    }
    return light;
}

QString deploymentLight(const QString& field) {
    QString light;
    const qsizetype slash = field.indexOf(QLatin1Char('/'), 1);
    if (slash > 0) {
        const double failed = leadingNumber(field.left(slash));
        const double attempted = leadingNumber(field.mid(slash + 1));
        if (attempted > 0) {
            light = kMixedLight;
            if (failed == attempted) {
                light = kRedLight;
            }
        }
    }
    if (leadingNumber(field) == 0) {
        light = kGreenLight;
    }
    const QString trimmed = trimBlanks(field);
    if (trimmed == QLatin1String("Void") || trimmed == QLatin1String("####") ||
        trimmed == kNotDone) {
        light = kRedLight;
    }
    if (field == kPending) {
        light.clear(); // not served yet: no light, never the failure one
    }
    return light;
}

int ScrollByKey(int keyCode, int topRow, int rowCount, int pageRows) {
    pageRows = std::clamp(pageRows, 1, kBoardPageRows);
    const int step = std::max(pageRows - 1, 1);
    int top = topRow;
    switch (keyCode) {
    case 33:
        top = 0;
        break;
    case 34:
        top = rowCount - pageRows;
        break;
    case 37:
    case 38:
        top = topRow - step;
        break;
    case 39:
    case 40:
        top = topRow + step;
        break;
    default:
        break;
    }
    top = std::min(top, rowCount - pageRows);
    return std::max(top, 0);
}

} // namespace vantrel
