// Measures what an administrator waits for, and how it grows with the network:
// loading a deployment, a whole pass in folder mode against cp, painting the board,
// start-up, and peak memory (the sweep is measured end to end by bench/sweep.sh). Prints one line
// per figure: name, size, median (ms), reference (ms), ratio. No target is asserted here.
//
// Usage: vantrel-bench [load|pass|board|startup|smbcopy FILE URL-UNC|peak WHAT] [--quick]

#include "board/BoardState.h"
#include "core/TextFile.h"
#include "core/Workspace.h"
#include "deploy/DeploymentRun.h"
#include "documents/DeploymentFile.h"
#include "documents/Lifecycle.h"
#include "mainwindow/Form1.h"
#include "mainwindow/StatusBoard.h"
#include "platform/posix/PosixSystem.h"
#include "platform/posix/SmbNetwork.h"
#include "platform/qt/RealClock.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/resource.h>

using namespace vantrel;

namespace {

// Answers every question Yes, except opening the journal; shows nothing.
class SilentUi : public UserInterface {
public:
    Answer show(const Message& m) override {
        return m.buttons == Buttons::Ok ? Answer::Ok
                                        : (m.id == MessageId::Other ? Answer::Yes : Answer::No);
    }
    QString chooseFile(const FileDialogRequest&) override { return QString(); }
    void setBusy(bool) override {}
    bool isBusy() const override { return false; }
    void setClipboardText(const QString&) override {}
    void clearClipboard() override {}
    QSize screenSizeTwips() override { return QSize(1920 * 15, 1080 * 15); }
    void showProgress(const QString&) override {}
};

// The real clock, keeping count of the time spent in the fixed pauses.
class MeteredClock : public RealClock {
public:
    explicit MeteredClock(System& system) : RealClock(nullptr, system) {}
    void pause(double seconds) override {
        QElapsedTimer t;
        t.start();
        RealClock::pause(seconds);
        paused += t.nsecsElapsed() / 1e6;
    }
    double paused = 0;
};

struct Bench {
    PosixSystem system;
    SilentUi ui;
    MeteredClock clock{system};
    Platform platform{system, ui, clock};
    std::unique_ptr<Workspace> ws;
    Bench() { fresh(); }
    void fresh() {
        ws = std::make_unique<Workspace>(platform);
        StartProgram(*ws, QString());
    }
};

QString fitToWidthForBench(const QString& text) {
    return (text + QString(18, ' ')).left(18);
}

int runs = 5;

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double timeMs(const std::function<void()>& work) {
    QElapsedTimer t;
    t.start();
    work();
    return t.nsecsElapsed() / 1e6;
}

void report(const char* figure, const QString& size, double ms, double referenceMs) {
    std::printf("%-28s %-16s %10.2f %10.2f %8.2f\n", figure, qPrintable(size), ms, referenceMs,
                referenceMs > 0 ? ms / referenceMs : 0.0);
    std::fflush(stdout);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

QString win(const QString& native) {
    return QStringLiteral("Z:") + QString(native).replace('/', '\\');
}

// A deployment of n workstations and r rules in folder, its .VTR path returned.
QString makeDeployment(const QString& folder, int n, int r) {
    QStringList hosts, rules, rows;
    for (int i = 0; i < n; ++i) {
        hosts << QStringLiteral("PC%1").arg(i, 5, 10, QLatin1Char('0'));
        rows << fitToWidthForBench(hosts.last()) +
                    QStringLiteral(";   0;0/%1     ").arg(r).left(14);
    }
    for (int j = 0; j < r; ++j) {
        rules << win(folder) + QStringLiteral("\\src\\f%1.bin;\\C$\\Outils").arg(j);
    }
    writeFile(folder + "/d.LPO", TextFile::encode(TextFile::joinLines(hosts)));
    writeFile(folder + "/d.Rgl", TextFile::encode(TextFile::joinLines(rules)));
    QStringList vtr{QStringLiteral("LocListePostes:") + win(folder + "/d.LPO"),
                    QStringLiteral("LocListeRègles:") + win(folder + "/d.Rgl")};
    vtr << rows;
    writeFile(folder + "/d.VTR", TextFile::encode(TextFile::joinLines(vtr)));
    return win(folder + "/d.VTR");
}

void benchLoad(bool quick) {
    for (int n : quick ? std::vector<int>{100, 1000} : std::vector<int>{100, 1000, 10000}) {
        for (int r : {10, 100}) {
            QTemporaryDir dir;
            const QString vtr = makeDeployment(dir.path(), n, r);
            Bench b;
            std::vector<double> load, plain;
            for (int i = 0; i < runs; ++i) {
                load.push_back(timeMs([&] {
                    b.ws->state.CurrentFilePath = vtr;
                    LoadDeployment(*b.ws);
                }));
                plain.push_back(timeMs([&] {
                    for (const char* f : {"/d.VTR", "/d.LPO", "/d.Rgl"}) {
                        QFile file(dir.path() + f);
                        file.open(QIODevice::ReadOnly);
                        file.readAll();
                    }
                }));
            }
            report("load deployment", QStringLiteral("%1 x %2").arg(n).arg(r), median(load),
                   median(plain));
        }
    }
}

// Every address here answers and every copy can be made: an error line means the
// figure measured a pass cut short.
void warnUnlessWhole(const Workspace& ws, const QString& lastCopy = QString()) {
    if (const int errors = ws.lists.L_GénéErreurs.count(); errors > 0) {
        std::printf("  %d errors, first %s: figure not valid\n", errors,
                    qPrintable(ws.lists.L_GénéErreurs.at(0)));
    } else if (!lastCopy.isEmpty() && !QFile::exists(lastCopy)) {
        std::printf("  %s not copied: figure not valid\n", qPrintable(lastCopy));
    }
}

void benchPass(bool quick) {
    const QByteArray mib(1 << 20, 'x');
    for (int n : quick ? std::vector<int>{10} : std::vector<int>{10, 100, 500}) {
        QTemporaryDir dir;
        QDir().mkpath(dir.path() + "/src");
        for (int j = 0; j < 10; ++j) {
            writeFile(dir.path() + QStringLiteral("/src/f%1.bin").arg(j), mib);
        }
        QStringList hosts;
        for (int i = 0; i < n; ++i) {
            hosts << QStringLiteral("127.0.%1.%2").arg(i / 250).arg(1 + i % 250);
            QDir().mkpath(dir.path() + "/net/" + hosts.last() + "/C$/Outils");
        }
        qputenv("VANTREL_RESEAU", (dir.path() + "/net").toUtf8());
        Bench b;
        qputenv("VANTREL_HOME", dir.path().toUtf8());
        std::vector<double> pass, cp;
        for (int i = 0; i < runs; ++i) {
            b.fresh();
            Workspace& ws = *b.ws;
            ws.state.ProgramDir = win(dir.path()) + '\\';
            ws.state.WorkstationListPath = QStringLiteral("Z:\\x.LPO");
            ws.state.RuleFilePath = QStringLiteral("Z:\\x.Rgl");
            ws.lists.ListePostes.assign(hosts);
            QStringList sources, destinations;
            for (int j = 0; j < 10; ++j) {
                sources << win(dir.path()) + QStringLiteral("\\src\\f%1.bin").arg(j);
                destinations << QStringLiteral("\\C$\\Outils");
            }
            ws.lists.ListeSource.assign(sources);
            ws.lists.ListeDest.assign(destinations);
            b.clock.paused = 0;
            const double total = timeMs([&] { DeploymentRun(ws, {}); });
            pass.push_back(total - b.clock.paused);
            warnUnlessWhole(ws, dir.path() + "/net/" + hosts.last() + "/C$/Outils/f9.bin");
            cp.push_back(timeMs([&] {
                for (const QString& host : hosts) {
                    QStringList args;
                    for (int j = 0; j < 10; ++j) {
                        args << dir.path() + QStringLiteral("/src/f%1.bin").arg(j);
                    }
                    args << dir.path() + "/cp/" + host;
                    QDir().mkpath(dir.path() + "/cp/" + host);
                    QProcess::execute(QStringLiteral("cp"), args);
                }
            }));
            QDir(dir.path() + "/cp").removeRecursively();
            for (const QString& host : hosts) { // fresh targets: no backups piling up
                QDir outils(dir.path() + "/net/" + host + "/C$/Outils");
                outils.removeRecursively();
                QDir().mkpath(outils.path());
            }
        }
        report("pass, 10 rules of 1 MiB", QString::number(n), median(pass), median(cp));
        std::printf("%-28s %-16s %10.3f\n", "  overhead per copy (ms)",
                    qPrintable(QString::number(n)), (median(pass) - median(cp)) / (n * 10.0));
    }
    qunsetenv("VANTREL_RESEAU");
}

void benchBoard() {
    Bench b;
    for (int n : {100, 1000, 10000}) {
        QStringList rows;
        for (int i = 0; i < n; ++i) {
            rows << QStringLiteral("PC%1              ").arg(i, 5, 10, QLatin1Char('0')).left(18) +
                        QStringLiteral(";   0;0/2     ");
        }
        b.ws->lists.Listécritures.assign(rows);
        BoardState state;
        StatusBoard board;
        board.setLightFolder(QCoreApplication::applicationDirPath() + "/../bin/");
        QImage surface(1016, 740, QImage::Format_RGB32);
        StatusBoard::Place place;
        place.left = 11200;
        place.surfaceWidth = 15240;
        const double ppt = 1.0 / 15;
        std::vector<double> paint;
        for (int i = 0; i < runs; ++i) {
            paint.push_back(timeMs([&] {
                const BoardArea area{place.left, 1700, place.surfaceWidth - 200,
                                     StatusBoard::bottomTwips(surface.height(), ppt),
                                     StatusBoard::lineHeightTwips(ppt)};
                const BoardFrame frame = state.frame(b.ws->lists.Listécritures, area);
                board.paint(surface, place, frame);
            }));
        }
        report("paint board", QString::number(n), median(paint), 16.0);
    }
}

void benchStartup() {
    QTemporaryDir dir;
    const QString vtr = makeDeployment(dir.path(), 10000, 10);
    std::vector<double> start;
    for (int i = 0; i < runs; ++i) {
        start.push_back(timeMs([&] {
            Bench b;
            b.ws = std::make_unique<Workspace>(b.platform);
            StartProgram(*b.ws, vtr);
            Form1 form(*b.ws);
            form.load();
            form.show();
            QCoreApplication::processEvents();
        }));
    }
    report("start-up, 10000 stations", QStringLiteral("10000 x 10"), median(start), 0);
}

// One copy through the SMB backend; bench/smb.sh times it, start-up and connection
// included, against a run of smbclient's put, which pays the same.
int smbCopyOnce(const QString& file, const QString& unc) {
    SmbNetwork smb{QString()};
    if (smb.copyFromLocal(file, unc, nullptr) != FileError::None) {
        std::fprintf(stderr, "copie impossible\n");
        return 1;
    }
    return 0;
}

long peakKib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool quick = args.removeAll(QStringLiteral("--quick")) > 0;
    if (quick) {
        runs = 3;
    }
    const QString what = args.value(0, QStringLiteral("all"));
    if (what == QLatin1String("peak")) {
        runs = 1;
        const QString part = args.value(1);
        if (part == QLatin1String("load"))
            benchLoad(false);
        if (part == QLatin1String("pass"))
            benchPass(false);
        std::printf("peak memory %s: %ld KiB\n", qPrintable(part), peakKib());
        return 0;
    }
    if (what == QLatin1String("smbcopy")) {
        return smbCopyOnce(args.value(1), args.value(2));
    }
    std::printf("%-28s %-16s %10s %10s %8s\n", "figure", "size", "median ms", "ref ms", "ratio");
    if (what == QLatin1String("all") || what == QLatin1String("load"))
        benchLoad(quick);
    if (what == QLatin1String("all") || what == QLatin1String("board"))
        benchBoard();
    if (what == QLatin1String("all") || what == QLatin1String("startup"))
        benchStartup();
    if (what == QLatin1String("all") || what == QLatin1String("pass"))
        benchPass(quick);
    return 0;
}
