#include "BoardRow.h"

#include "RowTexts.h"
#include "Text.h"

namespace vantrel {

BoardRow BoardRow::fromText(const QString& text) {
    BoardRow row;
    row.text = text;
    const QStringList fields = text.split(QLatin1Char(';'));
    if (fields.size() >= 3) {
        row.pingLight = vantrel::pingLight(fields.at(1));
        row.deploymentLight = vantrel::deploymentLight(fields.at(2));
    }
    return row;
}

QStringList rowTexts(const BoardRows& rows) {
    QStringList texts;
    texts.reserve(rows.size());
    for (const BoardRow& row : rows) {
        texts.append(row.text);
    }
    return texts;
}

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
    if (field == kPending || field.startsWith(kSameWorkstation)) {
        light.clear(); // not served yet, or under another name: no light of its own
    }
    return light;
}

} // namespace vantrel
