#include "CommandLine.h"

#include "core/Text.h"
#include "deploy/Stamps.h"
#include "platform/System.h"

#include <algorithm>

namespace vantrel {
namespace {

// More versions than anyone keeps by hand; beyond, a typing slip.
constexpr int kMaxKeptVersions = 9999;
constexpr int kMaxSimultaneous = 64;
// The limits of the window's fields Nbessais and Délai.
constexpr int kMaxAttempts = 5;
constexpr int kMaxDelay = 180;

// A whole number from low to high, or the French reason it is not.
std::optional<int> countIn(const QString& word, int low, int high, const QString& option,
                           const QString& what, QString& error) {
    bool number = false;
    const int value = word.toInt(&number);
    if (!number || value < low || value > high) {
        error = QStringLiteral("%1 attend un nombre %2 de %3 à %4 : %5")
                    .arg(option, what)
                    .arg(low)
                    .arg(high)
                    .arg(word);
        return std::nullopt;
    }
    return value;
}

bool isWindowsForm(const QString& path) {
    return path.startsWith(QLatin1String("\\\\")) ||
           (path.size() >= 2 && path.at(1) == QLatin1Char(':'));
}

} // namespace

QString deploymentArgument(System& system, const QStringList& arguments) {
    QString line = arguments.join(QLatin1Char(' '));
    QString path = line;
    StripChar(path, QLatin1Char('"'));
    path = path.trimmed();
    if (path.isEmpty() || isWindowsForm(path)) {
        return line;
    }
    return system.windowsPath(path);
}

namespace {

using Command = UnattendedOptions::Command;

const QString kDeploy = QStringLiteral("--deployer");
const QString kRestore = QStringLiteral("--restaurer");
const QString kHistory = QStringLiteral("--historique");

std::optional<Command> commandOf(const QString& word) {
    if (word == kDeploy) {
        return Command::Deploy;
    }
    if (word == kRestore) {
        return Command::Restore;
    }
    if (word == kHistory) {
        return Command::History;
    }
    return std::nullopt;
}

// The reason the options do not go together, "" when they do.
QString inconsistency(const UnattendedOptions& options, const QStringList& deployOnly) {
    if (options.command == Command::ListDirectory) {
        return deployOnly.isEmpty() && options.passStamp.isEmpty()
                   ? QString()
                   : QStringLiteral("option réservée à --deployer : ") +
                         (deployOnly.isEmpty() ? QStringLiteral("--passe") : deployOnly.first());
    }
    if (options.deploymentFile.isEmpty()) {
        return QStringLiteral("--deployer attend le chemin d'un fichier .VTR");
    }
    if (options.command != Command::Deploy && !options.directoryUrl.isEmpty()) {
        return QStringLiteral("--annuaire ne va qu'avec --deployer, ou seul pour lister les "
                              "postes");
    }
    if (options.command != Command::Deploy && !deployOnly.isEmpty()) {
        return QStringLiteral("option réservée à --deployer : ") + deployOnly.first();
    }
    if (options.command == Command::Restore && !isRunStamp(options.passStamp)) {
        return options.passStamp.isEmpty()
                   ? QStringLiteral("--restaurer attend --passe ESTAMPILLE")
                   : QStringLiteral("estampille de passe invalide : ") + options.passStamp +
                         QStringLiteral(" (attendu AAAAMMJJ_HHMMSS, ou AAAAMMJJ_HMMSS avant "
                                        "10 heures)");
    }
    if (options.preview && options.save) {
        return QStringLiteral("--simuler n'écrit rien : --enregistrer ne va pas avec");
    }
    if (options.command != Command::Restore && !options.passStamp.isEmpty()) {
        return QStringLiteral("--passe ne va qu'avec --restaurer");
    }
    return QString();
}

} // namespace

bool isHelpRequest(const QStringList& arguments) {
    return arguments.size() == 1 && (arguments.first() == QLatin1String("--help") ||
                                     arguments.first() == QLatin1String("-h"));
}

QString usageText() {
    return QStringLiteral(
        "usage: vantrel [FICHIER.VTR]                    la fenêtre\n"
        "       vantrel --deployer FICHIER.VTR [--recursif] [--essais N] [--delai M]\n"
        "               [--enregistrer] [--garder N] [--simultanes N] [--debit-max N]\n"
        "               [--si-different] [--simuler]     une passe sans fenêtre\n"
        "       vantrel --restaurer FICHIER.VTR --passe AAAAMMJJ_HHMMSS [--simultanes N]\n"
        "               [--debit-max N]\n"
        "                                                remet la version que cette passe a "
        "remplacée\n"
        "       vantrel --historique FICHIER.VTR         les versions datées sur chaque poste\n"
        "       vantrel --annuaire URL                   les postes actifs de l'annuaire\n"
        "--recursif : après la passe, jusqu'à --essais N (0 à 5) nouvelles passes, --delai M "
        "minutes (1 à 180) après le début de la précédente, chacune pour les seuls postes en "
        "erreur ; le cycle finit à la première passe sans erreur.\n"
        "--garder N : après chaque copie, ne garder que les N versions datées les plus "
        "récentes.\n"
        "--si-different : ne rien écrire là où le poste a déjà le même fichier.\n"
        "--simuler : dire ce que la passe ferait, sans rien écrire sur les postes.\n"
        "--annuaire URL : les postes sont les ordinateurs actifs de l'annuaire (LDAP, "
        "ldap://dc1.atelier.test/OU=Postes,DC=atelier,DC=test[??sub?(filtre)]), lus au moment "
        "de la passe ; ticket Kerberos (kinit), sinon VANTREL_SMB_AUTH par LDAPS ou StartTLS "
        "seulement.\n"
        "--simultanes N : servir jusqu'à N postes à la fois (1 à 64, 1 par défaut ; variable "
        "VANTREL_SIMULTANES).\n"
        "--debit-max N : les copies de toute la passe ensemble ne dépassent pas N Mo/s (1 Mo = "
        "1 000 000 octets ; variable VANTREL_DEBIT_MAX).\n"
        "Code de sortie : 0 sans erreur, 1 erreurs restantes, 2 impossible, 128 + signal.\n"
        "Voir aussi : man vantrel (Debian), README.\n");
}

std::optional<int> parseSimultaneous(const QString& value, const QString& source, QString& error) {
    return countIn(value, 1, kMaxSimultaneous, source, QStringLiteral("de postes servis à la fois"),
                   error);
}

std::optional<double> parseMaxRate(const QString& value, const QString& source, QString& error) {
    constexpr double kMostMegabytesPerSecond = 100000;
    bool number = false;
    const double megabytes =
        QString(value).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&number);
    if (!number || !(megabytes > 0) || megabytes > kMostMegabytesPerSecond) {
        error = QStringLiteral("%1 attend un débit en Mo/s, plus grand que 0 (12 ou 2,5 par "
                               "exemple) : %2")
                    .arg(source, value);
        return std::nullopt;
    }
    return megabytes * 1e6;
}

bool isUnattended(const QStringList& arguments) {
    // A word in option form is never a document to open: an unknown one is refused
    // with the usage rather than opened as a file of that name.
    return std::any_of(arguments.begin(), arguments.end(), [](const QString& word) {
        return commandOf(word).has_value() || word.startsWith(QLatin1Char('-'));
    });
}

std::optional<UnattendedOptions> parseUnattended(const QStringList& arguments, QString& error) {
    UnattendedOptions options;
    QStringList deployOnly; // options that only a deployment takes
    bool commandSeen = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& word = arguments.at(i);
        const bool hasValue = i + 1 < arguments.size();
        const std::optional<Command> command = commandOf(word);
        if (command && commandSeen) {
            error = QStringLiteral("une seule commande à la fois : ") + word;
            return std::nullopt;
        }
        if (command && hasValue) {
            commandSeen = true;
            options.command = *command;
            options.deploymentFile = arguments.at(++i);
        } else if (word == QLatin1String("--recursif")) {
            options.recursive = true;
            deployOnly << word;
        } else if (word == QLatin1String("--essais") && hasValue) {
            const std::optional<int> attempts = countIn(arguments.at(++i), 0, kMaxAttempts, word,
                                                        QStringLiteral("d'essais"), error);
            if (!attempts) {
                return std::nullopt;
            }
            options.attempts = *attempts;
            deployOnly << word;
        } else if (word == QLatin1String("--delai") && hasValue) {
            const std::optional<int> delay =
                countIn(arguments.at(++i), 1, kMaxDelay, word, QStringLiteral("de minutes"), error);
            if (!delay) {
                return std::nullopt;
            }
            options.delay = *delay;
            deployOnly << word;
        } else if (word == QLatin1String("--enregistrer")) {
            options.save = true;
            deployOnly << word;
        } else if (word == QLatin1String("--si-different")) {
            options.onlyIfDifferent = true;
            deployOnly << word;
        } else if (word == QLatin1String("--simuler")) {
            options.preview = true;
            deployOnly << word;
        } else if (word == QLatin1String("--garder") && hasValue) {
            const std::optional<int> kept = countIn(arguments.at(++i), 1, kMaxKeptVersions, word,
                                                    QStringLiteral("de versions"), error);
            if (!kept) {
                return std::nullopt;
            }
            options.keptVersions = *kept;
            deployOnly << word;
        } else if (word == QLatin1String("--simultanes") && hasValue) {
            const std::optional<int> workers = parseSimultaneous(arguments.at(++i), word, error);
            if (!workers) {
                return std::nullopt;
            }
            options.simultaneous = *workers;
        } else if (word == QLatin1String("--debit-max") && hasValue) {
            const std::optional<double> cap = parseMaxRate(arguments.at(++i), word, error);
            if (!cap) {
                return std::nullopt;
            }
            options.maxBytesPerSecond = *cap;
        } else if (word == QLatin1String("--passe") && hasValue) {
            options.passStamp = arguments.at(++i);
        } else if (word == QLatin1String("--annuaire") && hasValue &&
                   options.directoryUrl.isEmpty()) {
            options.directoryUrl = arguments.at(++i);
        } else {
            error = QStringLiteral("argument inattendu ou incomplet : ") + word;
            return std::nullopt;
        }
    }
    if (!commandSeen && !options.directoryUrl.isEmpty()) {
        options.command = Command::ListDirectory;
    }
    error = inconsistency(options, deployOnly);
    if (!error.isEmpty()) {
        return std::nullopt;
    }
    return options;
}

} // namespace vantrel
