#include "core/Lifecycle.h"
#include "mainwindow/BoardRules.h"
#include "mainwindow/FeuilleBlanche.h"
#include "mainwindow/Form1.h"
#include "mainwindow/Form1Surface.h"
#include "platform/posix/PosixSystem.h"
#include "support/FakePlatform.h"
#include "support/TestMain.h"

#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>

using namespace vantrel;
using namespace vantrel::test;

namespace {

const QStringList kRows{"PC03              ; 100;  Void  ", "PC01              ;   0;0/2     ",
                        "PC02              ;   0;2/2     ", "PC04              ;   0;1/2     "};

// The window on the real system, with the demo network and the project's lights.
struct DemoWindow {
    QTemporaryDir dir;
    std::unique_ptr<PosixSystem> system;
    FakeUserInterface ui;
    FakeClock clock;
    std::unique_ptr<Platform> platform;
    std::unique_ptr<Workspace> ws;
    std::unique_ptr<Form1> form;

    DemoWindow() {
        const QString demo = dir.path() + QStringLiteral("/demo");
        QProcess::execute(QStringLiteral(VANTREL_SOURCE_DIR "/scripts/demo-network.sh"),
                          {demo, QStringLiteral(VANTREL_PROGRAM_DIR)});
        qputenv("VANTREL_HOME", (demo + QStringLiteral("/programme")).toUtf8());
        qputenv("VANTREL_RESEAU", (demo + QStringLiteral("/reseau")).toUtf8());
        system = std::make_unique<PosixSystem>();
        platform = std::make_unique<Platform>(Platform{*system, ui, clock});
        ws = std::make_unique<Workspace>(*platform);
        StartProgram(*ws, system->windowsPath(demo + QStringLiteral("/Demo.VTR")));
        form = std::make_unique<Form1>(*ws);
        form->load();
        form->show();
        QCOMPARE(ws->lists.ListePostes.count(), 3);
        ws->lists.Listécritures.assign(kRows);
        form->DrawStatusBoard();
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
        return form->board().lineHeightTwips(form->logicalDpiX() / 1440.0) + 13;
    }
    int boardLeft() const { return form->layout()[Form1Layout::Télédéploiement].left(); }
};

bool isGreen(const QColor& c) {
    return c.green() > 150 && c.red() < 100;
}
bool isRed(const QColor& c) {
    return c.red() > 150 && c.green() < 100;
}

} // namespace

class BoardTest : public QObject {
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
        QTest::addColumn<int>("result");
        QTest::newRow("page down") << 34 << 0 << 100 << 69;
        QTest::newRow("down capped") << 40 << 60 << 100 << 69;
        QTest::newRow("down") << 40 << 0 << 100 << 30;
        QTest::newRow("up floor") << 38 << 10 << 100 << 0;
        QTest::newRow("page up") << 33 << 50 << 100 << 0;
        QTest::newRow("short list") << 34 << 0 << 20 << 0;
        QTest::newRow("other key") << 65 << 12 << 100 << 12;
    }
    void scrollByKey() {
        QFETCH(int, key);
        QFETCH(int, top);
        QFETCH(int, rows);
        QFETCH(int, result);
        QCOMPARE(ScrollByKey(key, top, rows), result);
    }

    void boardShowsRowsWithTheirLights() {
        DemoWindow w;
        const QImage shot = w.form->grab().toImage();
        shot.save(QStringLiteral(VANTREL_BUILD_DIR "/board.png"));
        // Not blank where the board is: boxes are white, text black.
        const int x = w.boardLeft();
        QCOMPARE(w.pixel(x + 30, w.rowTop(0) + 100), QColor(Qt::white));
        const auto lightCentre = [&w](int xOffset, int row) {
            return w.pixel(w.boardLeft() - xOffset + 125, w.rowTop(row) + 110);
        };
        QVERIFY(isRed(lightCentre(500, 0)));
        QVERIFY(isRed(lightCentre(250, 0)));
        QVERIFY(isGreen(lightCentre(500, 1)));
        QVERIFY(isGreen(lightCentre(250, 1)));
        QVERIFY(isRed(lightCentre(250, 2)));
        // Mixed: red on the left, green on the right.
        QVERIFY(isRed(w.pixel(x - 250 + 70, w.rowTop(3) + 110)));
        QVERIFY(isGreen(w.pixel(x - 250 + 180, w.rowTop(3) + 110)));
        // The name box: 18 characters x 108 + 140 twips wide.
        const int nameBoxEnd = x + 18 * 108 + 140;
        QCOMPARE(w.pixel(nameBoxEnd - 40, w.rowTop(1) + 100), QColor(Qt::white));
        QVERIFY(w.pixel(nameBoxEnd, w.rowTop(1) + 100) != QColor(Qt::white));
    }

    // The board is drawn over its kept surface: redrawing must not thicken the text.
    void redrawsLeaveTheBoardUnchanged() {
        DemoWindow w;
        const QImage first = w.form->surface()->board().copy();
        for (int i = 0; i < 30; ++i)
            w.form->DrawStatusBoard();
        QCOMPARE(w.form->surface()->board(), first);
    }

    void clickHighlightsAndDoubleClickOpensTheDetail() {
        DemoWindow w;
        w.ws->lists.ListeGénérale.assign({"PC01;Ping Ok", "PC01;OK ;;", "PC02;Ping Ok"});
        const int y = w.rowTop(1);
        auto press = [&w](int yTwips) {
            const QPoint at(qRound(w.boardLeft() * w.form->logicalDpiX() / 1440.0) + 5,
                            qRound(yTwips * w.form->logicalDpiY() / 1440.0));
            QTest::mouseClick(w.form->surface(), Qt::LeftButton, {}, at);
        };
        press(y + 120);
        QCOMPARE(w.ws->lists.Listécritures.selected(), 1);
        QVERIFY(w.form->detailWindow() == nullptr);
        w.form->board().BoardDoubleClicked = true;
        w.form->DrawStatusBoard();
        QVERIFY(w.form->detailWindow()->isVisible());
        QCOMPARE(w.form->detailWindow()->windowTitle(), kRows.at(1));
        QCOMPARE(w.form->detailWindow()->List1()->count(), 9);
        QCOMPARE(w.form->detailWindow()->List1()->item(2)->text(), QStringLiteral("   Ping Ok"));
        w.form->board().BoardDoubleClicked = true;
        w.form->DrawStatusBoard();
        QCOMPARE(w.form->detailWindow()->List1()->count(), 18); // appended while open
    }

    // A press selects the last row painted whose band, from its top (excluded) to
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
        rows.assign({kRows.at(0), kRows.at(1)});
        StatusBoard board;
        QImage surface(1016, 740, QImage::Format_RGB32);
        StatusBoard::Place place;
        place.left = 11200;
        place.top = 1000;
        place.surfaceWidth = 15240;
        const int line = board.lineHeightTwips(place.pixelsPerTwip);
        const int pitch = line + 13; // a printed line, and the boxes' 15 - 2 twips
        QVERIFY(pitch < 250);
        board.BoardClicked = true;
        board.ClickY = static_cast<qint16>(place.top + line + pitch + rowsDown * pitch + twips);
        board.draw(surface, place, rows);
        QCOMPARE(rows.selected(), selected);
    }

    void detailLines() {
        QCOMPARE(StatusBoard::detailLines(QStringLiteral("PC01              ;   0;1/2     "),
                                          {"PC01;Ping Ok", "PC02;Ping Ok",
                                           "PC01;Nouveau fichier;C:\\a;\\d;Disque plein;"}),
                 (QStringList{"PC01", "", "   Ping Ok", "PC01", "", "   Nouveau fichier",
                              "   C:\\a", "   \\d", "", "   Disque plein", "   "}));
    }

    void keysScrollTheBoard() {
        DemoWindow w;
        QStringList many;
        for (int i = 0; i < 100; ++i) {
            many << QStringLiteral("P%1                ;   0;0/1     ")
                            .arg(i, 3, 10, QLatin1Char('0'))
                            .left(18) +
                        ";   0;0/1     ";
        }
        w.ws->lists.Listécritures.assign(many);
        QTest::keyClick(w.form->surface(), Qt::Key_PageDown);
        QCOMPARE(int(w.form->board().BoardTopRow), 69);
        QTest::keyClick(w.form->surface(), Qt::Key_Up);
        QCOMPARE(int(w.form->board().BoardTopRow), 39);
    }
};

VANTREL_TEST_MAIN(BoardTest)
#include "tst_board.moc"
