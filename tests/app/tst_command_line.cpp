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
        QTest::newRow("file alone") << QStringList{"--deployer", "a.VTR"} << "a.VTR|0|2|1|0"
                                    << "";
        QTest::newRow("every option")
            << QStringList{"--recursif",     "--essais",     "3", "--delai", "60", "--deployer",
                           "C:\\D\\a b.VTR", "--enregistrer"}
            << "C:\\D\\a b.VTR|1|3|60|1"
            << "";
        QTest::newRow("no file") << QStringList{"--deployer"} << ""
                                 << "argument inattendu ou incomplet : --deployer";
        for (const QString option : {"--essais", "--simultanes", "--debit-max"}) {
            QTest::newRow(qPrintable(option + QStringLiteral(" without its value")))
                << QStringList{"--deployer", "a.VTR", option} << ""
                << QStringLiteral("argument inattendu ou incomplet : ") + option;
        }
        QTest::newRow("unknown word") << QStringList{"--deployer", "a.VTR", "--vite"} << ""
                                      << "argument inattendu ou incomplet : --vite";
        QTest::newRow("keep two") << QStringList{"--deployer", "a.VTR", "--garder", "2"}
                                  << "a.VTR|0|2|1|0|keep 2"
                                  << "";
        QTest::newRow("keep none") << QStringList{"--deployer", "a.VTR", "--garder", "0"} << ""
                                   << "--garder attend un nombre de versions de 1 à 9999 : 0";
        QTest::newRow("keep past any int")
            << QStringList{"--deployer", "a.VTR", "--garder", "99999999999"} << ""
            << "--garder attend un nombre de versions de 1 à 9999 : 99999999999";
        QTest::newRow("restore") << QStringList{"--restaurer", "a.VTR", "--passe", "20261207_90503"}
                                 << "a.VTR|0|2|1|0|restore 20261207_90503"
                                 << "";
        QTest::newRow("restore without its pass") << QStringList{"--restaurer", "a.VTR"} << ""
                                                  << "--restaurer attend --passe ESTAMPILLE";
        QTest::newRow("restore of no stamp")
            << QStringList{"--restaurer", "a.VTR", "--passe", "hier"} << ""
            << "estampille de passe invalide : hier (attendu AAAAMMJJ_HHMMSS, ou AAAAMMJJ_HMMSS "
               "avant 10 heures)";
        QTest::newRow("history") << QStringList{"--historique", "a.VTR"} << "a.VTR|0|2|1|0|history"
                                 << "";
        QTest::newRow("history takes no deployment option")
            << QStringList{"--historique", "a.VTR", "--enregistrer"} << ""
            << "option réservée à --deployer : --enregistrer";
        QTest::newRow("two commands")
            << QStringList{"--deployer", "a.VTR", "--historique", "a.VTR"} << ""
            << "une seule commande à la fois : --historique";
        QTest::newRow("eight at a time, compared, previewed")
            << QStringList{"--deployer", "a.VTR",          "--simultanes",
                           "8",          "--si-different", "--simuler"}
            << "a.VTR|0|2|1|0|8 at once|if different|preview"
            << "";
        QTest::newRow("restore eight at a time")
            << QStringList{"--restaurer",    "a.VTR",        "--passe",
                           "20261207_90503", "--simultanes", "64"}
            << "a.VTR|0|2|1|0|restore 20261207_90503|64 at once"
            << "";
        QTest::newRow("restored under a cap of 2,5 Mo/s")
            << QStringList{"--restaurer",    "a.VTR",       "--passe",
                           "20261207_90503", "--debit-max", "2,5"}
            << "a.VTR|0|2|1|0|restore 20261207_90503|2500000 B/s"
            << "";
        const QString counts =
            QStringLiteral("attend un nombre de postes servis à la fois de 1 à 64 : ");
        const QString rates =
            QStringLiteral("attend un débit en Mo/s, plus grand que 0 (12 ou 2,5 par exemple) : ");
        const struct {
            const char* option;
            const char* value;
            const QString& reason;
        } badValues[] = {{"--simultanes", "0", counts},   {"--simultanes", "65", counts},
                         {"--simultanes", "-3", counts},  {"--simultanes", "abc", counts},
                         {"--simultanes", "8.5", counts}, {"--debit-max", "0", rates},
                         {"--debit-max", "abc", rates},   {"--debit-max", "-5", rates},
                         {"--debit-max", "1e9", rates}};
        for (const auto& bad : badValues) {
            const QString option = QString::fromLatin1(bad.option);
            QTest::newRow(qPrintable(option + QLatin1Char(' ') + bad.value))
                << QStringList{"--deployer", "a.VTR", option, bad.value} << ""
                << option + QLatin1Char(' ') + bad.reason + bad.value;
        }
        QTest::newRow("six attempts") << QStringList{"--deployer", "a.VTR", "--essais", "6"} << ""
                                      << "--essais attend un nombre d'essais de 0 à 5 : 6";
        QTest::newRow("a delay of nothing")
            << QStringList{"--deployer", "a.VTR", "--delai", "0"} << ""
            << "--delai attend un nombre de minutes de 1 à 180 : 0";
        QTest::newRow("a preview saves nothing")
            << QStringList{"--deployer", "a.VTR", "--simuler", "--enregistrer"} << ""
            << "--simuler n'écrit rien : --enregistrer ne va pas avec";
        QTest::newRow("a restore cannot be previewed")
            << QStringList{"--restaurer", "a.VTR", "--passe", "20261207_90503", "--simuler"} << ""
            << "option réservée à --deployer : --simuler";
        const QString url = QStringLiteral("ldap:///OU=Postes,DC=atelier,DC=test");
        QTest::newRow("the directory's computers listed")
            << QStringList{"--annuaire", url} << "|0|2|1|0|list " + url << "";
        QTest::newRow("a pass over the directory's computers")
            << QStringList{"--deployer", "a.VTR", "--annuaire", url, "--recursif"}
            << "a.VTR|1|2|1|0|directory " + url << "";
        QTest::newRow("a listing takes no deployment option")
            << QStringList{"--annuaire", url, "--simuler"} << ""
            << "option réservée à --deployer : --simuler";
        QTest::newRow("a directory without its URL")
            << QStringList{"--annuaire"} << ""
            << "argument inattendu ou incomplet : --annuaire";
        QTest::newRow("two directories") << QStringList{"--annuaire", url, "--annuaire", url} << ""
                                         << "argument inattendu ou incomplet : --annuaire";
        QTest::newRow("a restore is of the file's workstations")
            << QStringList{"--restaurer", "a.VTR", "--passe", "20261207_90503", "--annuaire", url}
            << ""
            << "--annuaire ne va qu'avec --deployer, ou seul pour lister les postes";
        QTest::newRow("options but no deployment")
            << QStringList{"--recursif"} << ""
            << "--deployer attend le chemin d'un fichier .VTR";
    }
    // An option is never a document: the window opens only for a path.
    void optionOrDocument_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("unattended");
        QTest::addColumn<QString>("error");
        QTest::newRow("a document") << QStringList{"a.VTR"} << false << "";
        QTest::newRow("a document with a blank") << QStringList{"C:\\D\\a", "b.VTR"} << false << "";
        QTest::newRow("a path holding a dash") << QStringList{"/srv/-a.VTR"} << false << "";
        QTest::newRow("nothing") << QStringList{} << false << "";
        QTest::newRow("an unknown option") << QStringList{"--annuaires"} << true
                                           << "argument inattendu ou incomplet : --annuaires";
        QTest::newRow("a short one")
            << QStringList{"-x"} << true << "argument inattendu ou incomplet : -x";
        QTest::newRow("a document then an option") << QStringList{"a.VTR", "--recursif"} << true
                                                   << "argument inattendu ou incomplet : a.VTR";
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
