#pragma once

#include <QString>

namespace vantrel {

// What the Linux desktop offers in place of the Windows accessories and of the
// file-type associations: answers are native program paths, "" when there is none.
class DesktopPrograms {
public:
    virtual ~DesktopPrograms() = default;

    static QString forExtension(const QString& extension);
    virtual QString textEditor() const;
    virtual QString calculator() const;
    virtual QString opener() const; // xdg-open
};

} // namespace vantrel
