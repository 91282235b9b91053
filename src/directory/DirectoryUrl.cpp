#include "DirectoryUrl.h"

#include <QByteArray>
#include <QStringList>

namespace vantrel {
namespace {

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Percent-decodes a part of the URL; false on a '%' not followed by two hex digits.
bool decoded(const QString& part, QString& text) {
    const QByteArray utf8 = part.toUtf8();
    QByteArray bytes;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        if (utf8.at(i) != '%') {
            bytes += utf8.at(i);
        } else if (i + 2 < utf8.size() && isHexDigit(utf8.at(i + 1)) &&
                   isHexDigit(utf8.at(i + 2))) {
            bytes += char(utf8.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else {
            return false;
        }
    }
    text = QString::fromUtf8(bytes);
    return true;
}

// A recursive-descent reading of RFC 4515's grammar; pos moves past what it read.
class FilterReader {
public:
    explicit FilterReader(const QString& text) : text_(text) {}

    bool whole() { return filter(0) && pos_ == text_.size(); }

private:
    // Deep nesting is no real filter and must not exhaust the stack.
    static constexpr int kMaxDepth = 100;

    bool filter(int depth) {
        if (depth > kMaxDepth || !take(QLatin1Char('('))) {
            return false;
        }
        if (take(QLatin1Char('&')) || take(QLatin1Char('|'))) {
            if (!filter(depth + 1)) {
                return false; // a list holds at least one filter
            }
            while (pos_ < text_.size() && text_.at(pos_) == QLatin1Char('(')) {
                if (!filter(depth + 1)) {
                    return false;
                }
            }
        } else if (take(QLatin1Char('!'))) {
            if (!filter(depth + 1)) {
                return false;
            }
        } else if (!item()) {
            return false;
        }
        return take(QLatin1Char(')'));
    }

    // attr [":dn"] [":" rule] ":=" value, or attr ("=" / "~=" / ">=" / "<=") value.
    bool item() {
        const bool named = attribute();
        const bool dn = text_.mid(pos_, 4).compare(QLatin1String(":dn:"), Qt::CaseInsensitive) == 0;
        if (dn) {
            pos_ += 3;
        }
        if (take(QLatin1Char(':'))) {
            if (take(QLatin1Char('='))) {
                return named && value(false); // ":=" alone needs an attribute
            }
            return attribute() && take(QLatin1Char(':')) && take(QLatin1Char('=')) && value(false);
        }
        if (!named || dn) {
            return false;
        }
        for (const char* type : {"~=", ">=", "<="}) {
            if (text_.mid(pos_, 2) == QLatin1String(type)) {
                pos_ += 2;
                return value(false);
            }
        }
        return take(QLatin1Char('=')) && value(true);
    }

    // A name (letters, digits, '-', options after ';') or a numeric oid.
    bool attribute() {
        const qsizetype start = pos_;
        while (pos_ < text_.size()) {
            const QChar c = text_.at(pos_);
            if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('-') &&
                c != QLatin1Char('.') && c != QLatin1Char(';')) {
                break;
            }
            ++pos_;
        }
        return pos_ > start;
    }

    // Escapes are '\' and two hex digits; '*' only where substrings are allowed.
    bool value(bool substrings) {
        while (pos_ < text_.size() && text_.at(pos_) != QLatin1Char(')')) {
            const QChar c = text_.at(pos_);
            if (c == QLatin1Char('(') || c.isNull() || (c == QLatin1Char('*') && !substrings)) {
                return false;
            }
            if (c == QLatin1Char('\\')) {
                if (pos_ + 2 >= text_.size() || text_.at(pos_ + 1).unicode() > 127 ||
                    text_.at(pos_ + 2).unicode() > 127 ||
                    !isHexDigit(char(text_.at(pos_ + 1).unicode())) ||
                    !isHexDigit(char(text_.at(pos_ + 2).unicode()))) {
                    return false;
                }
                pos_ += 2;
            }
            ++pos_;
        }
        return true;
    }

    bool take(QChar c) {
        if (peek(c)) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool peek(QChar c) const { return pos_ < text_.size() && text_.at(pos_) == c; }

    const QString& text_;
    qsizetype pos_ = 0;
};

// The DNS domain of a base's DC= parts, "" when it has none.
QString domainOf(const QString& base) {
    QStringList labels;
    for (const QString& part : base.split(QLatin1Char(','))) {
        const QString rdn = part.trimmed();
        if (rdn.startsWith(QLatin1String("DC="), Qt::CaseInsensitive)) {
            labels << rdn.mid(3).trimmed();
        }
    }
    return labels.join(QLatin1Char('.'));
}

} // namespace

bool isSearchFilter(const QString& text) {
    return FilterReader(text).whole();
}

QString enabledComputersFilter(const QString& filter) {
    return QStringLiteral("(&(objectClass=computer)"
                          "(!(userAccountControl:1.2.840.113556.1.4.803:=2))%1)")
        .arg(filter);
}

std::optional<DirectoryQuery> parseDirectoryUrl(const QString& url, QString& error) {
    DirectoryQuery query;
    const qsizetype schemeEnd = url.indexOf(QLatin1String("://"));
    const QString scheme = url.left(schemeEnd).toLower();
    if (schemeEnd < 0 || (scheme != QLatin1String("ldap") && scheme != QLatin1String("ldaps"))) {
        error = QStringLiteral("URL d'annuaire invalide : %1 (attendu ldap://serveur/base ou "
                               "ldaps://serveur/base)")
                    .arg(url);
        return std::nullopt;
    }
    query.secure = scheme == QLatin1String("ldaps");
    const QString rest = url.mid(schemeEnd + 3);
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    const QString authority = slash < 0 ? rest : rest.left(slash);
    QString hostPort;
    if (authority.contains(QLatin1Char('?')) || !decoded(authority, hostPort)) {
        error = QStringLiteral("serveur invalide dans l'URL d'annuaire : %1").arg(authority);
        return std::nullopt;
    }
    // "[v6]:port" or "host:port".
    const qsizetype bracket = hostPort.lastIndexOf(QLatin1Char(']'));
    const qsizetype colon = hostPort.lastIndexOf(QLatin1Char(':'));
    query.host = hostPort;
    if (colon > bracket) {
        bool number = false;
        query.port = hostPort.mid(colon + 1).toInt(&number);
        if (!number || query.port < 1 || query.port > 65535 || !hostPort.at(colon + 1).isDigit()) {
            error = QStringLiteral("port invalide dans l'URL d'annuaire : %1")
                        .arg(hostPort.mid(colon + 1));
            return std::nullopt;
        }
        query.host = hostPort.left(colon);
    }
    const QStringList parts =
        slash < 0 ? QStringList() : rest.mid(slash + 1).split(QLatin1Char('?'));
    if (parts.size() > 5) {
        error = QStringLiteral("trop de « ? » dans l'URL d'annuaire : %1").arg(url);
        return std::nullopt;
    }
    QStringList fields;
    for (const QString& part : parts) {
        QString text;
        if (!decoded(part, text)) {
            error = QStringLiteral("« % » mal formé dans l'URL d'annuaire : %1").arg(part);
            return std::nullopt;
        }
        fields << text;
    }
    while (fields.size() < 5) {
        fields << QString();
    }
    query.base = fields.at(0).trimmed();
    if (query.base.isEmpty()) {
        error = QStringLiteral("l'URL d'annuaire ne donne pas de base où chercher les postes "
                               "(ldap://dc1.atelier.test/OU=Postes,DC=atelier,DC=test par "
                               "exemple)");
        return std::nullopt;
    }
    query.domain = domainOf(query.base);
    if (query.host.isEmpty() && query.domain.isEmpty()) {
        error = QStringLiteral("sans serveur dans l'URL, la base doit nommer le domaine "
                               "(DC=atelier,DC=test) : %1")
                    .arg(query.base);
        return std::nullopt;
    }
    const QString scope = fields.at(2).toLower();
    if (scope == QLatin1String("base")) {
        query.scope = DirectoryQuery::Scope::Base;
    } else if (scope == QLatin1String("one")) {
        query.scope = DirectoryQuery::Scope::OneLevel;
    } else if (!scope.isEmpty() && scope != QLatin1String("sub")) {
        error = QStringLiteral("portée inconnue dans l'URL d'annuaire : %1 (base, one ou sub)")
                    .arg(fields.at(2));
        return std::nullopt;
    }
    QString filter = fields.at(3).trimmed();
    if (!filter.isEmpty() && !filter.startsWith(QLatin1Char('('))) {
        filter = QLatin1Char('(') + filter + QLatin1Char(')');
    }
    if (!filter.isEmpty() && !isSearchFilter(filter)) {
        error = QStringLiteral("filtre LDAP invalide : %1").arg(fields.at(3));
        return std::nullopt;
    }
    query.filter = enabledComputersFilter(filter);
    // Extensions: only a critical one ("!name") must be understood, and none is.
    for (const QString& extension : fields.at(4).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (extension.trimmed().startsWith(QLatin1Char('!'))) {
            error = QStringLiteral("extension critique non prise en charge dans l'URL "
                                   "d'annuaire : %1")
                        .arg(extension.trimmed());
            return std::nullopt;
        }
    }
    return query;
}

} // namespace vantrel
