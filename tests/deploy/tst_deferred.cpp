#include "deploy/DeferredStart.h"
#include "support/FakePlatform.h"

#include <QTest>

using namespace vantrel;
using namespace vantrel::test;

namespace {

using F = DeferredStart::Field;

struct Dialog : Fixture {
    std::unique_ptr<DeferredStart> form;
    explicit Dialog(const QDateTime& now) {
        clock.current = now;
        start();
        form = std::make_unique<DeferredStart>(*ws);
        form->Form_Load();
    }
    void target(int year, int month, int day, int hour, int minute) {
        const int values[] = {year, month, day, hour, minute};
        for (int f = 0; f < DeferredStart::FieldCount; ++f) {
            form->setTarget(static_cast<F>(f), QString::number(values[f]));
        }
    }
    QStringList remaining() const {
        QStringList all;
        for (int f = 0; f < DeferredStart::FieldCount; ++f) {
            all << form->remaining(static_cast<F>(f));
        }
        return all;
    }
    // One minute of virtual time, then the timer's tick.
    void tick() {
        clock.advance(60000);
        form->Timer1_Timer();
    }
};

QDateTime at(int year, int month, int day, int hour, int minute) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute));
}

} // namespace

class DeferredTest : public QObject {
    Q_OBJECT
private slots:
    void loadFillsTheTargetFromTheClock() {
        Dialog d(at(2019, 3, 4, 9, 7));
        QCOMPARE(d.form->target(F::Year), QStringLiteral("2019"));
        QCOMPARE(d.form->target(F::Month), QStringLiteral("03"));
        QCOMPARE(d.form->target(F::Minute), QStringLiteral("07"));
        QVERIFY(!d.form->timerEnabled());
    }

    // The clock says 2019: a year typed past the next one is taken back to this one.
    void fieldsAreCorrectedWhileTyped_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        const struct {
            F field;
            const char *typed, *kept;
        } rows[] = {{F::Minute, "75", "59"},   {F::Hour, "24", "23"},     {F::Day, "32", "31"},
                    {F::Year, "2021", "2019"}, {F::Year, "2020", "2020"}, {F::Month, "14", "14"}};
        for (const auto& r : rows)
            QTest::newRow(r.typed)
                << int(r.field) << QString::fromLatin1(r.typed) << QString::fromLatin1(r.kept);
    }
    void fieldsAreCorrectedWhileTyped() {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        Dialog d(at(2019, 3, 4, 9, 7));
        d.form->setTarget(static_cast<F>(field), typed);
        QCOMPARE(d.form->target(static_cast<F>(field)), kept);
    }

    // The clock says 10 January 2026: this year and the next are accepted.
    void launchChecks_data() {
        QTest::addColumn<QList<int>>("target");
        QTest::addColumn<QString>("message"); // "" when the countdown starts
        const QString yearMessage = QStringLiteral("Erreur sur l'année  2025 < Année < 2027");
        QTest::newRow("this year") << QList<int>{2026, 5, 1, 10, 0} << "";
        QTest::newRow("next year") << QList<int>{2027, 1, 9, 10, 0} << "";
        QTest::newRow("last year") << QList<int>{2025, 5, 1, 10, 0} << yearMessage;
        QTest::newRow("2019 and before") << QList<int>{2019, 5, 1, 10, 0} << yearMessage;
        QTest::newRow("year and day: the day wins")
            << QList<int>{2025, 5, 0, 10, 0} << "Erreur sur le jour 0< Jour < 32";
        QTest::newRow("month") << QList<int>{2026, 13, 1, 10, 0}
                               << "Erreur sur le mois 1< Mois <13";
        QTest::newRow("february") << QList<int>{2026, 2, 29, 10, 0}
                                  << "Ce mois ne peut avoir plus de 28 jours";
        QTest::newRow("february 30")
            << QList<int>{2026, 2, 30, 10, 0} << "Ce mois ne peut avoir plus de 28 jours";
        QTest::newRow("30-day month")
            << QList<int>{2026, 4, 31, 10, 0} << "Ce mois ne peut avoir plus de 30 jours";
    }
    void launchChecks() {
        QFETCH(QList<int>, target);
        QFETCH(QString, message);
        Dialog d(at(2026, 1, 10, 9, 0));
        d.target(target[0], target[1], target[2], target[3], target[4]);
        d.form->Lancer();
        if (message.isEmpty()) {
            QVERIFY(d.form->timerEnabled());
            QVERIFY(!d.ui.titles().contains("Erreur sur la date"));
            return;
        }
        QCOMPARE(d.ui.titles(), QStringList{"Erreur sur la date"});
        QCOMPARE(d.ui.last().text, message);
        QVERIFY(!d.form->timerEnabled());
    }

    void leapYearsCountAsTheProgramCounts() {
        QCOMPARE(DeferredStart::daysInMonth(2, 2016), 29);
        QCOMPARE(DeferredStart::daysInMonth(2, 2019), 28);
        QCOMPARE(DeferredStart::daysInMonth(2, 2000), 28); // "00" is not a leap year here
        QCOMPARE(DeferredStart::daysInMonth(9, 2019), 30);
    }

    void ninetyMinutesAhead() {
        Dialog d(at(2019, 6, 3, 10, 45));
        d.target(2019, 6, 3, 12, 15);
        d.form->Lancer();
        QVERIFY(d.ui.messages.empty());
        QCOMPARE(d.remaining(), (QStringList{" 0", " 0", " 0", " 1", " 30"}));
        d.tick();
        QCOMPARE(d.remaining(), (QStringList{"0", "0", " 0", " 1", " 29"}));
        for (int i = 0; i < 88; ++i) {
            d.tick();
        }
        QVERIFY(!d.form->isClosed());
        d.tick();
        QVERIFY(d.form->isClosed());
        QCOMPARE(d.state().DeferredStartFlag, QStringLiteral("Déploiement"));
    }

    // The last minute is counted in seconds, to the target minute itself.
    void secondsLeftOnceArmed() {
        Dialog d(QDateTime(QDate(2019, 6, 3), QTime(10, 45, 15)));
        QCOMPARE(d.form->secondsLeft(), -1);
        d.target(2019, 6, 3, 10, 47);
        d.form->Lancer();
        QCOMPARE(d.form->secondsLeft(), 105);
        d.clock.current = d.clock.current.addSecs(105);
        QCOMPARE(d.form->secondsLeft(), 0);
        d.form->Timer1_Timer();
        QVERIFY(d.form->isClosed());
        QCOMPARE(d.form->secondsLeft(), -1);
    }

    void countdownAcrossMidnight() {
        Dialog d(at(2019, 12, 31, 23, 50));
        d.target(2019, 12, 31, 23, 59);
        d.form->setTarget(F::Day, QStringLiteral("31"));
        d.form->Lancer();
        QCOMPARE(d.remaining(), (QStringList{" 0", " 0", " 0", " 0", " 9"}));
        qint16 y = 0, m = 1, days = -30, h = -1, min = 0; // 31 Jan 10:00 -> 1 Feb 09:00
        DeferredStart::DecrementRemaining(y, m, days, h, min, 0, 31);
        QCOMPARE(QList<int>({y, m, days, h, min}), QList<int>({0, 0, 0, 23, 0}));
    }

    // A target now, or the next day an hour earlier, asks to start at once; No arms
    // nothing and the dialog stays, Yes closes it with the pass to run.
    void earlyTargetAsksToStartAtOnce_data() {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("target"); // invalid: the one the dialog proposes
        QTest::addColumn<bool>("yes");
        QTest::newRow("now, No") << at(2019, 6, 3, 10, 45) << QDateTime() << false;
        QTest::newRow("next day an hour earlier, Yes")
            << at(2019, 6, 3, 11, 5) << at(2019, 6, 4, 10, 0) << true;
    }
    void earlyTargetAsksToStartAtOnce() {
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, target);
        QFETCH(bool, yes);
        Dialog d(now);
        if (target.isValid())
            d.target(target.date().year(), target.date().month(), target.date().day(),
                     target.time().hour(), target.time().minute());
        d.ui.answers = {yes ? Answer::Yes : Answer::No};
        d.form->Lancer();
        QCOMPARE(d.ui.last().text, QStringLiteral("Voulez-vous lancer immédiatement"));
        QVERIFY(!d.form->timerEnabled());
        if (!yes)
            d.tick();
        QCOMPARE(d.form->isClosed(), yes);
        QCOMPARE(d.state().DeferredStartFlag, yes ? QStringLiteral("Déploiement") : QString());
    }

    void longDelayIsOnlyAWarning() {
        Dialog d(at(2019, 1, 10, 9, 0));
        d.target(2019, 4, 10, 9, 0);
        d.form->Lancer();
        QCOMPARE(d.ui.titles(), QStringList{"Vérifier la saisie"});
        QVERIFY(d.form->timerEnabled());
        QCOMPARE(d.remaining(), (QStringList{" 0", " 3", " 0", " 0", " 0"}));
    }

    void februaryTargetEndsInMarch() {
        Dialog d(at(2019, 2, 28, 23, 58));
        d.target(2019, 2, 28, 23, 59);
        d.form->Lancer();
        QVERIFY(d.form->timerEnabled());
        d.clock.current = at(2019, 3, 1, 0, 0); // every field but the month lies after it
        d.tick();
        QVERIFY(d.form->isClosed());
    }

    void buttonsLeaveTheFlag() {
        Dialog d(at(2019, 6, 3, 10, 45));
        d.form->AnnuleDélai();
        QCOMPARE(d.state().DeferredStartFlag, QStringLiteral("Déploiement"));
        Dialog e(at(2019, 6, 3, 10, 45));
        e.form->AnuleDéploiement();
        QCOMPARE(e.state().DeferredStartFlag, QStringLiteral("Annule"));
        QVERIFY(e.form->isClosed());
    }
};

QTEST_GUILESS_MAIN(DeferredTest)
#include "tst_deferred.moc"
