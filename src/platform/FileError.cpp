#include "FileError.h"

#include <cerrno>

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
    case FileError::TimedOut:
        return QStringLiteral("Le poste ne répond plus");
    case FileError::IsAFolder:
        return QStringLiteral("Un dossier porte ce nom");
    case FileError::InvalidName:
        return QStringLiteral("Nom de fichier incorrect");
    case FileError::UnsafeCredentials:
        return QStringLiteral("Fichier d'authentification lisible par d'autres utilisateurs : "
                              "aucune copie (chmod 600)");
    case FileError::Other:
        break;
    }
    return QStringLiteral("Erreur d'entrée/sortie");
}

FileError fileErrorFromErrno(int errnoValue) {
    switch (errnoValue) {
    case 0:
        return FileError::None;
    case ENOENT:
        return FileError::PathNotFound;
    case ENOTDIR:
        return FileError::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return FileError::AccessDenied;
    case EBUSY:
    case ETXTBSY:
        return FileError::SharingViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return FileError::DiskFull;
    case EEXIST:
        return FileError::AlreadyExists;
    case EHOSTUNREACH:
    case ENETUNREACH:
    case ECONNREFUSED:
    case EHOSTDOWN:
        return FileError::HostUnreachable;
    case ETIMEDOUT:
        return FileError::TimedOut;
    case EISDIR:
        return FileError::IsAFolder;
    case ENAMETOOLONG:
    case EINVAL:
        return FileError::InvalidName;
    default:
        return FileError::Other;
    }
}

} // namespace vantrel
