#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace vantrel {

class System;

// The program's one argument as the logic reads it: the arguments joined, a native
// path put in Windows form.
QString deploymentArgument(System& system, const QStringList& arguments);

struct UnattendedOptions {
    QString deploymentFile;
    bool recursive = false;
    QString attempts = QStringLiteral("2");
    QString delay = QStringLiteral("1");
    bool save = false;
};

// Recognises "--deployer FICHIER.VTR [--recursif] [--essais N] [--delai S]
// [--enregistrer]"; error receives the French reason when the words are wrong.
std::optional<UnattendedOptions> parseUnattended(const QStringList& arguments, QString& error);
bool isUnattended(const QStringList& arguments);

} // namespace vantrel
