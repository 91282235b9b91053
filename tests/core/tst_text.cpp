#include "core/KeyFilter.h"
#include "core/Paths.h"
#include "core/Text.h"
#include "core/TextFile.h"
#include "platform/NameLength.h"
#include "support/FakePlatform.h"
#include <QTest>

using namespace vantrel;
using namespace vantrel::test;

class TextTest : public QObject {
    Q_OBJECT
private slots:
    void windows1252RoundTrip() {
        const QByteArray bytes("\x80\x81\x8C\x9C\xE9\xE0\xFF", 7);
        const QString text = TextFile::decode(bytes);
        QCOMPARE(text, QString::fromUtf8("\u20AC\u0081\u0152\u0153éàÿ"));
        QCOMPARE(TextFile::encode(text), bytes);
        QCOMPARE(TextFile::encode(QString::fromUtf8("a→b")), QByteArray("a?b"));
    }

    // The program's own name beside a file: whole when it fits, else the file's name cut
    // at its end to 255 UTF-16 units and 255 bytes of UTF-8, never in a surrogate pair.
    void besideWithSuffix_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<int>("kept"); // UTF-16 units of name kept
        const QString mark = QStringLiteral(".vantrel-partiel");
        QTest::newRow("short") << "outil.exe" << mark << 9;
        QTest::newRow("fits exactly") << QString(239, u'n') << mark << 239;
        QTest::newRow("one too many") << QString(240, u'n') << mark << 239;
        QTest::newRow("longest Windows name") << QString(255, u'n') << mark << 239;
        QTest::newRow("no suffix") << QString(300, u'n') << QString() << 255;
        QTest::newRow("two-byte letters") << QString(200, u'\u00E9') << mark << 119;
        QTest::newRow("a pair not split")
            << QString(4, u'n') + QString::fromUtf8("\U0001F600").repeated(70) << mark << 120;
    }
    void besideWithSuffix() {
        QFETCH(QString, name);
        QFETCH(QString, suffix);
        QFETCH(int, kept);
        const QString folder = QStringLiteral("\\\\PC01\\C$\\Outils\\");
        QCOMPARE(vantrel::besideWithSuffix(folder + name, suffix),
                 folder + name.left(kept) + suffix);
    }

    void splitLines_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("crlf") << "a\r\nb\r\n" << QStringList{"a", "b"};
        QTest::newRow("lone lf") << "a\nb" << QStringList{"a", "b"};
        QTest::newRow("lone cr") << "a\rb" << QStringList{"a", "b"};
        QTest::newRow("empty middle") << "a\r\n\r\nb" << QStringList{"a", "", "b"};
        QTest::newRow("no text") << "" << QStringList{};
        QTest::newRow("only end") << "\r\n" << QStringList{""};
    }
    void splitLines() {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(TextFile::splitLines(text), lines);
    }

    void leadingNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "12" << 12.0;
        QTest::newRow("blanks and text") << "   25abc" << 25.0;
        QTest::newRow("no number") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("negative") << "-3" << -3.0;
        QTest::newRow("decimals") << " 2.5mn" << 2.5;
        QTest::newRow("hash") << "####" << 0.0;
    }
    void leadingNumber() {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(vantrel::leadingNumber(text), value);
    }

    void numberText() {
        QCOMPARE(vantrel::numberText(3), QStringLiteral(" 3"));
        QCOMPARE(vantrel::numberText(0), QStringLiteral(" 0"));
        QCOMPARE(vantrel::numberText(-2), QStringLiteral("-2"));
    }

    void stripChar() {
        QString text = QStringLiteral("\"\"C:\\a \"b\".VTR\"");
        StripChar(text, QLatin1Char('"'));
        QCOMPARE(text, QStringLiteral("C:\\a \"b\".VTR"));
    }

    // Each pair: the key typed, then what the field receives.
    void keyFilter_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("received");
        for (const QString pair : {"bB", "BB", "é2", "&1", "à0", "77", "*-", ",.", ";.", "?X"})
            QTest::newRow(qPrintable(pair.left(1))) << pair.left(1) << pair.mid(1);
    }
    void keyFilter() {
        QFETCH(QString, typed);
        QFETCH(QString, received);
        QCOMPARE(QString(KeyFilter(typed.at(0))), received);
    }

    void splitFilePath_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("ext");
        QTest::addColumn<bool>("renamed");
        const struct {
            const char *name, *path, *folder, *base, *ext;
            bool renamed;
        } rows[] = {
            {"full", "C:\\DEPLOI\\Atelier.VTR", "C:\\DEPLOI\\", "Atelier", ".VTR", false},
            {"no folder keeps previous", "Atelier.VTR", "C:\\AVANT\\", "Atelier", ".VTR", false},
            {"dot in folder only", "C:\\a.b\\fichier", "C:\\a.b\\", "fichier", "", false},
            {"leading dot", "C:\\DEPLOI\\.profil", "C:\\DEPLOI\\", ".profil", "", false},
            {"forbidden", "C:\\DEPLOI\\Essai?<1>.VTR", "C:\\DEPLOI\\", "Essai--1-", ".VTR", true},
            {"leading backslash only", "\\nom.txt", "C:\\AVANT\\", "\\nom", ".txt", false},
        };
        for (const auto& r : rows)
            QTest::newRow(r.name) << QString::fromUtf8(r.path) << QString::fromUtf8(r.folder)
                                  << QString::fromUtf8(r.base) << QString::fromUtf8(r.ext)
                                  << r.renamed;
    }
    void splitFilePath() {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        QFETCH(QString, base);
        QFETCH(QString, ext);
        QFETCH(bool, renamed);
        Fixture f;
        f.state().PathFolder = QStringLiteral("C:\\AVANT\\");
        SplitFilePath(*f.ws, path);
        QCOMPARE(f.state().PathFolder, folder);
        QCOMPARE(f.state().PathBaseName, base);
        QCOMPARE(f.state().PathExt, ext);
        QCOMPARE(f.ui.messages.size(), std::size_t(renamed ? 1 : 0));
        if (renamed) {
            QCOMPARE(
                f.ui.last().title,
                QStringLiteral("Le nom du fichier comportait des caractères interdits (?,*,<,>"));
            QCOMPARE(f.ui.last().text, QStringLiteral("Le nom a été modifié de: \r\n") + path +
                                           QStringLiteral("  en: \r\nEssai--1-.VTR"));
        }
    }
};

QTEST_GUILESS_MAIN(TextTest)
#include "tst_text.moc"
