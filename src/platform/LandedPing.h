#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace vantrel {

// A ping transcript just written: its file, as in its ping command line, and its bytes
// when the program wrote it itself, so that a sweep need not read back what it wrote.
// A transcript whose writing failed comes without them: reading it back then says so.
struct LandedPing {
    QString file;
    std::optional<QByteArray> transcript;
};

} // namespace vantrel
