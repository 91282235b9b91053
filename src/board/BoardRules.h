#pragma once

#include <QString>

namespace vantrel {

// The light images of the board, beside the program.
inline const QString kGreenLight = QStringLiteral("feu vert.bmp");
inline const QString kRedLight = QStringLiteral("feu rouge.bmp");
inline const QString kMixedLight = QStringLiteral("feu mixte.bmp");

// The light of a row's ping field (field 1) and of its deployment field (field 2).
QString pingLight(const QString& field);
QString deploymentLight(const QString& field);

// The first row shown after a key (Windows key codes), within 0 and rowCount - 31.
int ScrollByKey(int keyCode, int topRow, int rowCount);

} // namespace vantrel
