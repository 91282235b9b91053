#include "board/BoardRules.h"
#include "board/BoardState.h"
#include "board/ShortNames.h"
#include "core/StringList.h"

#include <QTest>

using namespace vantrel;

namespace {

constexpr int kTop = 1000;
constexpr int kLine = 195;
constexpr int kPitch = kLine + 13; // a printed line, and the boxes' 15 - 2 twips
constexpr int kBottom = 10000;

const QString kRow1 = QStringLiteral("PC01              ;   0;0/2     ");
const QString kRow2 = QStringLiteral("PC02              ;   0;2/2     ");

} // namespace

class BoardStateTest : public QObject {
    Q_OBJECT
private slots:
    void lights_data() {
        QTest::addColumn<QString>("ping");
        QTest::addColumn<QString>("deployment");
        QTest::addColumn<QString>("pingLight");
        QTest::addColumn<QString>("deploymentLight");
        QTest::newRow("all copied") << "   0"
                                    << "0/3     " << kGreenLight << kGreenLight;
        QTest::newRow("no answer") << " 100"
                                   << "  Void  " << kRedLight << kRedLight;
        QTest::newRow("some failed") << "   0"
                                     << "2/3     " << kGreenLight << kMixedLight;
        QTest::newRow("all failed") << "   0"
                                    << "3/3     " << kGreenLight << kRedLight;
        QTest::newRow("unreadable") << "####"
                                    << "####" << kRedLight << kRedLight;
        QTest::newRow("partial loss") << "  25"
                                      << "  Void  " << kRedLight << kRedLight;
        QTest::newRow("stopped before it") << "   0"
                                           << "Non fait" << kGreenLight << kRedLight;
        QTest::newRow("ping not read yet: no light") << "...."
                                                     << "attente " << QString() << QString();
        QTest::newRow("waiting to be served: no copy light")
            << "   0"
            << "attente " << kGreenLight << QString();
    }
    void lights() {
        QFETCH(QString, ping);
        QFETCH(QString, deployment);
        QFETCH(QString, pingLight);
        QFETCH(QString, deploymentLight);
        QCOMPARE(vantrel::pingLight(ping), pingLight);
        QCOMPARE(vantrel::deploymentLight(deployment), deploymentLight);
    }

    void scrollByKey_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("page"); // rows the board has room for
        QTest::addColumn<int>("result");
        QTest::newRow("page down") << 34 << 0 << 100 << 31 << 69;
        QTest::newRow("down capped") << 40 << 60 << 100 << 31 << 69;
        QTest::newRow("down") << 40 << 0 << 100 << 31 << 30;
        QTest::newRow("up floor") << 38 << 10 << 100 << 31 << 0;
        QTest::newRow("page up") << 33 << 50 << 100 << 31 << 0;
        QTest::newRow("short list") << 34 << 0 << 20 << 31 << 0;
        QTest::newRow("other key") << 65 << 12 << 100 << 31 << 12;
        QTest::newRow("tall window: a page of 31 rows") << 34 << 0 << 100 << 40 << 69;
        QTest::newRow("short window: last row at the bottom") << 34 << 0 << 100 << 24 << 76;
        QTest::newRow("short window: steps keep one row") << 40 << 0 << 100 << 24 << 23;
        QTest::newRow("no room at all") << 40 << 0 << 100 << 0 << 1;
    }
    void scrollByKey() {
        QFETCH(int, key);
        QFETCH(int, top);
        QFETCH(int, rows);
        QFETCH(int, page);
        QFETCH(int, result);
        QCOMPARE(ScrollByKey(key, top, rows, page), result);
    }

    // Rows follow the caption line and the boxed header; a boxed line is 13 twips
    // taller than a plain one, and one with nothing to box takes no room.
    void rowsArePlacedAsPrinted() {
        StringList rows;
        rows.assign({QString(), QString(), kRow1, QStringLiteral("texte libre"), QString(),
                     QStringLiteral(";;"), kRow2});
        BoardState state;
        const BoardFrame frame = state.frame(rows, kTop, kBottom, kLine);
        QCOMPARE(rows.count(), 5); // the leading empty rows are gone from the list
        QCOMPARE(frame.caption.top, kTop);
        QCOMPARE(frame.header.top, kTop + kLine);
        std::vector<int> tops;
        for (const BoardLine& line : frame.rows)
            tops.push_back(line.top);
        const int first = kTop + kLine + kPitch;
        QCOMPARE(tops, (std::vector<int>{first, first + kPitch, first + kPitch + kLine,
                                         first + kPitch + 2 * kLine, first + kPitch + 2 * kLine}));
        QCOMPARE(frame.rows.front().pingLight, kGreenLight);
        QVERIFY(frame.rows.at(1).pingLight.isEmpty()); // no lights for a plain line
    }

    void rowsStopAtTheBottomAndStartAtTheTopRow() {
        StringList rows;
        QStringList many;
        for (int i = 0; i < 100; ++i)
            many << kRow1;
        rows.assign(many);
        BoardState state;
        state.BoardTopRow = 90;
        QCOMPARE(state.frame(rows, kTop, kBottom, kLine).rows.size(), std::size_t(10));
        state.BoardTopRow = 0;
        const int bottom = kTop + kLine + kPitch + 3 * kPitch + 1;
        QCOMPARE(state.frame(rows, kTop, bottom, kLine).rows.size(), std::size_t(4));
    }

    // A press selects the last row laid out whose band, from its top (excluded) to
    // 250 twips lower (excluded), holds it; rows are closer together than 250 twips.
    void pressesAtRowEdges_data() {
        QTest::addColumn<int>("rowsDown");
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("selected");
        QTest::newRow("on the first top edge") << 0 << 0 << -1;
        QTest::newRow("just below it") << 0 << 1 << 0;
        QTest::newRow("on the second top edge") << 1 << 0 << 0;
        QTest::newRow("just below the second") << 1 << 1 << 1;
        QTest::newRow("250 below the second top") << 1 << 250 << -1;
    }
    void pressesAtRowEdges() {
        QFETCH(int, rowsDown);
        QFETCH(int, twips);
        QFETCH(int, selected);
        StringList rows;
        rows.assign({kRow1, kRow2});
        BoardState state;
        state.press(kTop + kLine + kPitch + rowsDown * kPitch + twips);
        const BoardFrame frame = state.frame(rows, kTop, kBottom, kLine);
        QCOMPARE(rows.selected(), selected);
        if (selected >= 0)
            QVERIFY(frame.rows.at(selected).highlighted);
        else
            QVERIFY(!frame.rows.at(0).highlighted && !frame.rows.at(1).highlighted);
    }

    void doubleClickPicksOnce() {
        StringList rows;
        rows.assign({kRow1, kRow2});
        BoardState state;
        state.press(kTop + kLine + 2 * kPitch + 100);
        QVERIFY(state.frame(rows, kTop, kBottom, kLine).picked.isEmpty());
        state.doubleClick();
        QCOMPARE(state.frame(rows, kTop, kBottom, kLine).picked, kRow2);
        QVERIFY(state.frame(rows, kTop, kBottom, kLine).picked.isEmpty());
    }

    // A name's details are its own, not those of a name it begins.
    void detailLines() {
        QCOMPARE(BoardState::detailLines(QStringLiteral("PC01              ;   0;1/2     "),
                                         {"PC01;Ping Ok", "PC010;Ping Ok",
                                          "PC01;Nouveau fichier;C:\\a;\\d;Disque plein;"}),
                 (QStringList{"PC01", "", "   Ping Ok", "PC01", "", "   Nouveau fichier",
                              "   C:\\a", "   \\d", "", "   Disque plein", "   "}));
    }

    // A name past the 18-character column is shortened on screen only, different
    // names stay different there, and a double-click picks the whole row.
    void longNamesOnScreen_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("fits") << QStringList{"POSTE-DE-18-CARACT"}
                              << QStringList{"POSTE-DE-18-CARACT"};
        QTest::newRow("head and tail")
            << QStringList{"poste12.atelier.exemple.fr", "POSTE-COMPTABILITE-SIEGE-SOCIAL-BA-01",
                           "POSTE-COMPTABILITE-SIEGE-SOCIAL-BA-02"}
            << QStringList{"poste12.…xemple.fr", "POSTE-CO…IAL-BA-01", "POSTE-CO…IAL-BA-02"};
        QTest::newRow("alike but in the middle")
            << QStringList{"poste-01.batiment-a.exemple.fr", "poste-01.batiment-b.exemple.fr"}
            << QStringList{"post…iment-a.exem…", "post…iment-b.exem…"};
    }
    void longNamesOnScreen() {
        QFETCH(QStringList, names);
        QFETCH(QStringList, shown);
        QStringList rows;
        for (const QString& name : names)
            rows << name + QStringLiteral(";   0;0/1     ");
        const ShortNames shortNames(rows);
        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(shortNames.shownRow(rows.at(i)),
                     shown.at(i) + QStringLiteral(";   0;0/1     "));
    }
    void longNameIsPickedWhole() {
        const QString longer = QStringLiteral("poste12.atelier.exemple.fr;   0;0/1     ");
        StringList rows;
        rows.assign({longer});
        BoardState state;
        state.press(kTop + kLine + kPitch + 100);
        state.doubleClick();
        const BoardFrame frame = state.frame(rows, kTop, kBottom, kLine);
        QCOMPARE(frame.rows.front().text, ShortNames({longer}).shownRow(longer));
        QCOMPARE(frame.picked, longer);
    }
};

QTEST_GUILESS_MAIN(BoardStateTest)
#include "tst_board_state.moc"
