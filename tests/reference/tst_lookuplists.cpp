#include "reference/lookuplistfrm.h"
#include "shell/datagrid.h"
#include "support/testsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

Q_DECLARE_METATYPE(LookupListConfig)

class TestLookupLists : public QObject
{
    Q_OBJECT

private slots:
    void addStoresTheBoxAsTyped_data();
    void addStoresTheBoxAsTyped();
    void deleteTakesOnlyTheChosenRow();
};

void TestLookupLists::addStoresTheBoxAsTyped_data()
{
    QTest::addColumn<LookupListConfig>("config");
    QTest::newRow("kufangfrm") << LookupLists::kufang();
    QTest::newRow("danweifrm") << LookupLists::danwei();
    QTest::newRow("fenleifrm") << LookupLists::fenlei();
    QTest::newRow("gongnengfrm") << LookupLists::gongneng();
}

void TestLookupLists::addStoresTheBoxAsTyped()
{
    QFETCH(LookupListConfig, config);
    TempStore db;
    MessageRecorder messages;
    LookupListFrm screen(db.store(), config);
    screen.show();
    QCOMPARE(findWidget<QLabel>(&screen, "Label1")->text(), config.label);

    auto *add = findWidget<QPushButton>(&screen, "Command1");
    QTest::mouseClick(add, Qt::LeftButton); // an empty box adds an empty entry
    typeInto(findWidget<QLineEdit>(&screen, "Text1"), QStringLiteral(" 东'库 "));
    QTest::mouseClick(add, Qt::LeftButton);
    QTest::mouseClick(add, Qt::LeftButton);

    const auto rows = db.rows(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(config.table));
    QCOMPARE(rows.size(), 3);
    QVERIFY(!rows[0][0].isNull());
    QCOMPARE(rows[0][0].toString(), QString());
    QCOMPARE(rows[1][0].toString(), QStringLiteral(" 东'库 "));
    QCOMPARE(rows[2][0].toString(), QStringLiteral(" 东'库 "));
    QCOMPARE(findWidget<DataGrid>(&screen, "DBGrid1")->model()->rowCount(), 3);
    QVERIFY(messages.texts.isEmpty());
}

void TestLookupLists::deleteTakesOnlyTheChosenRow()
{
    TempStore db;
    MessageRecorder messages;
    for (const char *name : {"甲", "乙", "丙", "丁"})
        db.exec(QStringLiteral("INSERT INTO kufang VALUES (?)"), {QString::fromUtf8(name)});
    LookupListFrm screen(db.store(), LookupLists::kufang());
    screen.show();
    auto *remove = findWidget<QPushButton>(&screen, "Command2");
    auto *grid = findWidget<DataGrid>(&screen, "DBGrid1");
    auto remaining = [&db] {
        return db.scalar(QStringLiteral("SELECT group_concat(库房) FROM kufang")).toString();
    };

    QTest::mouseClick(remove, Qt::LeftButton); // right after opening: the first entry
    QCOMPARE(remaining(), QStringLiteral("乙,丙,丁"));
    QVERIFY(!grid->currentIndex().isValid());
    QTest::mouseClick(remove, Qt::LeftButton); // no row chosen since the delete
    QCOMPARE(remaining(), QStringLiteral("乙,丙,丁"));

    grid->setCurrentIndex(grid->model()->index(1, 0));
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(remaining(), QStringLiteral("乙,丁"));
    for (int row : {1, 0}) {
        grid->setCurrentIndex(grid->model()->index(row, 0));
        QTest::mouseClick(remove, Qt::LeftButton);
    }
    QTest::mouseClick(remove, Qt::LeftButton); // empty list: nothing to do, nothing said
    QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM kufang")).toInt(), 0);
    QVERIFY(messages.texts.isEmpty());
}

QTEST_MAIN(TestLookupLists)
#include "tst_lookuplists.moc"
