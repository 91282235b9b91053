#include "CredentialsFile.h"

#include "LocalFiles.h"

#include <QFile>
#include <QStringList>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {
namespace {

// An authentication file holds three short lines: anything bigger is not one.
constexpr qint64 kMaxCredentialBytes = 64 * 1024;

} // namespace

bool kerberosTicketPresent() {
    const QByteArray cache = qgetenv("KRB5CCNAME");
    if (!cache.isEmpty()) {
        return !cache.startsWith("FILE:") || QFile::exists(QString::fromLocal8Bit(cache.mid(5)));
    }
    return QFile::exists(QStringLiteral("/tmp/krb5cc_%1").arg(::getuid()));
}

bool readCredentials(const QString& path, Credentials& credentials, FileError& refusal) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        refusal = errno == ENOENT || errno == ENOTDIR ? FileError::CredentialsMissing
                                                      : FileError::CredentialsUnreadable;
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        refusal = FileError::CredentialsNotAFile;
        return false;
    }
    if ((st.st_mode & 077) != 0) {
        refusal = FileError::UnsafeCredentials;
        return false;
    }
    QByteArray bytes;
    if (st.st_size > kMaxCredentialBytes || LocalFiles::read(path, bytes) != FileError::None ||
        bytes.size() > kMaxCredentialBytes) {
        refusal = FileError::CredentialsUnreadable;
        return false;
    }
    for (const QString& line : QString::fromUtf8(bytes).split(QLatin1Char('\n'))) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0) {
            continue;
        }
        const QString key = line.left(eq).trimmed().toLower();
        const QByteArray value = line.mid(eq + 1).trimmed().toUtf8();
        if (key == QLatin1String("username")) {
            credentials.user = value;
        } else if (key == QLatin1String("password")) {
            credentials.password = value;
        } else if (key == QLatin1String("domain")) {
            credentials.domain = value;
        }
    }
    return true;
}

} // namespace vantrel
