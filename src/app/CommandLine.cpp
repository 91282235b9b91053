#include "CommandLine.h"

#include "core/Text.h"
#include "platform/System.h"

namespace vantrel {
namespace {

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

bool isUnattended(const QStringList& arguments) {
    return arguments.contains(QStringLiteral("--deployer"));
}

std::optional<UnattendedOptions> parseUnattended(const QStringList& arguments, QString& error) {
    UnattendedOptions options;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& word = arguments.at(i);
        const bool hasValue = i + 1 < arguments.size();
        if (word == QLatin1String("--deployer") && hasValue) {
            options.deploymentFile = arguments.at(++i);
        } else if (word == QLatin1String("--recursif")) {
            options.recursive = true;
        } else if (word == QLatin1String("--essais") && hasValue) {
            options.attempts = arguments.at(++i);
        } else if (word == QLatin1String("--delai") && hasValue) {
            options.delay = arguments.at(++i);
        } else if (word == QLatin1String("--enregistrer")) {
            options.save = true;
        } else {
            error = QStringLiteral("argument inattendu ou incomplet : ") + word;
            return std::nullopt;
        }
    }
    if (options.deploymentFile.isEmpty()) {
        error = QStringLiteral("--deployer attend le chemin d'un fichier .VTR");
        return std::nullopt;
    }
    return options;
}

} // namespace vantrel
