#include "FileError.h"

namespace vantrel {

QString describe(FileError error) {
    switch (error) {
    case FileError::None:
        return QString();
    case FileError::FileNotFound:
        return QStringLiteral("Fichier introuvable");
    case FileError::PathNotFound:
        return QStringLiteral("Chemin d'accès introuvable");
    case FileError::AccessDenied:
        return QStringLiteral("Permission refusée");
    case FileError::SharingViolation:
        return QStringLiteral("Fichier en cours d'utilisation par un autre programme");
    case FileError::DiskFull:
        return QStringLiteral("Disque plein");
    case FileError::AlreadyExists:
        return QStringLiteral("Le fichier existe déjà");
    case FileError::HostUnreachable:
        return QStringLiteral("Poste injoignable");
    case FileError::ShareNotFound:
        return QStringLiteral("Partage introuvable");
    case FileError::LogonFailure:
        return QStringLiteral("Ouverture de session refusée");
    case FileError::KerberosRefused:
        return QStringLiteral("Ouverture de session refusée : ticket Kerberos expiré ou refusé, "
                              "renouvelez-le (kinit)");
    case FileError::GuestRefused:
        return QStringLiteral("Ouverture de session refusée en invité : ni ticket Kerberos ni "
                              "VANTREL_SMB_AUTH (kinit pour obtenir un ticket)");
    case FileError::TimedOut:
        return QStringLiteral("Le poste ne répond plus");
    case FileError::IsAFolder:
        return QStringLiteral("Un dossier porte ce nom");
    case FileError::InvalidName:
        return QStringLiteral("Nom de fichier incorrect");
    case FileError::UnsafeCredentials:
        return QStringLiteral("Fichier d'authentification lisible par d'autres utilisateurs : "
                              "aucune copie (chmod 600)");
    case FileError::CredentialsMissing:
        return QStringLiteral("Fichier d'authentification (VANTREL_SMB_AUTH) introuvable : aucune "
                              "copie. Donnez un fichier qui existe, ou retirez la variable pour "
                              "entrer en invité");
    case FileError::CredentialsNotAFile:
        return QStringLiteral("Fichier d'authentification (VANTREL_SMB_AUTH) : ce nom ne désigne "
                              "pas un fichier ordinaire : aucune copie");
    case FileError::CredentialsUnreadable:
        return QStringLiteral("Fichier d'authentification (VANTREL_SMB_AUTH) illisible ou de plus "
                              "de 64 Kio : aucune copie");
    case FileError::NotAFile:
        return QStringLiteral("Ce nom ne désigne pas un fichier ordinaire");
    case FileError::TooLarge:
        return QStringLiteral("Fichier trop volumineux");
    case FileError::TooManyLines:
        return QStringLiteral("Trop de lignes pour ce genre de fichier");
    case FileError::NotWindows1252:
        return QStringLiteral("Fichier en UTF-16 ou binaire (octet nul) : un texte Windows-1252 "
                              "(ANSI) est attendu");
    case FileError::LineTooLong:
        return QStringLiteral("Ligne trop longue : plus de 65 536 caractères");
    case FileError::PathTooLong:
        return QStringLiteral("Chemin trop long : plus de 32 767 caractères");
    case FileError::SourceChanging:
        return QStringLiteral("Source en cours de modification : aucune copie, relancer quand "
                              "elle ne change plus");
    case FileError::RefusedName:
        return QStringLiteral("Nom refusé par Windows (CON, NUL, COM1, LPT1… avec ou sans "
                              "extension, caractère < > : \" | ? *, point ou espace final) : "
                              "rien n'a été écrit");
    case FileError::NameTooLongForBackup:
        return QStringLiteral("Nom trop long : suivi de la date de la passe (15 caractères), il "
                              "dépasserait les 255 caractères d'un nom Windows et la version "
                              "remplacée ne pourrait pas être gardée : rien n'a été écrit");
    case FileError::CaseTwins:
        return QStringLiteral("Plusieurs fichiers de ce nom à la casse près, que Windows ne "
                              "distingue pas : aucun n'a été remplacé");
    case FileError::SameTarget:
        return QStringLiteral("Une règle précédente écrit déjà ce fichier : règle ignorée");
    case FileError::Interrupted:
        return QStringLiteral("Interrompu : déploiement arrêté");
    case FileError::Other:
        break;
    }
    return QStringLiteral("Erreur d'entrée/sortie");
}

} // namespace vantrel
