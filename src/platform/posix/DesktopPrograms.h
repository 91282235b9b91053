#pragma once

#include <QString>
#include <QStringList>

namespace vantrel {

// What the Linux desktop offers in place of the Windows accessories and of the
// file-type associations: answers are native program paths, "" when there is none.
namespace DesktopPrograms {

QString forExtension(const QString& extension);
QString textEditor();
QString calculator();
QString opener(); // xdg-open

} // namespace DesktopPrograms
} // namespace vantrel
