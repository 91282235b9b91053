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

// The width of the board's name column, in characters.
constexpr int kBoardNameWidth = 18;

// A page: what the board shows when the window is tall enough.
constexpr int kBoardPageRows = 31;

// The first row shown after a key (Windows key codes), within 0 and rowCount - pageRows.
// A page is the rows the board has room for, at most 31; a step, one row
// less, so that the row at the edge stays in view.
int ScrollByKey(int keyCode, int topRow, int rowCount, int pageRows = kBoardPageRows);

} // namespace vantrel
