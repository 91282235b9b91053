#include "board/BoardRules.h"
#include "board/BoardState.h"
#include "board/ShortNames.h"
#include "core/StringList.h"
#include "documents/Lifecycle.h"
#include "mainwindow/FeuilleBlanche.h"
#include "mainwindow/Form1.h"
#include "mainwindow/Form1Surface.h"
#include "platform/posix/PosixSystem.h"
#include "support/FakePlatform.h"
#include "support/ScopedEnvironment.h"
#include "support/TestMain.h"

#include <QCheckBox>
#include <QFile>
#include <QHelpEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolTip>
#include <QWheelEvent>

using namespace vantrel;
using namespace vantrel::test;

namespace {

BoardRows rowsOf(const QStringList& texts) {
    BoardRows rows;
    for (const QString& text : texts)
        rows.append(BoardRow::fromText(text));
    return rows;
}

const QStringList kRows{"PC03              ; 100;  Void  ", "PC01              ;   0;0/2     ",
                        "PC02              ;   0;2/2     ", "PC04              ;   0;1/2     "};

// The window on the real system, its program folder holding the project's lights.
struct BoardWindow {
    QTemporaryDir dir;
    ScopedEnvironment home{"VANTREL_HOME", dir.path().toUtf8()};
    std::unique_ptr<PosixSystem> system;
    FakeUserInterface ui;
    FakeClock clock;
    std::unique_ptr<Platform> platform;
    std::unique_ptr<Workspace> ws;
    std::unique_ptr<Form1> form;

    BoardWindow() {
        for (const QString& light : {kGreenLight, kRedLight, kMixedLight})
            QFile::copy(QStringLiteral(VANTREL_PROGRAM_DIR "/") + light, dir.filePath(light));
        system = std::make_unique<PosixSystem>();
        platform = std::make_unique<Platform>(Platform{*system, ui, clock});
        ws = std::make_unique<Workspace>(*platform);
        StartProgram(*ws, QString());
        form = std::make_unique<Form1>(*ws);
        form->load();
        form->show();
        ws->setBoard(rowsOf(kRows));
        ws->DrawStatusBoard();
    }
    // A point of the board in twips, as a pixel of the surface.
    QColor pixel(int xTwips, int yTwips) const {
        const double ppt = form->logicalDpiX() / 1440.0;
        return form->surface()->board().pixelColor(qRound(xTwips * ppt), qRound(yTwips * ppt));
    }
    int rowTop(int row) const { return firstRowTop() + row * rowPitch(); }
    int firstRowTop() const { return form->layout().boardTop() + 2 * rowPitch(); }
    int rowPitch() const {
        // One printed line plus the 13 twips the boxes start above and below it.
        return StatusBoard::lineHeightTwips(form->logicalDpiX() / 1440.0) + 13;
    }
    int boardLeft() const { return form->layout()[Form1Layout::Télédéploiement].left(); }
    // A point of the surface, a little inside the rows' left edge, at a height in twips.
    QPoint onRows(int yTwips) const {
        return {form->twipsToPixels(boardLeft()) + 5, form->twipsToPixels(yTwips)};
    }
};

const QColor kBackground(0xE0, 0xE0, 0xE0);

bool isGreen(const QColor& c) {
    return c.green() > 150 && c.red() < 100;
}
bool isRed(const QColor& c) {
    return c.red() > 150 && c.green() < 100;
}

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

} // namespace

class BoardTest : public QObject {
    Q_OBJECT
private slots:
    void boardShowsRowsWithTheirLights() {
        BoardWindow w;
        // Not blank where the board is: boxes are white, text black.
        const int x = w.boardLeft();
        QCOMPARE(w.pixel(x + 30, w.rowTop(0) + 100), QColor(Qt::white));
        const auto lightCentre = [&w](int xOffset, int row) {
            return w.pixel(w.boardLeft() - xOffset + 125, w.rowTop(row) + 110);
        };
        QVERIFY(isRed(lightCentre(250, 0))); // the ping lights: tested with a move below
        QVERIFY(isGreen(lightCentre(250, 1)));
        QVERIFY(isRed(lightCentre(250, 2)));
        // Mixed: red on the left, green on the right.
        QVERIFY(isRed(w.pixel(x - 250 + 70, w.rowTop(3) + 110)));
        QVERIFY(isGreen(w.pixel(x - 250 + 180, w.rowTop(3) + 110)));
        // The name box: 18 characters x 108 + 140 twips wide.
        const int nameBoxEnd = x + 18 * 108 + 140;
        QCOMPARE(w.pixel(nameBoxEnd - 40, w.rowTop(1) + 100), QColor(Qt::white));
        QVERIFY(w.pixel(nameBoxEnd, w.rowTop(1) + 100) != QColor(Qt::white));
        // Récursif moves the board down, Close empties its rows: nothing is left where
        // the earlier board stood.
        const int lightX = w.boardLeft() - 500 + 125;
        const int oldFirstRow = w.firstRowTop();
        QVERIFY(isRed(w.pixel(lightX, oldFirstRow + 110)));
        QTest::mouseClick(w.form->findChild<QCheckBox*>(QStringLiteral("Récursif")),
                          Qt::LeftButton);
        QVERIFY(w.firstRowTop() > oldFirstRow);
        for (int y = oldFirstRow; y < w.firstRowTop() - 30; y += 15) {
            QCOMPARE(w.pixel(lightX, y), kBackground);
        }
        QVERIFY(isRed(w.pixel(lightX, w.rowTop(0) + 110)));
        QVERIFY(isGreen(w.pixel(lightX, w.rowTop(1) + 110)));

        fermer_Click(*w.ws);
        for (int row = 0; row < 4; ++row) {
            QCOMPARE(w.pixel(lightX, w.rowTop(row) + 110), kBackground);
            QCOMPARE(w.pixel(w.boardLeft() + 30, w.rowTop(row) + 100), kBackground);
        }
    }

    // The board is drawn over its kept surface: redrawing must not thicken the text.
    void redrawsLeaveTheBoardUnchanged() {
        BoardWindow w;
        const QImage first = w.form->surface()->board().copy();
        for (int i = 0; i < 30; ++i)
            w.ws->DrawStatusBoard();
        QCOMPARE(w.form->surface()->board(), first);
    }

    void clickHighlightsAndDoubleClickOpensTheDetail() {
        BoardWindow w;
        BoardRows rows = rowsOf(kRows);
        rows[1].detail = QStringList{"PC01;Ping Ok", "PC01;OK ;;"};
        rows[2].detail = QStringList{"PC02;Ping Ok"};
        w.ws->setBoard(rows);
        w.ws->DrawStatusBoard();
        const int y = w.rowTop(1);
        const auto at = [&w](int yTwips) { return w.onRows(yTwips); };
        QTest::mouseClick(w.form->surface(), Qt::LeftButton, {}, at(y + 120));
        QCOMPARE(w.form->boardState().SelectedRow, 1);
        // The rows published anew (a pass does once a second): the selection stays on
        // its workstation, wherever its row stands.
        w.ws->setBoard({rows.at(1), rows.at(0), rows.at(2), rows.at(3)});
        w.ws->DrawStatusBoard();
        QCOMPARE(w.form->boardState().SelectedRow, 0);
        w.ws->setBoard(rows);
        w.ws->DrawStatusBoard();
        QCOMPARE(w.form->boardState().SelectedRow, 1);
        QVERIFY(w.form->detailWindow() == nullptr);
        QTest::mouseDClick(w.form->surface(), Qt::LeftButton, {}, at(y + 120));
        QVERIFY(w.form->detailWindow()->isVisible());
        // Beside the row, left of its lights, below the menu bar, inside the screen.
        const QRect detail = w.form->detailWindow()->frameGeometry();
        const QPoint lights = w.form->surface()->mapToGlobal(
            QPoint(w.form->twipsToPixels(w.boardLeft() - 500), w.form->twipsToPixels(y)));
        QVERIFY(detail.right() < lights.x());
        QVERIFY(detail.top() >= w.form->surface()->mapToGlobal(QPoint(0, 0)).y());
        QVERIFY(w.form->screen()->availableGeometry().contains(detail));
        QCOMPARE(w.form->detailWindow()->windowTitle(), kRows.at(1));
        QCOMPARE(w.form->detailWindow()->List1()->count(), 9);
        QCOMPARE(w.form->detailWindow()->List1()->item(2)->text(), QStringLiteral("   Ping Ok"));
        // Another row double-clicked while it is open: that workstation alone.
        QTest::mouseClick(w.form->surface(), Qt::LeftButton, {}, at(w.rowTop(2) + 120));
        QTest::mouseDClick(w.form->surface(), Qt::LeftButton, {}, at(w.rowTop(2) + 120));
        QCOMPARE(w.form->detailWindow()->windowTitle(), kRows.at(2));
        QCOMPARE(w.form->detailWindow()->List1()->count(), 3);
        QTest::keyClick(w.form->detailWindow()->List1(), Qt::Key_Escape);
        QVERIFY(!w.form->detailWindow()->isVisible());
    }

    // The pointer resting on a shortened name shows it whole.
    void longNameWholeInItsToolTip() {
        BoardWindow w;
        const QString name = QStringLiteral("poste-01.batiment-a.exemple.fr");
        w.ws->setBoard(rowsOf({name + QStringLiteral(";   0;0/1     ")}));
        w.ws->DrawStatusBoard();
        const QPoint at = w.onRows(w.rowTop(0) + 120);
        QHelpEvent help(QEvent::ToolTip, at, w.form->surface()->mapToGlobal(at));
        QCoreApplication::sendEvent(w.form->surface(), &help);
        QTRY_COMPARE(QToolTip::text(), name);
    }

    // On a thousand rows: the wheel and the scroll bar move the view and leave the
    // selected workstation alone; the keys move the selection and the view follows;
    // Enter opens it; the last row shows whole with nothing below it.
    void scrollingKeepsTheSelection() {
        BoardWindow w;
        QStringList many;
        for (int i = 0; i < 1000; ++i)
            many << QStringLiteral("P%1").arg(i, 3, 10, QLatin1Char('0')).leftJustified(18) +
                        ";   0;0/1     ";
        BoardRows rows = rowsOf(many);
        rows.last().detail = QStringList{"P999;Ping Ok"};
        w.ws->setBoard(rows);
        w.ws->DrawStatusBoard();
        w.form->activateWindow(); // keys go to the board once a click gave it the focus
        QVERIFY(QTest::qWaitForWindowActive(w.form.get()));
        auto* bar = w.form->findChild<QScrollBar*>(QStringLiteral("VScroll1"));
        QVERIFY(bar->isVisible());
        // Right of the rows (their boxes stop short of it at this width), inside the window.
        QVERIFY(bar->geometry().left() >
                w.form->twipsToPixels(w.boardLeft() + BoardState::rowWidth(9)));
        QVERIFY(bar->geometry().right() < w.form->surface()->width());
        const auto top = [&w] { return int(w.form->boardState().BoardTopRow); };
        const auto highlighted = [&w] {
            QStringList rows;
            for (const BoardLine& line : w.form->lastFrame().rows)
                if (line.highlighted)
                    rows << line.text.left(4);
            return rows;
        };
        Form1Surface* surface = w.form->surface();
        const QPoint onRow2 = w.onRows(w.rowTop(2) + 120);
        QTest::mouseClick(surface, Qt::LeftButton, {}, onRow2);
        QCOMPARE(highlighted(), QStringList{"P002"});

        QWheelEvent wheel(onRow2, surface->mapToGlobal(onRow2), {}, QPoint(0, -120), Qt::NoButton,
                          {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(surface, &wheel);
        QCOMPARE(top(), 3);
        QCOMPARE(bar->value(), 3);
        QVERIFY(highlighted().isEmpty()); // P002 is above the view now
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 30));
        QVERIFY(top() > 3);
        QCOMPARE(w.form->boardState().SelectedRow, 2);

        QTest::keyClick(surface, Qt::Key_Down);
        QCOMPARE(w.form->boardState().SelectedRow, 3);
        QCOMPARE(top(), 3); // back to show it
        QCOMPARE(highlighted(), QStringList{"P003"});
        QTest::keyClick(surface, Qt::Key_End);
        QCOMPARE(highlighted(), QStringList{"P999"});
        const int lastTop = w.rowTop(999 - top());
        QVERIFY(lastTop + 225 < w.form->pixelsToTwips(surface->height()));
        QCOMPARE(w.pixel(w.boardLeft() + 30, lastTop + 100), QColor(Qt::white));
        QCOMPARE(w.pixel(w.boardLeft() + 30, w.rowTop(1000 - top()) + 100), kBackground);
        QCOMPARE(bar->value(), bar->maximum());
        QTest::keyClick(surface, Qt::Key_Return);
        QVERIFY(w.form->detailWindow()->isVisible());
        QCOMPARE(w.form->detailWindow()->windowTitle(), many.last());
    }

    // The board takes the window's free width and height; the window never shrinks
    // past its controls; Tab reaches the rows after the deployment controls.
    void boardFollowsTheWindow() {
        BoardWindow w;
        const QString longName = QStringLiteral("POSTE-COMPTABILITE-SIEGE-SOCIAL-BATIMENT-A-01");
        w.ws->setBoard(rowsOf({longName + ";   0;0/1     "}));
        w.ws->DrawStatusBoard();
        w.form->resize(1600, 1170);
        auto* bar = w.form->findChild<QScrollBar*>(QStringLiteral("VScroll1"));
        QVERIFY(!bar->isVisible()); // one row: nothing to scroll
        QCOMPARE(w.form->lastFrame().rows.front().text.section(QLatin1Char(';'), 0, 0), longName);
        w.form->resize(500, 300);
        QVERIFY(w.form->surface()->rect().contains(
            w.form->findChild<QPushButton*>(QStringLiteral("Télédéploiement"))->geometry()));
        QVERIFY(w.form->lastFrame().rows.size() == 1);

        auto* différé = w.form->findChild<QCheckBox*>(QStringLiteral("Différé"));
        w.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.form.get()));
        différé->setFocus();
        QTest::keyClick(différé, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.form->surface());
        QTest::keyClick(w.form->surface(), Qt::Key_Down);
        QCOMPARE(w.form->boardState().SelectedRow, 0);
        // Enter in a field is the field's: the selected row does not open.
        auto* field = w.form->findChild<QLineEdit*>(QStringLiteral("NomPoste"));
        field->setFocus();
        QTest::keyClicks(field, QStringLiteral("PC09"));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(w.ws->lists.ListePostes.entries().filter(QStringLiteral("PC09")).size(), 1);
        QVERIFY(w.form->detailWindow() == nullptr);
    }

    // The board's state and layout, without a window.
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

VANTREL_TEST_MAIN(BoardTest)
#include "tst_board.moc"
