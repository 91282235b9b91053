#pragma once

#include "platform/Directory.h"

namespace vantrel {

// The directory through OpenLDAP's libldap: a Kerberos bind (SASL GSSAPI, signed) with
// the current ticket first; otherwise a simple bind with the credentials of
// credentialsFile, only once TLS (ldaps:// or StartTLS) is up with a checked
// certificate (the system's authorities, or those of certificateAuthorities).
class LdapDirectory : public Directory {
public:
    LdapDirectory(QString credentialsFile, QString certificateAuthorities);
    DirectoryAnswer computers(const DirectoryQuery& query) override;

    // Entries asked for in one answer: below Active Directory's 1,000.
    static constexpr int kPageSize = 500;

private:
    QString credentialsFile_;
    QString certificateAuthorities_;
};

} // namespace vantrel
