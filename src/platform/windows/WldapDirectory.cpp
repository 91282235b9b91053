#include "platform/Directory.h"

#include <windows.h>
#include <winldap.h>

#include <memory>
#include <vector>

namespace vantrel {
namespace {

constexpr ULONG kConnectSeconds = 10;
constexpr ULONG kAnswerSeconds = 120;
constexpr ULONG kPageSize = 500; // below Active Directory's 1,000 a page

PWCHAR wide(const QString& text, std::vector<wchar_t>& storage) {
    storage.assign(text.size() + 1, L'\0');
    text.toWCharArray(storage.data());
    return storage.data();
}

QString detail(ULONG rc) {
    return QString::fromWCharArray(ldap_err2stringW(rc));
}

DirectoryAnswer failure(DirectoryError error, ULONG rc) {
    DirectoryAnswer answer;
    answer.error = error;
    answer.detail = detail(rc);
    return answer;
}

DirectoryError classify(ULONG rc) {
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
        return DirectoryError::NoTicket;
    default:
        return DirectoryError::Refused;
    }
}

struct Handle {
    LDAP* ld = nullptr;
    ~Handle() {
        if (ld != nullptr) {
            ldap_unbind(ld);
        }
    }
};

QString firstValue(LDAP* ld, LDAPMessage* entry, const wchar_t* wanted, const wchar_t* otherwise) {
    for (const wchar_t* attribute : {wanted, otherwise}) {
        PWCHAR* values = ldap_get_valuesW(ld, entry, const_cast<PWCHAR>(attribute));
        if (values != nullptr) {
            const QString value =
                values[0] != nullptr ? QString::fromWCharArray(values[0]) : QString();
            ldap_value_freeW(values);
            if (!value.isEmpty()) {
                return value;
            }
        }
    }
    return QString();
}

// Negotiate as the logged-on user (Kerberos in a domain), signed: no password is
// handled by the program, so none is ever sent in clear.
class WldapDirectory : public Directory {
public:
    DirectoryAnswer computers(const DirectoryQuery& query) override {
        std::vector<wchar_t> host;
        std::vector<wchar_t> base;
        std::vector<wchar_t> filter;
        // Without a server, the domain's name: the system's locator finds a controller.
        const QString server = query.host.isEmpty() ? query.domain : query.host;
        const ULONG port =
            query.port != 0 ? ULONG(query.port) : (query.secure ? LDAP_SSL_PORT : LDAP_PORT);
        Handle handle;
        handle.ld = query.secure ? ldap_sslinitW(wide(server, host), port, 1)
                                 : ldap_initW(wide(server, host), port);
        if (handle.ld == nullptr) {
            return failure(DirectoryError::Unreachable, LdapGetLastError());
        }
        LDAP* ld = handle.ld;
        ULONG version = LDAP_VERSION3;
        ldap_set_option(ld, LDAP_OPT_PROTOCOL_VERSION, &version);
        ldap_set_option(ld, LDAP_OPT_REFERRALS, LDAP_OPT_OFF);
        if (!query.secure) {
            ldap_set_option(ld, LDAP_OPT_SIGN, LDAP_OPT_ON);
        }
        l_timeval connect{LONG(kConnectSeconds), 0};
        ULONG rc = ldap_connect(ld, &connect);
        if (rc != LDAP_SUCCESS) {
            if (query.secure && rc != LDAP_SERVER_DOWN && rc != LDAP_TIMEOUT) {
                return failure(DirectoryError::TlsRefused, rc);
            }
            return failure(query.host.isEmpty() ? DirectoryError::NoController
                                                : DirectoryError::Unreachable,
                           rc);
        }
        rc = ldap_bind_sW(ld, nullptr, nullptr, LDAP_AUTH_NEGOTIATE);
        if (rc != LDAP_SUCCESS) {
            return failure(rc == LDAP_SERVER_DOWN ? DirectoryError::Unreachable
                                                  : DirectoryError::NoTicket,
                           rc);
        }
        const ULONG scope = query.scope == DirectoryQuery::Scope::Base       ? LDAP_SCOPE_BASE
                            : query.scope == DirectoryQuery::Scope::OneLevel ? LDAP_SCOPE_ONELEVEL
                                                                             : LDAP_SCOPE_SUBTREE;
        wchar_t dnsHostName[] = L"dNSHostName";
        wchar_t cn[] = L"cn";
        PWCHAR attributes[] = {dnsHostName, cn, nullptr};
        PLDAPSearch search =
            ldap_search_init_pageW(ld, wide(query.base, base), scope, wide(query.filter, filter),
                                   attributes, 0, nullptr, nullptr, kAnswerSeconds, 0, nullptr);
        if (search == nullptr) {
            rc = LdapGetLastError();
            return failure(classify(rc), rc);
        }
        DirectoryAnswer answer;
        for (;;) {
            LDAPMessage* page = nullptr;
            ULONG total = 0;
            l_timeval wait{LONG(kAnswerSeconds), 0};
            rc = ldap_get_next_page_s(ld, search, &wait, kPageSize, &total, &page);
            if (rc == LDAP_SUCCESS || (rc == LDAP_NO_RESULTS_RETURNED && page != nullptr)) {
                for (LDAPMessage* entry = ldap_first_entry(ld, page); entry != nullptr;
                     entry = ldap_next_entry(ld, entry)) {
                    answer.names << firstValue(ld, entry, dnsHostName, cn);
                }
            }
            if (page != nullptr) {
                ldap_msgfree(page);
            }
            if (rc != LDAP_SUCCESS) {
                break;
            }
        }
        ldap_search_abandon_page(ld, search);
        if (rc != LDAP_NO_RESULTS_RETURNED) {
            return failure(classify(rc), rc);
        }
        return answer;
    }
};

} // namespace

std::unique_ptr<Directory> createDirectory() {
    return std::make_unique<WldapDirectory>();
}

} // namespace vantrel
