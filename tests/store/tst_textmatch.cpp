#include "store/cursor.h"
#include "store/query.h"
#include "support/testsupport.h"

#include <memory>

Q_DECLARE_METATYPE(Filter)

// Letter case does not count in like() and sameText(), in any script, and the column's index
// still serves a pattern's prefix.
class tst_TextMatch : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempStore> m_temp;

    // The codes of the catalogue rows the filter finds, in table order.
    QStringList found(const Filter &filter)
    {
        Cursor rows(m_temp->store());
        if (!rows.open(Query(QStringLiteral("yaocai"), filter))) {
            QTest::qFail(qPrintable(rows.lastError().text()), __FILE__, __LINE__);
            return {};
        }
        QStringList codes;
        for (rows.first(); !rows.atEnd(); rows.next())
            codes << rows.value(QStringLiteral("编号")).toString();
        return codes;
    }
    // Whether the engine reads the catalogue rows the filter finds through a range of the code's
    // index; *plan gets the engine's plan.
    bool seeksCodeIndex(const Filter &filter, QString *plan)
    {
        return m_temp->store().seeksIndex(Query(QStringLiteral("yaocai"), filter),
                                          QStringLiteral("idx_yaocai_编号"), plan);
    }
    static Filter byCode(const QString &pattern) { return Filter::like("编号", pattern); }

private slots:
    void init()
    {
        m_temp = std::make_unique<TempStore>();
        // Full-width and ASCII Latin, accented Latin, Greek with a final sigma, Cyrillic, a
        // letter beyond the basic plane, Chinese, a literal underscore and a Null.
        m_temp->exec("INSERT INTO yaocai (编号) VALUES ('ＤＧ01'), ('dg01'), ('ÉA1'), ('ea1'), "
                     "('ΛΟΓΟΣ'), ('СОЛОДКА корень'), ('𐐀1'), ('甘草01'), ('Éa_1'), (NULL)");
    }
    void cleanup() { m_temp.reset(); }

    void likeIgnoresCaseInEveryScript_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("codes");
        QTest::newRow("full-width") << "ｄｇ01" << QStringList{"ＤＧ01"};
        QTest::newRow("ASCII as before") << "DG01" << QStringList{"dg01"};
        QTest::newRow("accented") << "éa1" << QStringList{"ÉA1"};
        QTest::newRow("accent counts") << "EA1" << QStringList{"ea1"};
        QTest::newRow("Greek, final sigma") << "λογος" << QStringList{"ΛΟΓΟΣ"};
        QTest::newRow("Cyrillic prefix") << "солодка*" << QStringList{"СОЛОДКА корень"};
        QTest::newRow("Cyrillic suffix") << "*КОРЕНЬ" << QStringList{"СОЛОДКА корень"};
        QTest::newRow("beyond the basic plane") << "𐐨1" << QStringList{"𐐀1"};
        QTest::newRow("one character") << "é?1" << QStringList{"ÉA1"};
        QTest::newRow("any run") << "é*1" << QStringList{"ÉA1", "Éa_1"};
        QTest::newRow("underscore is text") << "é?_1" << QStringList{"Éa_1"};
        QTest::newRow("Chinese") << "甘草*" << QStringList{"甘草01"};
        QTest::newRow("everything but Null") << "*"
                                             << QStringList{"ＤＧ01", "dg01", "ÉA1", "ea1", "ΛΟΓΟΣ",
                                                            "СОЛОДКА корень", "𐐀1", "甘草01",
                                                            "Éa_1"};
    }

    void likeIgnoresCaseInEveryScript()
    {
        QFETCH(QString, pattern);
        QFETCH(QStringList, codes);
        QCOMPARE(found(byCode(pattern)), codes);
    }

    void sameTextIgnoresCaseButNotPatterns()
    {
        QCOMPARE(found(Filter::sameText("编号", "ｄｇ01")), QStringList{"ＤＧ01"});
        QCOMPARE(found(Filter::sameText("编号", "éA_1")), QStringList{"Éa_1"});
        QCOMPARE(found(Filter::sameText("编号", "é*")), QStringList());
        QCOMPARE(found(Filter::sameText("编号", "éa?")), QStringList());
    }

    void prefixesStillUseTheIndex_data()
    {
        QTest::addColumn<Filter>("filter");
        QTest::addColumn<bool>("seeks");
        QTest::newRow("ASCII prefix") << byCode("DG*") << true;
        QTest::newRow("Chinese prefix") << byCode("甘草*") << true;
        // On SQLite up to the first letter with case beyond ASCII.
        QTest::newRow("accented letter") << byCode("dgé*") << true;
        QTest::newRow("same text") << Filter::sameText("编号", "dg01") << true;
        QTest::newRow("no prefix") << byCode("*01") << false;
    }

    void prefixesStillUseTheIndex()
    {
        QFETCH(Filter, filter);
        QFETCH(bool, seeks);
        QString plan;
        QVERIFY2(seeksCodeIndex(filter, &plan) == seeks, qPrintable(plan));
    }
};

QTEST_MAIN(tst_TextMatch)
#include "tst_textmatch.moc"
