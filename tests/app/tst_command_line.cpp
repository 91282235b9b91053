#include "app/CommandLine.h"

#include <QTest>

using namespace vantrel;

// An unattended run is started by a scheduler nobody watches: wrong words must be
// refused with their reason, never half understood.
class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void unattendedArguments_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("understood"); // "file|recursive|attempts|delay|save"
        QTest::addColumn<QString>("error");
        QTest::newRow("every option, a file with a blank")
            << QStringList{"--recursif",     "--essais",     "3", "--delai", "60", "--deployer",
                           "C:\\D\\a b.VTR", "--enregistrer"}
            << "C:\\D\\a b.VTR|1|3|60|1"
            << "";
        const QString incomplete = QStringLiteral("argument inattendu ou incomplet : ");
        const QString counts =
            QStringLiteral("--simultanes attend un nombre de postes servis à la fois de 1 à 64 : ");
        const QString rates = QStringLiteral(
            "--debit-max attend un débit en Mo/s, plus grand que 0 (12 ou 2,5 par exemple) : ");
        const QString keep = QStringLiteral("--garder attend un nombre de versions de 1 à 9999 : ");
        const QString only = QStringLiteral("option réservée à --deployer : ");
        const QString url = QStringLiteral("ldap:///OU=Postes,DC=atelier,DC=test");
        const QString restore = QStringLiteral("--restaurer a.VTR --passe 20261207_90503");
        // Arguments separated by blanks; the reason is "" when they are understood.
        const struct {
            QString arguments, understood, error;
        } rows[] = {
            {"--deployer a.VTR", "a.VTR|0|2|1|0", ""},
            {"--deployer", "", incomplete + "--deployer"},
            {"--deployer a.VTR --essais", "", incomplete + "--essais"},
            {"--deployer a.VTR --simultanes", "", incomplete + "--simultanes"},
            {"--deployer a.VTR --debit-max", "", incomplete + "--debit-max"},
            {"--deployer a.VTR --vite", "", incomplete + "--vite"},
            {"--deployer a.VTR --garder 2", "a.VTR|0|2|1|0|keep 2", ""},
            {"--deployer a.VTR --garder 0", "", keep + "0"},
            {"--deployer a.VTR --garder 99999999999", "", keep + "99999999999"},
            {restore, "a.VTR|0|2|1|0|restore 20261207_90503", ""},
            {"--restaurer a.VTR", "", "--restaurer attend --passe ESTAMPILLE"},
            {"--restaurer a.VTR --passe hier", "",
             "estampille de passe invalide : hier (attendu AAAAMMJJ_HHMMSS, ou AAAAMMJJ_HMMSS "
             "avant 10 heures)"},
            {"--historique a.VTR", "a.VTR|0|2|1|0|history", ""},
            {"--historique a.VTR --enregistrer", "", only + "--enregistrer"},
            {"--deployer a.VTR --historique a.VTR", "",
             "une seule commande à la fois : --historique"},
            {"--deployer a.VTR --simultanes 8 --si-different --simuler",
             "a.VTR|0|2|1|0|8 at once|if different|preview", ""},
            {restore + " --simultanes 64", "a.VTR|0|2|1|0|restore 20261207_90503|64 at once", ""},
            {restore + " --debit-max 2,5", "a.VTR|0|2|1|0|restore 20261207_90503|2500000 B/s", ""},
            {"--deployer a.VTR --simultanes 0", "", counts + "0"},
            {"--deployer a.VTR --simultanes 65", "", counts + "65"},
            {"--deployer a.VTR --simultanes -3", "", counts + "-3"},
            {"--deployer a.VTR --simultanes abc", "", counts + "abc"},
            {"--deployer a.VTR --simultanes 8.5", "", counts + "8.5"},
            {"--deployer a.VTR --debit-max 0", "", rates + "0"},
            {"--deployer a.VTR --debit-max abc", "", rates + "abc"},
            {"--deployer a.VTR --debit-max 1e9", "", rates + "1e9"},
            {"--deployer a.VTR --essais 6", "", "--essais attend un nombre d'essais de 0 à 5 : 6"},
            {"--deployer a.VTR --delai 0", "",
             "--delai attend un nombre de minutes de 1 à 180 : 0"},
            {"--deployer a.VTR --simuler --enregistrer", "",
             "--simuler n'écrit rien : --enregistrer ne va pas avec"},
            {restore + " --simuler", "", only + "--simuler"},
            {"--annuaire " + url, "|0|2|1|0|list " + url, ""},
            {"--deployer a.VTR --annuaire " + url + " --recursif", "a.VTR|1|2|1|0|directory " + url,
             ""},
            {"--annuaire " + url + " --simuler", "", only + "--simuler"},
            {"--annuaire", "", incomplete + "--annuaire"},
            {"--annuaire " + url + " --annuaire " + url, "", incomplete + "--annuaire"},
            {restore + " --annuaire " + url, "",
             "--annuaire ne va qu'avec --deployer, ou seul pour lister les postes"},
            {"--recursif", "", "--deployer attend le chemin d'un fichier .VTR"},
        };
        for (const auto& row : rows)
            QTest::newRow(qPrintable(row.arguments))
                << row.arguments.split(QLatin1Char(' ')) << row.understood << row.error;
    }
    // An option is never a document: the window opens only for a path.
    void optionOrDocument_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("unattended");
        QTest::addColumn<QString>("error");
        QTest::newRow("nothing") << QStringList{} << false << "";
        // A document, one with a blank, a path holding a dash; an unknown option, a short
        // one, a document then an option.
        for (const char* arguments : {"a.VTR", "C:\\D\\a b.VTR", "/srv/-a.VTR"})
            QTest::newRow(arguments) << QString::fromLatin1(arguments).split(u' ') << false << "";
        for (const char* arguments : {"--annuaires", "-x", "a.VTR --recursif"})
            QTest::newRow(arguments) << QString::fromLatin1(arguments).split(u' ') << true
                                     << QStringLiteral("argument inattendu ou incomplet : ") +
                                            QString::fromLatin1(arguments).section(u' ', 0, 0);
    }
    void optionOrDocument() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, unattended);
        QFETCH(QString, error);
        QCOMPARE(isUnattended(arguments), unattended);
        if (unattended) {
            QString reason;
            QVERIFY(!parseUnattended(arguments, reason));
            QCOMPARE(reason, error);
        }
    }
    void unattendedArguments() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, understood);
        QFETCH(QString, error);
        QString reason;
        const auto options = parseUnattended(arguments, reason);
        QCOMPARE(reason, error);
        QCOMPARE(options.has_value(), error.isEmpty());
        if (options) {
            QStringList fields{options->deploymentFile, QString::number(options->recursive),
                               QString::number(options->attempts), QString::number(options->delay),
                               QString::number(options->save)};
            if (options->command == UnattendedOptions::Command::Restore)
                fields << QStringLiteral("restore ") + options->passStamp;
            if (options->command == UnattendedOptions::Command::History)
                fields << QStringLiteral("history");
            if (options->command == UnattendedOptions::Command::ListDirectory)
                fields << QStringLiteral("list ") + options->directoryUrl;
            else if (!options->directoryUrl.isEmpty())
                fields << QStringLiteral("directory ") + options->directoryUrl;
            if (options->keptVersions > 0)
                fields << QStringLiteral("keep %1").arg(options->keptVersions);
            if (options->simultaneous > 0)
                fields << QStringLiteral("%1 at once").arg(options->simultaneous);
            if (options->maxBytesPerSecond >= 0)
                fields << QStringLiteral("%1 B/s").arg(options->maxBytesPerSecond, 0, 'f', 0);
            if (options->onlyIfDifferent)
                fields << QStringLiteral("if different");
            if (options->preview)
                fields << QStringLiteral("preview");
            QCOMPARE(fields.join(QLatin1Char('|')), understood);
        }
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_command_line.moc"
