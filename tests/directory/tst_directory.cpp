#include "core/Settings.h"
#include "directory/DirectoryImport.h"
#include "directory/DirectoryListing.h"
#include "directory/DirectoryUrl.h"
#include "support/FakePlatform.h"

#include <QTest>

using namespace vantrel;

namespace {

// Answers what the test scripted and keeps the query it was asked.
class ScriptedDirectory : public Directory {
public:
    DirectoryAnswer answer;
    DirectoryQuery asked;
    int searches = 0;
    DirectoryAnswer computers(const DirectoryQuery& query) override {
        asked = query;
        ++searches;
        return answer;
    }
};

QString understood(const DirectoryQuery& q) {
    const char* scopes[] = {"base", "one", "sub"};
    return QStringList{q.secure ? "ldaps" : "ldap",
                       q.host,
                       QString::number(q.port),
                       q.domain,
                       q.base,
                       QString::fromLatin1(scopes[int(q.scope)]),
                       q.filter}
        .join(QLatin1Char('|'));
}

const QString kEnabled =
    QStringLiteral("(&(objectClass=computer)(!(userAccountControl:1.2.840.113556.1.4.803:=2))");

} // namespace

// The URL an administrator types, read as RFC 4516 says, and the reason it is refused.
class DirectoryTest : public QObject {
    Q_OBJECT
private slots:
    void url_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("query"); // secure|host|port|domain|base|scope|filter
        QTest::addColumn<QString>("error");
        const QString postes = QStringLiteral("OU=Postes,DC=atelier,DC=test");
        QTest::newRow("server and OU")
            << "ldap://dc1.atelier.test/OU=Postes,DC=atelier,DC=test"
            << "ldap|dc1.atelier.test|0|atelier.test|" + postes + "|sub|" + kEnabled + ")"
            << "";
        QTest::newRow("no server: the domain's controllers")
            << "LDAP:///OU=Postes,DC=atelier,DC=test"
            << "ldap||0|atelier.test|" + postes + "|sub|" + kEnabled + ")"
            << "";
        QTest::newRow("ldaps, a port, percent-encoded base and a filter")
            << "ldaps://dc1:3269/OU=Salle%20B,DC=atelier,DC=test?cn?one?(cn=PC*)"
            << "ldaps|dc1|3269|atelier.test|OU=Salle B,DC=atelier,DC=test|one|" + kEnabled +
                   "(cn=PC*))"
            << "";
        QTest::newRow("a filter without its parentheses, base scope, an IPv6 server")
            << "ldap://[::1]:389/CN=PC01,DC=a??base?operatingSystem=Windows*"
            << "ldap|[::1]|389|a|CN=PC01,DC=a|base|" + kEnabled + "(operatingSystem=Windows*))"
            << "";
        QTest::newRow("a group's members, non-critical extension ignored")
            << "ldap://dc1/DC=atelier,DC=test??sub?(memberOf=CN=Salle\\2cB,DC=atelier)?x-y=1"
            << "ldap|dc1|0|atelier.test|DC=atelier,DC=test|sub|" + kEnabled +
                   "(memberOf=CN=Salle\\2cB,DC=atelier))"
            << "";
        const struct {
            const char* name;
            const char* url;
            const char* error;
        } refused[] = {
            {"not LDAP", "http://dc1/DC=a",
             "URL d'annuaire invalide : http://dc1/DC=a (attendu ldap://serveur/base ou "
             "ldaps://serveur/base)"},
            {"no scheme", "dc1.atelier.test",
             "URL d'annuaire invalide : dc1.atelier.test (attendu ldap://serveur/base ou "
             "ldaps://serveur/base)"},
            {"no base", "ldap://dc1.atelier.test",
             "l'URL d'annuaire ne donne pas de base où chercher les postes "
             "(ldap://dc1.atelier.test/OU=Postes,DC=atelier,DC=test par exemple)"},
            {"no server, no domain", "ldap:///OU=Postes",
             "sans serveur dans l'URL, la base doit nommer le domaine (DC=atelier,DC=test) : "
             "OU=Postes"},
            {"port zero", "ldap://dc1:0/DC=a", "port invalide dans l'URL d'annuaire : 0"},
            {"port too big", "ldap://dc1:65536/DC=a",
             "port invalide dans l'URL d'annuaire : 65536"},
            {"port signed", "ldap://dc1:+389/DC=a", "port invalide dans l'URL d'annuaire : +389"},
            {"unknown scope", "ldap://dc1/DC=a??subtree",
             "portée inconnue dans l'URL d'annuaire : subtree (base, one ou sub)"},
            {"unbalanced filter", "ldap://dc1/DC=a??sub?(|(cn=a)(cn=b)",
             "filtre LDAP invalide : (|(cn=a)(cn=b)"},
            {"a bad percent", "ldap://dc1/OU=10%,DC=a",
             "« % » mal formé dans l'URL d'annuaire : OU=10%,DC=a"},
            {"too many parts", "ldap://dc1/DC=a?cn?sub?(cn=a)?x?y",
             "trop de « ? » dans l'URL d'annuaire : ldap://dc1/DC=a?cn?sub?(cn=a)?x?y"},
            {"critical extension", "ldap://dc1/DC=a???\?!bindname=cn=x",
             "extension critique non prise en charge dans l'URL d'annuaire : !bindname=cn=x"},
        };
        for (const auto& row : refused) {
            QTest::newRow(row.name)
                << QString::fromUtf8(row.url) << QString() << QString::fromUtf8(row.error);
        }
    }
    void url() {
        QFETCH(QString, url);
        QFETCH(QString, query);
        QFETCH(QString, error);
        QString reason;
        const std::optional<DirectoryQuery> parsed = parseDirectoryUrl(url, reason);
        QCOMPARE(reason, error);
        QCOMPARE(parsed ? understood(*parsed) : QString(), query);
    }

    void filters_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<bool>("valid");
        for (const char* good :
             {"(cn=*)", "(cn=PC*0?)", "(!(cn=a))", "(&(cn=a)(|(ou=b)(ou=c))(!(x=1)))", "(cn~=pc)",
              "(whenCreated>=20260101000000.0Z)", "(cn:DN:=Postes)", "(:dn:2.5.13.5:=x)",
              "(userAccountControl:1.2.840.113556.1.4.803:=2)", "(cn;lang-fr=a)", "(cn=\\28x\\29)",
              "(cn=)"}) {
            QTest::newRow(good) << QString::fromLatin1(good) << true;
        }
        for (const char* bad :
             {"", "cn=a", "(cn=a", "(cn=a))", "(=a)", "(cn)", "(&)", "(!)", "(!(a=1)(b=2))",
              "(cn=a(b)", "(cn>=a*)", "(cn=\\zz)", "(cn=a)(cn=b)", "(cn:=*)", "(:=a)", "(cn:dn=a)",
              "(cn=\\2)", "(cn<=*)", "(cn=\\g0)"}) {
            QTest::newRow(qPrintable(QStringLiteral("bad ") + bad))
                << QString::fromLatin1(bad) << false;
        }
        QTest::newRow("nested past any real filter")
            << QString(QStringLiteral("(!")).repeated(200) + QStringLiteral("(cn=a)") +
                   QString(QLatin1Char(')')).repeated(200)
            << false;
    }
    void filters() {
        QFETCH(QString, filter);
        QFETCH(bool, valid);
        QCOMPARE(isSearchFilter(filter), valid);
    }

    // What the directory answered, as the administrator reads it; a found list as a .LPO
    // holds it.
    void listing_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<int>("error");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<QString>("said"); // the message, or the listing's bytes
        const QString dc1 = QStringLiteral("ldap://dc1.atelier.test/OU=Postes,DC=atelier,DC=test");
        const QString dns = QStringLiteral("ldap:///OU=Postes,DC=atelier,DC=test");
        QTest::newRow("sorted without regard to case, Windows-1252, CR LF")
            << dc1 << 0 << QStringList{"pc10.atelier.test", "Été", "PC02", " pc01 ", "", "b"} << ""
            << QStringLiteral("b\r\npc01\r\nPC02\r\npc10.atelier.test\r\n\xC9t\xE9\r\n");
        QTest::newRow("a bad URL: nothing asked")
            << "x" << 0 << QStringList() << ""
            << "URL d'annuaire invalide : x (attendu ldap://serveur/base ou ldaps://serveur/base)";
        QTest::newRow("no computer")
            << dc1 << 0 << QStringList{"", " "} << ""
            << "Aucun poste actif dans l'annuaire sous OU=Postes,DC=atelier,DC=test";
        using E = DirectoryError;
        const struct {
            const char* name;
            const QString& url;
            E error;
            const char *detail, *said;
        } failures[] = {
            {"no controller", dns, E::NoController, "",
             "Aucun contrôleur de domaine trouvé dans le DNS pour atelier.test "
             "(_ldap._tcp.dc._msdcs.atelier.test) : donnez le serveur dans l'URL"},
            {"unreachable through DNS", dns, E::Unreachable, "Can't contact LDAP server",
             "Annuaire injoignable : les contrôleurs de atelier.test (Can't contact LDAP server)"},
            {"unreachable", dc1, E::Unreachable, "", "Annuaire injoignable : dc1.atelier.test"},
            {"no such base", dc1, E::NoSuchBase, "No such object",
             "Base introuvable dans l'annuaire : OU=Postes,DC=atelier,DC=test (No such object)"},
            {"no ticket", dc1, E::NoTicket, "Ticket expired",
             "Pas de ticket Kerberos valable pour l'annuaire : lancez kinit (ou donnez "
             "VANTREL_SMB_AUTH, utilisé seulement par LDAPS ou StartTLS) (Ticket expired)"},
            {"wrong password: the library's words, which may quote it, are not shown", dc1,
             E::WrongPassword, "bad secret=s3cr3t",
             "Identifiants refusés par l'annuaire : nom ou mot de passe incorrect "
             "(VANTREL_SMB_AUTH)"},
            {"TLS refused", dc1, E::TlsRefused, "",
             "Connexion TLS impossible avec dc1.atelier.test : certificat non reconnu "
             "(autorités du système ou VANTREL_LDAP_CA) ou TLS refusé"},
            {"clear text refused", dc1, E::ClearTextRefused, "",
             "dc1.atelier.test n'offre ni LDAPS ni StartTLS : le mot de passe n'est jamais "
             "envoyé en clair. Obtenez un ticket Kerberos (kinit) ou utilisez ldaps://"},
            {"search refused", dc1, E::Refused, "Strong(er) authentication required",
             "L'annuaire dc1.atelier.test a refusé la recherche (Strong(er) authentication "
             "required)"},
        };
        for (const auto& f : failures)
            QTest::newRow(f.name) << f.url << int(f.error) << QStringList()
                                  << QString::fromUtf8(f.detail) << QString::fromUtf8(f.said);
        QTest::newRow("credentials file unsafe")
            << dc1 << int(E::Credentials) << QStringList() << ""
            << "Annuaire : " + describe(FileError::UnsafeCredentials);
        QTest::newRow("filter refused by the server")
            << dc1 + "??sub?(cn=a)" << int(E::BadFilter) << QStringList() << ""
            << "Filtre refusé par l'annuaire : " + kEnabled + "(cn=a))";
    }
    void listing() {
        QFETCH(QString, url);
        QFETCH(int, error);
        QFETCH(QStringList, names);
        QFETCH(QString, detail);
        QFETCH(QString, said);
        ScriptedDirectory directory;
        directory.answer.error = DirectoryError(error);
        directory.answer.names = names;
        directory.answer.detail = detail;
        directory.answer.credentials = FileError::UnsafeCredentials;
        const DirectoryListing listing = listDirectoryComputers(directory, url);
        QCOMPARE(directory.searches, url == QLatin1String("x") ? 0 : 1);
        QCOMPARE(listing.error.isEmpty(), listing.names.size() > 0);
        QCOMPARE(listing.error.isEmpty() ? QString::fromLatin1(listingBytes(listing.names))
                                         : listing.error,
                 said);
    }

    // The window's import: the list replaced as an edit, the URL kept across runs; a
    // failed one leaves the list as it was.
    void importIntoTheWorkstationList() {
        test::Fixture f;
        Workspace& ws = f.start();
        ws.lists.ListePostes.assign({QStringLiteral("ANCIEN")});
        const QString url = QStringLiteral("ldap:///OU=Postes,DC=atelier,DC=test");
        importDirectoryListing(ws, url, {{}, QStringLiteral("Annuaire injoignable : dc1")});
        QCOMPARE(ws.lists.ListePostes.entries(), QStringList{"ANCIEN"});
        QCOMPARE(f.ui.last().text, QStringLiteral("Annuaire injoignable : dc1"));
        QCOMPARE(ws.state.WorkstationEdits, qint16(0));
        importDirectoryListing(ws, url, {{"pc01", "PC02"}, QString()});
        QCOMPARE(ws.lists.ListePostes.entries(), (QStringList{"pc01", "PC02"}));
        QCOMPARE(ws.state.WorkstationEdits, qint16(1));
        QCOMPARE(f.ui.messages.size(), size_t(1));
        WriteSettings(ws);
        test::Fixture next;
        next.system.addFile(settingsFilePath(ws), f.system.contents(settingsFilePath(ws)));
        QCOMPARE(next.start().state.DirectoryUrl, url);
    }
};

QTEST_GUILESS_MAIN(DirectoryTest)
#include "tst_directory.moc"
