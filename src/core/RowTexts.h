#pragma once

#include <QString>

namespace vantrel {

// Texts of a board row's fields that the board shows with a look of their own.
// What a workstation the pass stopped before, or in the middle of, shows (red).
inline const QString kNotDone = QStringLiteral("Non fait");
// What an entry that names a workstation another entry reaches first shows, that
// entry's name after it (no light: it is served under that name).
inline const QString kSameWorkstation = QStringLiteral("même poste que ");
// While a pass runs: a ping not read yet, copies not done yet (no light).
inline const QString kPingPending = QStringLiteral("....");
inline const QString kPending = QStringLiteral("attente ");

} // namespace vantrel
