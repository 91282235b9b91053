#include "DirectoryListing.h"

#include "DirectoryUrl.h"
#include "core/TextFile.h"

#include <algorithm>

namespace vantrel {
namespace {

QString server(const DirectoryQuery& query) {
    return query.host.isEmpty() ? QStringLiteral("les contrôleurs de ") + query.domain : query.host;
}

QString withDetail(const QString& text, const QString& detail) {
    return detail.isEmpty() ? text : text + QStringLiteral(" (") + detail + QLatin1Char(')');
}

} // namespace

QString directoryErrorText(const DirectoryQuery& query, const DirectoryAnswer& answer) {
    switch (answer.error) {
    case DirectoryError::None:
        return QString();
    case DirectoryError::NoController:
        return QStringLiteral("Aucun contrôleur de domaine trouvé dans le DNS pour %1 "
                              "(_ldap._tcp.dc._msdcs.%1) : donnez le serveur dans l'URL")
            .arg(query.domain);
    case DirectoryError::Unreachable:
        return withDetail(QStringLiteral("Annuaire injoignable : %1").arg(server(query)),
                          answer.detail);
    case DirectoryError::NoSuchBase:
        return withDetail(QStringLiteral("Base introuvable dans l'annuaire : %1").arg(query.base),
                          answer.detail);
    case DirectoryError::NoTicket:
        return withDetail(
            QStringLiteral("Pas de ticket Kerberos valable pour l'annuaire : lancez kinit "
                           "(ou donnez VANTREL_SMB_AUTH, utilisé seulement par LDAPS ou "
                           "StartTLS)"),
            answer.detail);
    case DirectoryError::WrongPassword:
        return QStringLiteral("Identifiants refusés par l'annuaire : nom ou mot de passe "
                              "incorrect (VANTREL_SMB_AUTH)");
    case DirectoryError::TlsRefused:
        return withDetail(QStringLiteral("Connexion TLS impossible avec %1 : certificat non "
                                         "reconnu (autorités du système ou VANTREL_LDAP_CA) ou "
                                         "TLS refusé")
                              .arg(server(query)),
                          answer.detail);
    case DirectoryError::BadFilter:
        return withDetail(QStringLiteral("Filtre refusé par l'annuaire : %1").arg(query.filter),
                          answer.detail);
    case DirectoryError::ClearTextRefused:
        return QStringLiteral("%1 n'offre ni LDAPS ni StartTLS : le mot de passe n'est jamais "
                              "envoyé en clair. Obtenez un ticket Kerberos (kinit) ou utilisez "
                              "ldaps://")
            .arg(server(query));
    case DirectoryError::Credentials:
        return QStringLiteral("Annuaire : ") + describe(answer.credentials);
    case DirectoryError::Refused:
        return withDetail(QStringLiteral("L'annuaire %1 a refusé la recherche").arg(server(query)),
                          answer.detail);
    }
    return QString();
}

DirectoryListing listDirectoryComputers(Directory& directory, const QString& url) {
    DirectoryListing listing;
    const std::optional<DirectoryQuery> query = parseDirectoryUrl(url, listing.error);
    if (!query) {
        return listing;
    }
    const DirectoryAnswer answer = directory.computers(*query);
    if (answer.error != DirectoryError::None) {
        listing.error = directoryErrorText(*query, answer);
        return listing;
    }
    for (const QString& name : answer.names) {
        if (!name.trimmed().isEmpty()) {
            listing.names << name.trimmed();
        }
    }
    if (listing.names.isEmpty()) {
        listing.error =
            QStringLiteral("Aucun poste actif dans l'annuaire sous %1").arg(query->base);
        return listing;
    }
    std::stable_sort(
        listing.names.begin(), listing.names.end(),
        [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return listing;
}

QByteArray listingBytes(const QStringList& names) {
    return TextFile::encode(TextFile::joinLines(names));
}

} // namespace vantrel
