#include "LdapDirectory.h"

#include "CredentialsFile.h"

#include <QByteArray>
#include <QStringList>

#include <ldap.h>
#include <sasl/sasl.h>

#include <memory>

namespace vantrel {
namespace {

constexpr int kConnectSeconds = 10;
constexpr int kAnswerSeconds = 120;

struct LdapHandle {
    LDAP* ld = nullptr;
    ~LdapHandle() {
        if (ld != nullptr) {
            ldap_unbind_ext_s(ld, nullptr, nullptr);
        }
    }
};

struct MessageHolder {
    LDAPMessage* message = nullptr;
    ~MessageHolder() { ldap_msgfree(message); }
};

QString diagnostic(LDAP* ld, int rc) {
    QString text = QString::fromUtf8(ldap_err2string(rc));
    char* message = nullptr;
    if (ld != nullptr && ldap_get_option(ld, LDAP_OPT_DIAGNOSTIC_MESSAGE, &message) == 0 &&
        message != nullptr) {
        if (*message != '\0') {
            text += QStringLiteral(" : ") + QString::fromUtf8(message).trimmed();
        }
        ldap_memfree(message);
    }
    return text;
}

DirectoryAnswer failure(DirectoryError error, const QString& detail) {
    DirectoryAnswer answer;
    answer.error = error;
    answer.detail = detail;
    return answer;
}

// The URIs to try in turn: the URL's server, or the domain's controllers from DNS.
bool serverUris(const DirectoryQuery& query, QByteArray& uris) {
    const QByteArray scheme = query.secure ? "ldaps://" : "ldap://";
    if (!query.host.isEmpty()) {
        uris = scheme + query.host.toUtf8();
        if (query.port != 0) {
            uris += ':' + QByteArray::number(query.port);
        }
        return true;
    }
    // _ldap._tcp.dc._msdcs.DOMAIN: the controllers, best first.
    char* hosts = nullptr;
    const QByteArray domain = "dc._msdcs." + query.domain.toUtf8();
    if (ldap_domain2hostlist(domain.constData(), &hosts) != LDAP_SUCCESS || hosts == nullptr) {
        return false;
    }
    for (const QByteArray& host : QByteArray(hosts).split(' ')) {
        if (host.isEmpty()) {
            continue;
        }
        // DNS gives the plain LDAP port; LDAPS is on its own.
        const QByteArray name =
            host.left(host.lastIndexOf(':') < 0 ? host.size() : host.lastIndexOf(':'));
        uris += (uris.isEmpty() ? "" : " ") + scheme + (query.secure ? name : host);
    }
    ldap_memfree(hosts);
    return !uris.isEmpty();
}

// GSSAPI asks nothing: the ticket says who binds.
int saslDefaults(LDAP*, unsigned, void*, void* prompts) {
    for (auto* prompt = static_cast<sasl_interact_t*>(prompts); prompt->id != SASL_CB_LIST_END;
         ++prompt) {
        prompt->result = "";
        prompt->len = 0;
    }
    return LDAP_SUCCESS;
}

class Session {
public:
    Session(const DirectoryQuery& query, const QByteArray& uris,
            const QString& certificateAuthorities)
        : query_(query), uris_(uris), certificateAuthorities_(certificateAuthorities) {}

    // A fresh connection: a failed bind may leave the last one unusable.
    int open() {
        handle_ = std::make_unique<LdapHandle>();
        int rc = ldap_initialize(&handle_->ld, uris_.constData());
        if (rc != LDAP_SUCCESS) {
            return rc;
        }
        LDAP* ld = handle_->ld;
        const int version = LDAP_VERSION3;
        const timeval connect{kConnectSeconds, 0};
        const timeval answer{kAnswerSeconds, 0};
        const int demand = LDAP_OPT_X_TLS_DEMAND;
        ldap_set_option(ld, LDAP_OPT_PROTOCOL_VERSION, &version);
        ldap_set_option(ld, LDAP_OPT_REFERRALS, LDAP_OPT_OFF);
        ldap_set_option(ld, LDAP_OPT_NETWORK_TIMEOUT, &connect);
        ldap_set_option(ld, LDAP_OPT_TIMEOUT, &answer);
        // The name as given, not what reverse DNS makes of it: the ticket is for it.
        ldap_set_option(ld, LDAP_OPT_X_SASL_NOCANON, LDAP_OPT_ON);
        ldap_set_option(ld, LDAP_OPT_X_TLS_REQUIRE_CERT, &demand);
        if (!certificateAuthorities_.isEmpty()) {
            const QByteArray file = certificateAuthorities_.toLocal8Bit();
            ldap_set_option(ld, LDAP_OPT_X_TLS_CACERTFILE, file.constData());
        }
        const int server = 0;
        ldap_set_option(ld, LDAP_OPT_X_TLS_NEWCTX, &server);
        return LDAP_SUCCESS;
    }

    LDAP* ld() const { return handle_->ld; }

    // SASL GSSAPI with the current ticket; signed in clear, bare inside TLS (Active
    // Directory refuses a second layer there).
    int kerberosBind() {
        const char* properties = query_.secure ? "maxssf=0" : "minssf=1";
        ldap_set_option(ld(), LDAP_OPT_X_SASL_SECPROPS, properties);
        return ldap_sasl_interactive_bind_s(ld(), nullptr, "GSSAPI", nullptr, nullptr,
                                            LDAP_SASL_QUIET, saslDefaults, nullptr);
    }

    // TLS first (StartTLS on ldap://): the password never leaves in clear.
    DirectoryAnswer simpleBind(const Credentials& credentials) {
        if (!query_.secure) {
            const int rc = ldap_start_tls_s(ld(), nullptr, nullptr);
            if (rc == LDAP_SERVER_DOWN && !ldap_tls_inplace(ld())) {
                // Connected then dropped, or a certificate refused during the handshake.
                return failure(connected() ? DirectoryError::TlsRefused
                                           : DirectoryError::Unreachable,
                               diagnostic(ld(), rc));
            }
            if (rc == LDAP_CONNECT_ERROR) {
                return failure(DirectoryError::TlsRefused, diagnostic(ld(), rc));
            }
            if (rc != LDAP_SUCCESS) {
                return failure(DirectoryError::ClearTextRefused, diagnostic(ld(), rc));
            }
        }
        if (query_.secure) {
            // Connects, with the TLS handshake, before anything of the bind is sent.
            LDAPMessage* root = nullptr;
            const char* none[] = {"1.1", nullptr};
            const int rc =
                ldap_search_ext_s(ld(), "", LDAP_SCOPE_BASE, "(objectClass=*)",
                                  const_cast<char**>(none), 0, nullptr, nullptr, nullptr, 1, &root);
            ldap_msgfree(root);
            if (rc == LDAP_SERVER_DOWN || rc == LDAP_CONNECT_ERROR || rc == LDAP_TIMEOUT) {
                return failure(connected() ? DirectoryError::TlsRefused
                                           : DirectoryError::Unreachable,
                               diagnostic(ld(), rc));
            }
        }
        if (!ldap_tls_inplace(ld())) {
            return failure(DirectoryError::ClearTextRefused, QString());
        }
        QByteArray name = credentials.user;
        if (!name.contains('@') && !name.contains('\\')) {
            name = credentials.domain.isEmpty() ? name + '@' + query_.domain.toUtf8()
                                                : credentials.domain + '\\' + name;
        }
        berval password{static_cast<ber_len_t>(credentials.password.size()),
                        const_cast<char*>(credentials.password.constData())};
        const int rc = ldap_sasl_bind_s(ld(), name.constData(), LDAP_SASL_SIMPLE, &password,
                                        nullptr, nullptr, nullptr);
        if (rc == LDAP_INVALID_CREDENTIALS) {
            return failure(DirectoryError::WrongPassword, diagnostic(ld(), rc));
        }
        if (rc != LDAP_SUCCESS) {
            return failure(classify(rc), diagnostic(ld(), rc));
        }
        return DirectoryAnswer();
    }

    // Every page of the search (RFC 2696), dNSHostName else cn of each entry.
    DirectoryAnswer search() {
        DirectoryAnswer answer;
        const QByteArray base = query_.base.toUtf8();
        const QByteArray filter = query_.filter.toUtf8();
        const char* attributes[] = {"dNSHostName", "cn", nullptr};
        const int scope = query_.scope == DirectoryQuery::Scope::Base       ? LDAP_SCOPE_BASE
                          : query_.scope == DirectoryQuery::Scope::OneLevel ? LDAP_SCOPE_ONELEVEL
                                                                            : LDAP_SCOPE_SUBTREE;
        berval* cookie = nullptr;
        do {
            LDAPControl* page = nullptr;
            int rc = ldap_create_page_control(ld(), LdapDirectory::kPageSize, cookie, 1, &page);
            ber_bvfree(cookie);
            cookie = nullptr;
            if (rc != LDAP_SUCCESS) {
                return failure(DirectoryError::Refused, diagnostic(ld(), rc));
            }
            LDAPControl* controls[] = {page, nullptr};
            MessageHolder result;
            timeval limit{kAnswerSeconds, 0};
            rc = ldap_search_ext_s(ld(), base.constData(), scope, filter.constData(),
                                   const_cast<char**>(attributes), 0, controls, nullptr, &limit,
                                   LDAP_NO_LIMIT, &result.message);
            ldap_control_free(page);
            if (rc != LDAP_SUCCESS) {
                return failure(classify(rc), diagnostic(ld(), rc));
            }
            for (LDAPMessage* entry = ldap_first_entry(ld(), result.message); entry != nullptr;
                 entry = ldap_next_entry(ld(), entry)) {
                answer.names << firstValue(entry, "dNSHostName", "cn");
            }
            LDAPControl** returned = nullptr;
            int code = LDAP_SUCCESS;
            rc = ldap_parse_result(ld(), result.message, &code, nullptr, nullptr, nullptr,
                                   &returned, 0);
            if (rc == LDAP_SUCCESS && code != LDAP_SUCCESS) {
                ldap_controls_free(returned);
                return failure(classify(code), diagnostic(ld(), code));
            }
            if (LDAPControl* response =
                    ldap_control_find(LDAP_CONTROL_PAGEDRESULTS, returned, nullptr)) {
                ber_int_t estimate = 0;
                berval next{0, nullptr};
                if (ldap_parse_pageresponse_control(ld(), response, &estimate, &next) ==
                        LDAP_SUCCESS &&
                    next.bv_len > 0) {
                    cookie = ber_bvdup(&next);
                }
                ber_memfree(next.bv_val);
            }
            ldap_controls_free(returned);
        } while (cookie != nullptr);
        return answer;
    }

    static DirectoryError classify(int rc) {
        switch (rc) {
        case LDAP_SERVER_DOWN:
        case LDAP_TIMEOUT:
        case LDAP_CONNECT_ERROR:
            return DirectoryError::Unreachable;
        case LDAP_NO_SUCH_OBJECT:
        case LDAP_INVALID_DN_SYNTAX:
            return DirectoryError::NoSuchBase;
        case LDAP_FILTER_ERROR:
            return DirectoryError::BadFilter;
        case LDAP_INVALID_CREDENTIALS:
            return DirectoryError::WrongPassword;
        default:
            return DirectoryError::Refused;
        }
    }

private:
    // Whether a TCP connection got as far as the server: tells a refused handshake from
    // a server that is not there.
    bool connected() const {
        int socket = -1;
        return ldap_get_option(ld(), LDAP_OPT_DESC, &socket) == LDAP_OPT_SUCCESS && socket >= 0;
    }

    QString firstValue(LDAPMessage* entry, const char* wanted, const char* otherwise) {
        for (const char* attribute : {wanted, otherwise}) {
            berval** values = ldap_get_values_len(ld(), entry, attribute);
            if (values != nullptr && values[0] != nullptr) {
                const QString value =
                    QString::fromUtf8(values[0]->bv_val, static_cast<qsizetype>(values[0]->bv_len));
                ldap_value_free_len(values);
                return value;
            }
            ldap_value_free_len(values);
        }
        return QString();
    }

    const DirectoryQuery& query_;
    QByteArray uris_;
    QString certificateAuthorities_;
    std::unique_ptr<LdapHandle> handle_;
};

// Kerberos could not bind: no ticket, an expired one, or one the server does not take.
bool isKerberosRefusal(int rc) {
    return rc == LDAP_LOCAL_ERROR || rc == LDAP_INVALID_CREDENTIALS || rc == LDAP_AUTH_UNKNOWN ||
           rc == LDAP_STRONG_AUTH_REQUIRED || rc == LDAP_INAPPROPRIATE_AUTH || rc == LDAP_OTHER ||
           rc == LDAP_UNAVAILABLE || rc == LDAP_NOT_SUPPORTED;
}

} // namespace

LdapDirectory::LdapDirectory(QString credentialsFile, QString certificateAuthorities)
    : credentialsFile_(std::move(credentialsFile)),
      certificateAuthorities_(std::move(certificateAuthorities)) {}

DirectoryAnswer LdapDirectory::computers(const DirectoryQuery& query) {
    QByteArray uris;
    if (!serverUris(query, uris)) {
        return failure(DirectoryError::NoController, QString());
    }
    Session session(query, uris, certificateAuthorities_);
    int rc = session.open();
    if (rc != LDAP_SUCCESS) {
        return failure(DirectoryError::Unreachable, diagnostic(nullptr, rc));
    }
    rc = session.kerberosBind();
    if (rc == LDAP_SERVER_DOWN || rc == LDAP_TIMEOUT || rc == LDAP_CONNECT_ERROR) {
        return failure(query.secure ? DirectoryError::TlsRefused : DirectoryError::Unreachable,
                       diagnostic(session.ld(), rc));
    }
    if (rc != LDAP_SUCCESS) {
        const QString refusal = diagnostic(session.ld(), rc);
        if (credentialsFile_.isEmpty() || !isKerberosRefusal(rc)) {
            // A bind the server refuses as too weak is no matter of ticket (Samba 4.17
            // wants a signing layer even inside LDAPS, where Active Directory refuses one).
            return failure(isKerberosRefusal(rc) && rc != LDAP_STRONG_AUTH_REQUIRED
                               ? DirectoryError::NoTicket
                               : Session::classify(rc),
                           refusal);
        }
        Credentials credentials;
        FileError unusable = FileError::None;
        if (!readCredentials(credentialsFile_, credentials, unusable)) {
            DirectoryAnswer answer = failure(DirectoryError::Credentials, QString());
            answer.credentials = unusable;
            return answer;
        }
        rc = session.open();
        if (rc != LDAP_SUCCESS) {
            return failure(DirectoryError::Unreachable, diagnostic(nullptr, rc));
        }
        DirectoryAnswer bound = session.simpleBind(credentials);
        if (bound.error != DirectoryError::None) {
            return bound;
        }
    }
    return session.search();
}

std::unique_ptr<Directory> createDirectory() {
    return std::make_unique<LdapDirectory>(qEnvironmentVariable("VANTREL_SMB_AUTH"),
                                           qEnvironmentVariable("VANTREL_LDAP_CA"));
}

} // namespace vantrel
