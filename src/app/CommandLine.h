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
    enum class Command { Deploy, Restore, History };
    Command command = Command::Deploy;
    QString deploymentFile;
    QString passStamp;    // the pass a restore undoes
    int keptVersions = 0; // 0: every stamped version stays
    bool recursive = false;
    QString attempts = QStringLiteral("2");
    QString delay = QStringLiteral("1");
    bool save = false;
};

// Recognises "--deployer FICHIER.VTR [--recursif] [--essais N] [--delai S]
// [--enregistrer] [--garder N]", "--restaurer FICHIER.VTR --passe STAMP" and
// "--historique FICHIER.VTR"; error receives the French reason when the words are wrong.
std::optional<UnattendedOptions> parseUnattended(const QStringList& arguments, QString& error);
bool isUnattended(const QStringList& arguments);
bool isHelpRequest(const QStringList& arguments);
// The command-line summary printed by --help and after a wrong word.
QString usageText();

} // namespace vantrel
