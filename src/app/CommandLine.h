#pragma once

#include "deploy/PassSettings.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <optional>

namespace vantrel {

class System;

// The program's one argument as the logic reads it: the arguments joined, a native
// path put in Windows form.
QString deploymentArgument(System& system, const QStringList& arguments);

struct UnattendedOptions {
    enum class Command { Deploy, Restore, History, ListDirectory };
    Command command = Command::Deploy;
    QString deploymentFile;
    QString passStamp;             // the pass a restore undoes
    QString directoryUrl;          // --annuaire: the workstations are the directory's
    int keptVersions = 0;          // 0: every stamped version stays
    int simultaneous = 0;          // 0: not given
    double maxBytesPerSecond = -1; // -1: not given; from --debit-max
    bool recursive = false;
    int attempts = 2; // retry passes, 0 to 5
    int delay = 1;    // between two passes, 1 to 180
    bool save = false;
    bool onlyIfDifferent = false; // --si-different
    bool preview = false;         // --simuler

    // simultaneous is given by then.
    PassSettings passSettings() const {
        return PassSettings{simultaneous, keptVersions, onlyIfDifferent,
                            std::max(0.0, maxBytesPerSecond)};
    }
};

// Recognises "--deployer FICHIER.VTR [--recursif] [--essais N] [--delai S]
// [--enregistrer] [--garder N] [--si-different] [--simuler] [--annuaire URL]", "--restaurer
// FICHIER.VTR --passe STAMP", "--historique FICHIER.VTR", each with [--simultanes N]
// [--debit-max N], and "--annuaire URL" alone; error receives the French reason when the
// words are wrong.
std::optional<UnattendedOptions> parseUnattended(const QStringList& arguments, QString& error);
// True when the words are for a run without the window, or hold an option: a word starting
// with '-' is never taken for a document.
bool isUnattended(const QStringList& arguments);
// Workstations served at once, 1 to 64, from --simultanes or VANTREL_SIMULTANES (source);
// error receives the French reason when value is not one.
std::optional<int> parseSimultaneous(const QString& value, const QString& source, QString& error);
// The cap on a pass's copies in bytes per second, from --debit-max or VANTREL_DEBIT_MAX
// (source) in Mo/s (1 Mo = 1,000,000 octets, a decimal comma or point allowed); error
// receives the French reason when value is not a number above 0.
std::optional<double> parseMaxRate(const QString& value, const QString& source, QString& error);
bool isHelpRequest(const QStringList& arguments);
// The command-line summary printed by --help and after a wrong word.
QString usageText();

} // namespace vantrel
