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
constexpr int kLeft = 11200;

BoardArea area(int bottom = kBottom, int right = kLeft + 5000) {
    return BoardArea{kLeft, kTop, right, bottom, kLine};
}

const QString kRow1 = QStringLiteral("PC01              ;   0;0/2     ");
const QString kRow2 = QStringLiteral("PC02              ;   0;2/2     ");

BoardRows rowsOf(const QStringList& texts) {
    BoardRows rows;
    for (const QString& text : texts)
        rows.append(BoardRow::fromText(text));
    return rows;
}

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
        QTest::newRow("served under another name: no copy light")
            << "   0" << QString::fromUtf8("même poste que PC01") << kGreenLight << QString();
    }
    void lights() {
        QFETCH(QString, ping);
        QFETCH(QString, deployment);
        QFETCH(QString, pingLight);
        QFETCH(QString, deploymentLight);
        QCOMPARE(vantrel::pingLight(ping), pingLight);
        QCOMPARE(vantrel::deploymentLight(deployment), deploymentLight);
    }

    // Keys move the selection; the view moves only to keep it in sight.
    void keysMoveTheSelection_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("page"); // rows the board has room for
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("newTop");
        QTest::newRow("down") << 40 << 5 << 0 << 100 << 27 << 6 << 0;
        QTest::newRow("down off the page") << 40 << 26 << 0 << 100 << 27 << 27 << 1;
        QTest::newRow("down at the end") << 40 << 99 << 73 << 100 << 27 << 99 << 73;
        QTest::newRow("up above the view") << 38 << 10 << 10 << 100 << 27 << 9 << 9;
        QTest::newRow("up at the start") << 38 << 0 << 0 << 100 << 27 << 0 << 0;
        QTest::newRow("page down") << 34 << 0 << 0 << 100 << 27 << 26 << 0;
        QTest::newRow("page down near the end") << 34 << 90 << 73 << 100 << 27 << 99 << 73;
        QTest::newRow("page up") << 33 << 30 << 20 << 100 << 27 << 4 << 4;
        QTest::newRow("home") << 36 << 50 << 40 << 100 << 27 << 0 << 0;
        QTest::newRow("end") << 35 << 3 << 0 << 1000 << 27 << 999 << 973;
        QTest::newRow("first key selects the top row") << 40 << -1 << 40 << 100 << 27 << 40 << 40;
        QTest::newRow("other key") << 65 << 12 << 0 << 100 << 27 << 12 << 0;
        QTest::newRow("no rows") << 40 << -1 << 0 << 0 << 27 << -1 << 0;
        QTest::newRow("no room at all") << 40 << 3 << 3 << 100 << 0 << 4 << 4;
    }
    void keysMoveTheSelection() {
        QFETCH(int, key);
        QFETCH(int, selected);
        QFETCH(int, top);
        QFETCH(int, rows);
        QFETCH(int, page);
        QFETCH(int, result);
        QFETCH(int, newTop);
        QCOMPARE(SelectByKey(key, selected, top, rows, page), result);
        QCOMPARE(TopRowShowing(std::max(result, 0), top, page), newTop);
    }

    // Rows follow the caption line and the boxed header; a boxed line is 13 twips
    // taller than a plain one, and one with nothing to box takes no room.
    void rowsArePlacedAsPrinted() {
        const BoardRows rows = BoardState::shownRows(
            rowsOf({QString(), QString(), kRow1, QStringLiteral("texte libre"), QString(),
                    QStringLiteral(";;"), kRow2}));
        BoardState state;
        const BoardFrame frame = state.frame(rows, area());
        QCOMPARE(rows.count(), 5); // the leading empty rows are not shown
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
        QStringList rows;
        for (int i = 0; i < 100; ++i)
            rows << kRow1;
        BoardState state;
        state.BoardTopRow = 90;
        QCOMPARE(state.frame(rowsOf(rows), area()).rows.size(), std::size_t(10));
        state.BoardTopRow = 0;
        const int bottom = kTop + kLine + kPitch + 3 * kPitch + 1;
        QCOMPARE(state.frame(rowsOf(rows), area(bottom)).rows.size(), std::size_t(4));
    }

    // A point selects the last row laid out whose band, from its top (excluded) to
    // 250 twips lower (excluded), holds it; rows are closer together than 250 twips.
    void rowUnderAPoint_data() {
        QTest::addColumn<int>("rowsDown");
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("row");
        QTest::newRow("on the first top edge") << 0 << 0 << -1;
        QTest::newRow("just below it") << 0 << 1 << 0;
        QTest::newRow("on the second top edge") << 1 << 0 << 0;
        QTest::newRow("just below the second") << 1 << 1 << 1;
        QTest::newRow("250 below the second top") << 1 << 250 << -1;
    }
    void rowUnderAPoint() {
        QFETCH(int, rowsDown);
        QFETCH(int, twips);
        QFETCH(int, row);
        const BoardRows rows = rowsOf({kRow1, kRow2});
        BoardState state;
        state.SelectedRow = 1;
        const BoardFrame frame = state.frame(rows, area());
        QCOMPARE(BoardState::rowAt(frame, kTop + kLine + kPitch + rowsDown * kPitch + twips), row);
        QVERIFY(!frame.rows.at(0).highlighted && frame.rows.at(1).highlighted);
    }

    // Each field of a row's lines on a line of its own, a blank after each rule.
    void detailLines() {
        BoardRow row = BoardRow::fromText(QStringLiteral("PC01              ;   0;1/2     "));
        row.detail = QStringList{"PC01;Ping Ok", "PC01;Nouveau fichier;C:\\a;\\d;Disque plein;"};
        QCOMPARE(BoardState::detailLines(row),
                 (QStringList{"PC01", "", "   Ping Ok", "PC01", "", "   Nouveau fichier",
                              "   C:\\a", "   \\d", "", "   Disque plein", "   "}));
    }

    // A name past its column is shortened on screen only, and different names stay
    // different there; a wider board gives long names more of its width.
    void longNamesOnScreen_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("width");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("fits") << QStringList{"POSTE-DE-18-CARACT"} << 18
                              << QStringList{"POSTE-DE-18-CARACT"};
        QTest::newRow("head and tail")
            << QStringList{"poste12.atelier.exemple.fr", "POSTE-COMPTABILITE-SIEGE-SOCIAL-BA-01",
                           "POSTE-COMPTABILITE-SIEGE-SOCIAL-BA-02"}
            << 18 << QStringList{"poste12.…xemple.fr", "POSTE-CO…IAL-BA-01", "POSTE-CO…IAL-BA-02"};
        QTest::newRow("alike but in the middle")
            << QStringList{"poste-01.batiment-a.exemple.fr", "poste-01.batiment-b.exemple.fr"} << 18
            << QStringList{"post…iment-a.exem…", "post…iment-b.exem…"};
        QTest::newRow("alike in two places")
            << QStringList{"POSTE-COMPTABILITE-SIEGE-SOCIAL-BATIMENT-A-ETAGE-3-BUREAU-01",
                           "POSTE-COMPTABILITE-SIEGE-SOCIAL-BATIMENT-B-ETAGE-3-BUREAU-01",
                           "POSTE-COMPTABILITE-SIEGE-SOCIAL-BATIMENT-A-ETAGE-4-BUREAU-01"}
            << 18 << QStringList{"POST…T-A-ETAGE-3-…", "POST…IMENT-B-ETAG…", "POST…T-A-ETAGE-4-…"};
        QTest::newRow("wider column: whole, padded")
            << QStringList{"poste12.atelier.exemple.fr", "PC01"} << 28
            << QStringList{"poste12.atelier.exemple.fr  ", "PC01                        "};
        QTest::newRow("wider column, still too narrow")
            << QStringList{"POSTE-COMPTABILITE-SIEGE-SOCIAL-BA-01"} << 24
            << QStringList{"POSTE-COMPT…SOCIAL-BA-01"};
    }
    void longNamesOnScreen() {
        QFETCH(QStringList, names);
        QFETCH(int, width);
        QFETCH(QStringList, shown);
        QStringList rows;
        for (const QString& name : names)
            rows << name + QStringLiteral(";   0;0/1     ");
        const ShortNames shortNames(rows, width);
        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(shortNames.shownRow(rows.at(i)),
                     shown.at(i) + QStringLiteral(";   0;0/1     "));
    }

    // At any width the header's boxes stand over the rows' boxes; the name column
    // takes what the longest name needs, as far as the board has room.
    void headerFollowsItsColumns_data() {
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("nameWidth");
        QTest::newRow("design width") << kLeft + 3615 << 18;
        QTest::newRow("wider") << kLeft + 5000 << 30;
        QTest::newRow("wide enough") << kLeft + 9000 << 37;
    }
    void headerFollowsItsColumns() {
        QFETCH(int, right);
        QFETCH(int, nameWidth);
        const QString longest = QStringLiteral("POSTE-COMPTABILITE-SIEGE-SOCIAL-BA-01");
        const BoardRows rows = rowsOf({longest + ";   0;0/1     ", kRow1});
        const BoardFrame frame = BoardState().frame(rows, area(kBottom, right));
        QCOMPARE(frame.nameWidth, nameWidth);
        const auto widths = [](const QString& line) {
            QList<qsizetype> sizes;
            for (const QString& field : line.split(QLatin1Char(';')))
                sizes << field.size();
            return sizes;
        };
        for (const BoardLine& row : frame.rows)
            QCOMPARE(widths(row.text), widths(frame.header.text));
        QCOMPARE(rows.at(0).text, longest + ";   0;0/1     "); // the row keeps the whole name
    }
};

QTEST_GUILESS_MAIN(BoardStateTest)
#include "tst_board_state.moc"
