#include "core/StringList.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace vantrel;

// The lists are models that views bind to: the rows they announce must be the rows
// they hold, and a selection survives only the removals that leave it in place.
class StringListTest : public QObject {
    Q_OBJECT
private slots:
    void removalKeepsOrMovesOrDropsTheSelection_data() {
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("removed");
        QTest::addColumn<int>("kept");
        QTest::newRow("below the selection") << 1 << 2 << 1;
        QTest::newRow("above the selection") << 2 << 0 << 1;
        QTest::newRow("the selection itself") << 1 << 1 << -1;
        QTest::newRow("out of range") << 1 << 3 << 1;
        QTest::newRow("negative") << 1 << -1 << 1;
    }
    void removalKeepsOrMovesOrDropsTheSelection() {
        QFETCH(int, selected);
        QFETCH(int, removed);
        QFETCH(int, kept);
        StringList list;
        QAbstractItemModelTester tester(&list,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        list.assign({"PC01", "PC02", "PC03"});
        list.setSelected(selected);
        QSignalSpy rowsRemoved(&list, &StringList::rowsRemoved);
        list.removeAt(removed);
        QCOMPARE(list.selected(), kept);
        QCOMPARE(rowsRemoved.count(), removed >= 0 && removed < 3 ? 1 : 0);
        QCOMPARE(list.rowCount(), list.count());
    }

    // A view moving its current row while rows go is no choice of the operator's.
    void viewsCannotSelectWhileRowsChange() {
        StringList list;
        list.assign({"PC01", "PC02"});
        list.setSelected(0);
        connect(&list, &StringList::rowsRemoved, &list, [&list] { list.setSelected(0); });
        connect(&list, &StringList::modelReset, &list, [&list] { list.setSelected(0); });
        list.removeAt(0);
        QCOMPARE(list.selected(), -1);
        list.setSelected(0);
        list.assign({"PC03", "PC04"});
        QCOMPARE(list.selected(), -1);
    }

    void selectionIsBoundedAndAnnouncedOnce() {
        StringList list;
        list.assign({"PC01", "PC02"});
        QSignalSpy changed(&list, &StringList::selectionChanged);
        list.setSelected(5);
        QCOMPARE(list.selected(), -1);
        list.setSelected(1);
        list.setSelected(1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(list.data(list.index(1)).toString(), QStringLiteral("PC02"));
        QVERIFY(!list.data(list.index(1), Qt::DecorationRole).isValid());
    }
};

QTEST_GUILESS_MAIN(StringListTest)
#include "tst_string_list.moc"
