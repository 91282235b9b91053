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
        QTest::newRow("option without its value")
            << QStringList{"--deployer", "a.VTR", "--essais"} << ""
            << "argument inattendu ou incomplet : --essais";
        QTest::newRow("unknown word") << QStringList{"--deployer", "a.VTR", "--vite"} << ""
                                      << "argument inattendu ou incomplet : --vite";
        QTest::newRow("options but no deployment")
            << QStringList{"--recursif"} << ""
            << "--deployer attend le chemin d'un fichier .VTR";
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
            QCOMPARE(
                QStringList({options->deploymentFile, QString::number(options->recursive),
                             options->attempts, options->delay, QString::number(options->save)})
                    .join(QLatin1Char('|')),
                understood);
        }
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_command_line.moc"
