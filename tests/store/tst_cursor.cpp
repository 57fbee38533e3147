#include "store/cursor.h"
#include "store/store.h"
#include "support/testsupport.h"

#include <optional>

class tst_Cursor : public QObject
{
    Q_OBJECT

    std::optional<TempStore> m_temp;

    QStringList codesOf(const Query &query)
    {
        Cursor cursor(m_temp->store());
        if (!cursor.open(query))
            return {QStringLiteral("error: ") + cursor.lastError().text()};
        QStringList codes;
        for (cursor.first(); !cursor.atEnd(); cursor.next())
            codes << cursor.value("编号").toString();
        return codes;
    }

private slots:
    void init() { m_temp.emplace(); }
    void cleanup() { m_temp.reset(); }

    void likeKeepsItsMeaning_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("equality ignores case") << "GC01" << QStringList{"gc01"};
        QTest::newRow("star is any run") << "gc*" << QStringList{"gc01", "gc02", "gc%1", "gc_1"};
        QTest::newRow("star alone is all")
            << "*" << QStringList{"gc01", "gc02", "gc%1", "gc_1", "a\\b", "it's", "*"};
        QTest::newRow("question mark is one character") << "gc0?" << QStringList{"gc01", "gc02"};
        QTest::newRow("percent typed matches itself") << "gc%1" << QStringList{"gc%1"};
        QTest::newRow("underscore typed matches itself") << "gc_1" << QStringList{"gc_1"};
        QTest::newRow("backslash typed matches itself") << "a\\b" << QStringList{"a\\b"};
        QTest::newRow("quote is ordinary text") << "it's" << QStringList{"it's"};
        QTest::newRow("empty matches the empty text only") << "" << QStringList{};
        QTest::newRow("no match") << "zz*" << QStringList{};
    }

    void likeKeepsItsMeaning()
    {
        QFETCH(QString, pattern);
        QFETCH(QStringList, expected);
        for (const char *code : {"gc01", "gc02", "gc%1", "gc_1", "a\\b", "it's", "*"})
            m_temp->exec("INSERT INTO bianhao (编号, 品名) VALUES (?, '药')", {QString(code)});
        QCOMPARE(codesOf(Query("bianhao", Filter::like("编号", pattern))), expected);
    }

    void nullIsNotTheEmptyText()
    {
        m_temp->exec("INSERT INTO bianhao (编号, 品名, 拼音) VALUES ('a', '', NULL)");
        Cursor cursor(m_temp->store());
        QVERIFY(cursor.open(Query("bianhao")));
        QVERIFY(!cursor.value("品名").isNull());
        QCOMPARE(cursor.value("品名").toString(), QString());
        QVERIFY(cursor.value("拼音").isNull());
        QCOMPARE(codesOf(Query("bianhao", Filter::isNull("拼音"))), QStringList{"a"});
        QCOMPARE(codesOf(Query("bianhao", Filter::isNull("品名"))), QStringList{});
    }

    void columnsByNameAndPosition()
    {
        m_temp->exec("INSERT INTO user VALUES ('张三', 'abc')");
        Cursor cursor(m_temp->store());
        Query names("user", Filter::like("用户", "张三"));
        QVERIFY(cursor.open(names));
        QCOMPARE(cursor.columnNames(), (QStringList{"用户", "密码"}));
        QCOMPARE(cursor.value(2).toString(), QStringLiteral("abc"));
        QCOMPARE(cursor.value("密码"), cursor.value(2));

        names.columns = QStringList{"密码"};
        QVERIFY(cursor.open(names));
        QCOMPARE(cursor.columnCount(), 1);
        QCOMPARE(cursor.value(1).toString(), QStringLiteral("abc"));
        QVERIFY(cursor.value(2).isNull());
    }

    void addKeepsTheCurrentRowAndAppends()
    {
        m_temp->exec("INSERT INTO kufang VALUES ('一号'), ('二号')");
        Cursor cursor(m_temp->store());
        QVERIFY(cursor.open(Query("kufang")));
        cursor.next();
        cursor.addNew();
        QVERIFY(cursor.setValue(1, "三号"));
        QVERIFY_STORE(cursor, cursor.update());
        QCOMPARE(cursor.value(1).toString(), QStringLiteral("二号"));
        QCOMPARE(cursor.count(), 3);
        cursor.last();
        QCOMPARE(cursor.value(1).toString(), QStringLiteral("三号"));

        // A row added through a filtered result joins that result too.
        QVERIFY(cursor.open(Query("kufang", Filter::like("库房", "一号"))));
        cursor.addNew();
        QVERIFY(cursor.setValue(1, "四号"));
        QVERIFY(cursor.update());
        QCOMPARE(cursor.count(), 2);
        QCOMPARE(m_temp->scalar("SELECT count(*) FROM kufang").toInt(), 4);
    }

    void deleteLeavesNoCurrentRowUntilMoved()
    {
        m_temp->exec("INSERT INTO kufang VALUES ('一号'), ('二号'), ('三号')");
        Cursor cursor(m_temp->store());
        QVERIFY(cursor.open(Query("kufang")));
        cursor.next();
        QVERIFY_STORE(cursor, cursor.remove());
        QVERIFY(!cursor.hasCurrent());
        QVERIFY(cursor.value(1).isNull());
        QVERIFY(!cursor.remove());
        cursor.next();
        QCOMPARE(cursor.value(1).toString(), QStringLiteral("三号"));
        cursor.first();
        QCOMPARE(cursor.value(1).toString(), QStringLiteral("一号"));
        QCOMPARE(cursor.count(), 2);
    }

    void deletingEveryRowOfAResult()
    {
        m_temp->exec("INSERT INTO jinhuo (编号, 厂家) VALUES ('a', '甲'), ('b', '乙'), ('c', '甲'),"
                     " ('d', '甲')");
        Cursor cursor(m_temp->store());
        QVERIFY(cursor.open(Query("jinhuo", Filter::like("厂家", "甲"))));
        for (cursor.first(); !cursor.atEnd(); cursor.next())
            QVERIFY_STORE(cursor, cursor.remove());
        QVERIFY(cursor.atEnd());
        QCOMPARE(cursor.count(), 0);
        QCOMPARE(codesOf(Query("jinhuo")), QStringList{"b"});
    }

    void equalRowsAreTouchedOneAtATime()
    {
        m_temp->exec("INSERT INTO danwei VALUES ('克'), ('克'), ('克')");
        Cursor cursor(m_temp->store());
        QVERIFY(cursor.open(Query("danwei")));
        cursor.next();
        QVERIFY(cursor.edit());
        QVERIFY(cursor.setValue(1, "千克"));
        QVERIFY_STORE(cursor, cursor.update());
        QCOMPARE(m_temp->scalar("SELECT group_concat(单位, ',') FROM danwei").toString(),
                 QStringLiteral("克,千克,克"));

        cursor.first();
        QVERIFY(cursor.remove());
        QCOMPARE(m_temp->scalar("SELECT group_concat(单位, ',') FROM danwei").toString(),
                 QStringLiteral("千克,克"));

        QVERIFY(cursor.updateRow(1, {{0, QStringLiteral("斤")}}));
        QCOMPARE(m_temp->scalar("SELECT group_concat(单位, ',') FROM danwei").toString(),
                 QStringLiteral("千克,斤"));
        QCOMPARE(cursor.valueAt(1, 0).toString(), QStringLiteral("斤"));
    }

    void refusesValuesTheColumnCannotTake()
    {
        Cursor cursor(m_temp->store());
        QVERIFY(cursor.open(Query("jinhuo")));
        cursor.addNew();
        QVERIFY(cursor.setValue("编号", "a"));
        QVERIFY(!cursor.setValue("数量", "三"));
        QVERIFY(cursor.lastError().text().contains("数量"));
        QVERIFY(!cursor.setValue("日期", "2026-13-01"));
        QVERIFY(!cursor.setValue("没有的列", "1"));
        QVERIFY(cursor.setValue("数量", " 12.5 "));
        QVERIFY(cursor.setValue("进价", ""));
        QVERIFY(cursor.setValue("日期", "2026/12/5"));
        QVERIFY_STORE(cursor, cursor.update());
        const auto rows = m_temp->rows("SELECT 数量, 进价, typeof(数量), 日期 FROM jinhuo");
        QCOMPARE(rows[0][0].toDouble(), 12.5);
        QVERIFY(rows[0][1].isNull());
        QCOMPARE(rows[0][2].toString(), QStringLiteral("real"));
        // Dates are stored in one form so that ranges compare as text.
        QCOMPARE(rows[0][3].toString(), QStringLiteral("2026-12-05"));
    }

    void dateRangesAreInclusive()
    {
        for (const char *date : {"2026-01-31", "2026-02-01", "2026-02-28", "2026-03-01"})
            m_temp->exec("INSERT INTO jinhuo (编号, 日期) VALUES (?, ?)", {date, date});
        const Filter february = Filter::atLeast("日期", QDate(2026, 2, 1))
                                && Filter::atMost("日期", QDate(2026, 2, 28));
        QCOMPARE(codesOf(Query("jinhuo", february)), (QStringList{"2026-02-01", "2026-02-28"}));
    }

    void readsResultsLargerThanOnePage()
    {
        m_temp->exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n"
                     " WHERE i < 1000) INSERT INTO kucun (编号, 库存数量) SELECT 'k' || i, i FROM n");
        Cursor cursor(m_temp->store());
        QVERIFY(cursor.open(Query("kucun")));
        QCOMPARE(cursor.count(), 1000);
        QCOMPARE(cursor.valueAt(999, cursor.columnIndex("编号")).toString(), QStringLiteral("k1000"));
        QCOMPARE(cursor.valueAt(0, cursor.columnIndex("库存数量")).toDouble(), 1.0);
        double total = 0;
        int rows = 0;
        for (cursor.first(); !cursor.atEnd(); cursor.next()) {
            total += cursor.value("库存数量").toDouble();
            ++rows;
        }
        QCOMPARE(rows, 1000);
        QCOMPARE(total, 500500.0);
    }

    void failedQueryLeavesNoRows()
    {
        Cursor cursor(m_temp->store());
        QVERIFY(!cursor.open(Query("no_such_table")));
        QVERIFY(!cursor.lastError().text().isEmpty());
        QCOMPARE(cursor.count(), 0);
        QVERIFY(!cursor.hasCurrent());
        QVERIFY(!cursor.edit());
    }
};

QTEST_GUILESS_MAIN(tst_Cursor)
#include "tst_cursor.moc"
