#include "store/cursor.h"
#include "store/store.h"
#include "support/testsupport.h"

#include <optional>

class tst_Cursor : public QObject
{
    Q_OBJECT

    std::optional<TempStore> m_temp;

    void fillStock(int rows)
    {
        m_temp->exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?)"
                     " INSERT INTO kucun (编号, 库存数量) SELECT 'k' || i, i FROM n",
                     {rows});
    }

    static bool addStock(Cursor &cursor, const QString &code)
    {
        cursor.addNew();
        return cursor.setValue("编号", code) && cursor.update();
    }

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
        // "*" is any value, the empty text too, but not a missing one.
        QCOMPARE(codesOf(Query("bianhao", Filter::like("品名", "*"))), QStringList{"a"});
        QCOMPARE(codesOf(Query("bianhao", Filter::like("拼音", "**"))), QStringList{});
    }

    void columnsByNameAndPosition()
    {
        m_temp->exec("INSERT INTO \"user\" VALUES ('张三', 'abc')");
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
        QCOMPARE(m_temp->joined("danwei", "单位"),
                 QStringLiteral("克,千克,克"));

        cursor.first();
        QVERIFY(cursor.remove());
        QCOMPARE(m_temp->joined("danwei", "单位"),
                 QStringLiteral("千克,克"));

        QVERIFY(cursor.updateRow(1, {{0, QStringLiteral("斤")}}));
        QCOMPARE(m_temp->joined("danwei", "单位"),
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
        const auto rows = m_temp->rows("SELECT 数量, 进价, 日期 FROM jinhuo");
        QCOMPARE(rows[0][0].typeId(), QMetaType::Double);
        QCOMPARE(rows[0][0].toDouble(), 12.5);
        QVERIFY(rows[0][1].isNull());
        // Dates are stored in one form so that ranges compare as text.
        QCOMPARE(rows[0][2].toString(), QStringLiteral("2026-12-05"));
    }

    void moneyIsKeptToTheCent()
    {
        Cursor cursor(m_temp->store());
        QVERIFY(cursor.open(Query("jinhuo")));
        for (const char *amount : {"1.005", "1.005", "-2.675"}) {
            cursor.addNew();
            QVERIFY(cursor.setValue("金额", amount) && cursor.setValue("数量", "0.125"));
            QVERIFY_STORE(cursor, cursor.update());
        }
        QVERIFY(cursor.updateRow(2, {{cursor.columnIndex("进价"), "3.333"}}));
        // Quantities keep their decimals; amounts and prices hold what the grids show.
        QCOMPARE(m_temp->rows("SELECT 金额, 数量, coalesce(进价, 0) FROM jinhuo ORDER BY rowid"),
                 (QList<QVariantList>{{1.01, 0.125, 0}, {1.01, 0.125, 0}, {-2.68, 0.125, 3.33}}));
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

    // Ten pages and more: the cursor reads pages as it goes, yet behaves as one list.
    void largeResultsBehaveAsOneList()
    {
        fillStock(3000);
        Cursor cursor(m_temp->store());
        QVERIFY(cursor.open(Query("kucun")));
        QVERIFY(!cursor.isCountKnown());
        QVERIFY(cursor.knownRows() < 3000);
        QCOMPARE(cursor.value("编号").toString(), QStringLiteral("k1"));

        // Walking to the end reads every row once, in table order.
        int rows = 0;
        double total = 0;
        for (cursor.first(); !cursor.atEnd(); cursor.next()) {
            total += cursor.value("库存数量").toDouble();
            ++rows;
        }
        QCOMPARE(rows, 3000);
        QCOMPARE(total, 3000.0 * 3001 / 2);
        QVERIFY(cursor.isCountKnown());

        // Last counts without reading the rows in between; rows far from any read page are
        // read from the nearer end.
        QVERIFY(cursor.open(Query("kucun", Filter::atLeast("库存数量", 2))));
        cursor.last();
        QCOMPARE(cursor.count(), 2999);
        QCOMPARE(cursor.value("编号").toString(), QStringLiteral("k3000"));
        QCOMPARE(cursor.valueAt(1500, 0).toString(), QStringLiteral("k1502"));
        QCOMPARE(cursor.valueAt(2700, 0).toString(), QStringLiteral("k2702"));
        QCOMPARE(cursor.valueAt(2701, 0).toString(), QStringLiteral("k2703"));
        QCOMPARE(cursor.valueAt(300, 0).toString(), QStringLiteral("k302"));
    }

    void addAndDeleteAtBothEndsOfALargeResult()
    {
        fillStock(1000);
        Cursor cursor(m_temp->store());
        QVERIFY(cursor.open(Query("kucun")));
        // An add before the end is known: the new row follows every stored one.
        QVERIFY(addStock(cursor, "new1"));
        cursor.last();
        QCOMPARE(cursor.value("编号").toString(), QStringLiteral("new1"));
        QVERIFY(!cursor.isCountKnown());
        int seen = 0;
        QString lastCode;
        for (cursor.first(); !cursor.atEnd(); cursor.next()) {
            lastCode = cursor.value("编号").toString();
            ++seen;
        }
        QCOMPARE(seen, 1001);
        QCOMPARE(lastCode, QStringLiteral("new1"));

        // Deleting the first and the last row leaves the rest in order.
        cursor.first();
        QVERIFY_STORE(cursor, cursor.remove());
        cursor.next();
        QCOMPARE(cursor.value("编号").toString(), QStringLiteral("k2"));
        cursor.last();
        QVERIFY_STORE(cursor, cursor.remove());
        QVERIFY(cursor.atEnd());
        cursor.last();
        QCOMPARE(cursor.value("编号").toString(), QStringLiteral("k1000"));
        QCOMPARE(cursor.count(), 999);
        QCOMPARE(m_temp->scalar("SELECT count(*) FROM kucun").toInt(), 999);

        // Standing past the end, an add keeps the cursor there.
        cursor.next();
        QVERIFY(cursor.atEnd());
        QVERIFY(addStock(cursor, "new2"));
        QVERIFY(cursor.atEnd());
        QVERIFY(!cursor.hasCurrent());
        QVERIFY(cursor.open(Query("kucun", Filter::like("编号", "nothing"))));
        QVERIFY(addStock(cursor, "new3"));
        QVERIFY(!cursor.hasCurrent());
        QCOMPARE(cursor.count(), 1);
    }

    void deleteAllSpansEveryPage()
    {
        fillStock(2500);
        m_temp->exec("UPDATE kucun SET 品名 = '甘草' WHERE rowid % 2 = 0");
        Cursor cursor(m_temp->store());
        QVERIFY(cursor.open(Query("kucun", Filter::like("品名", "甘草"))));
        QVERIFY(addStock(cursor, "added"));
        QVERIFY_STORE(cursor, cursor.removeAll());
        QCOMPARE(cursor.count(), 0);
        QVERIFY(cursor.atEnd());
        QCOMPARE(m_temp->scalar("SELECT count(*) FROM kucun").toInt(), 1250);
        QCOMPARE(m_temp->scalar("SELECT count(*) FROM kucun WHERE 品名 = '甘草'").toInt(), 0);

        // A row that came to match after the list was read is not the user's to delete.
        QVERIFY(cursor.open(Query("kucun", Filter::atMost("库存数量", 10))));
        m_temp->exec("INSERT INTO kucun (编号, 库存数量) VALUES ('later', 1)");
        m_temp->exec("UPDATE kucun SET 库存数量 = 5 WHERE 编号 = 'k11'");
        QVERIFY(!cursor.removeAll());
        QVERIFY(cursor.lastError().isStale());
        QCOMPARE(m_temp->scalar("SELECT count(*) FROM kucun").toInt(), 1251);
    }

    void sortedResultsPageInTheirOrder()
    {
        for (int i = 0; i < 700; ++i) {
            m_temp->exec("INSERT INTO yaocai (编号, 品名) VALUES (?, ?)",
                         {QString::number(i), i % 7 == 0 ? QVariant() : QVariant(
                                                    QStringLiteral("Name%1").arg(699 - i, 3, 10,
                                                                               QLatin1Char('0')))});
        }
        Query byName("yaocai");
        byName.orderBy = "品名";
        byName.orderIgnoresCase = true;
        Cursor cursor(m_temp->store());
        QVERIFY(cursor.open(byName));
        QStringList names;
        for (cursor.first(); !cursor.atEnd(); cursor.next())
            names << cursor.value("品名").toString();
        QCOMPARE(names.size(), 700);
        // Null names first, then by name; equal names in table order.
        QCOMPARE(names.first(), QString());
        QCOMPARE(names.at(100), QStringLiteral("Name000"));
        QStringList sorted = names;
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(names, sorted);
        cursor.last();
        QCOMPARE(cursor.value("品名").toString(), QStringLiteral("Name698"));
        QCOMPARE(cursor.valueAt(350, 1).toString(), names.at(350));
    }

    // Another screen changed or deleted the row (SQLite even gives a deleted row's id to the
    // next new row): no write may reach it, and the cursor reads the row again.
    void writesActOnlyOnTheRowAsRead()
    {
        m_temp->exec("INSERT INTO kucun (编号, 库存数量) VALUES ('A1', 10), ('B1', 10)");
        Cursor stale(m_temp->store());
        QVERIFY(stale.open(Query("kucun")));
        stale.last();
        m_temp->exec("DELETE FROM kucun WHERE 编号 = 'B1'");
        m_temp->exec("INSERT INTO kucun (编号, 库存数量) VALUES ('C1', 5)");
        // SQLite gives the deleted row's id to the new one; a server never uses an id twice.
        QCOMPARE(m_temp->scalar("SELECT rowid FROM kucun WHERE 编号 = 'C1'").toInt(),
                 TempStore::onServer() ? 3 : 2);

        QVERIFY(stale.edit());
        QVERIFY(stale.setValue("库存数量", 9));
        QVERIFY(!stale.update());
        QVERIFY(stale.lastError().isStale());
        QCOMPARE(stale.lastError().text(), QStringLiteral("记录已被修改或删除，请重新查询"));
        QCOMPARE(m_temp->scalar("SELECT 库存数量 FROM kucun WHERE 编号 = 'C1'").toInt(), 5);
        if (TempStore::onServer()) {
            // No row has the id any more: the cursor lets the row go.
            QCOMPARE(stale.count(), 1);
            QVERIFY(!stale.hasCurrent());
        } else {
            QCOMPARE(stale.value("编号").toString(), QStringLiteral("C1"));
        }

        // Having read the row again, the cursor may write it.
        m_temp->exec("UPDATE kucun SET 库存数量 = 6 WHERE 编号 = 'A1'");
        QVERIFY(!stale.updateRow(0, {{0, QStringLiteral("A2")}}));
        QVERIFY(stale.lastError().isStale());
        QCOMPARE(stale.valueAt(0, stale.columnIndex("库存数量")).toInt(), 6);
        QVERIFY_STORE(stale, stale.updateRow(0, {{0, QStringLiteral("A2")}}));

        m_temp->exec("DELETE FROM kucun WHERE 编号 = 'C1'");
        if (!TempStore::onServer()) {
            QVERIFY(!stale.remove());
            QVERIFY(stale.lastError().isStale());
        }
        QCOMPARE(stale.count(), 1);
        QVERIFY(!stale.hasCurrent());
        QCOMPARE(m_temp->rows("SELECT 编号, 库存数量 FROM kucun"),
                 (QList<QVariantList>{{"A2", 6.0}}));
    }

    void rereadTakesTheStoredFiguresUnlessTheRowChanged()
    {
        m_temp->exec("INSERT INTO kucun (编号, 批号, 库存数量) VALUES ('X', 'P1', 10)");
        Cursor cursor(m_temp->store());
        QVERIFY(cursor.open(Query("kucun")));
        m_temp->exec("UPDATE kucun SET 库存数量 = 15");
        QVERIFY_STORE(cursor, cursor.reread({"编号", "批号"}));
        QCOMPARE(cursor.value("库存数量").toInt(), 15);
        m_temp->exec("UPDATE kucun SET 批号 = 'P2'");
        QVERIFY(!cursor.reread({"编号", "批号"}));
        QVERIFY(cursor.lastError().isStale());
        m_temp->exec("DELETE FROM kucun");
        QVERIFY(!cursor.reread({"编号"}));
        QVERIFY(!cursor.hasCurrent());
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
