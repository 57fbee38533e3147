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
    // "\\U0010FFFD" in a test row stands for that character.
    static QString unescaped(QString text)
    {
        return text.replace(QStringLiteral("\\U0010FFFD"), QString::fromUcs4(U"\U0010FFFD"))
            .replace(QStringLiteral("\\U0010FFFF"), QString::fromUcs4(U"\U0010FFFF"));
    }

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

    // A prefix is looked up as a range of the index: the texts at both ends of the range, and
    // the characters next to each end, are found exactly when they start with it.
    void prefixRangesEndWhereThePrefixEnds_data()
    {
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("found");
        const QStringList letters{"AZ", "az", "AZ1", "Az~", "A[", "A{", "B", "AY\U0010FFFD"};
        QTest::newRow("ends in z") << letters << "az*" << QStringList{"AZ", "az", "AZ1", "Az~"};
        QTest::newRow("ends in Z") << letters << "AZ*" << QStringList{"AZ", "az", "AZ1", "Az~"};
        QTest::newRow("ends in Y, highest plane after")
            << letters << "ay*" << QStringList{"AY\U0010FFFD"};
        QTest::newRow("ends in @, capitals after")
            << QStringList{"A@", "A@b", "AA", "Aa", "A["} << "a@*" << QStringList{"A@", "A@b"};
        QTest::newRow("escaped wildcards in the prefix")
            << QStringList{"5%off", "5%", "50", "5_x", "5ax"} << "5%*" << QStringList{"5%off", "5%"};
        QTest::newRow("whole text, nothing after")
            << QStringList{"当归", "当归片", "当", "党参"} << "当归" << QStringList{"当归"};
        QTest::newRow("Chinese prefix")
            << QStringList{"当归", "当归片", "当", "彗"} << "当*" << QStringList{"当归", "当归片", "当"};
        QTest::newRow("prefix of the highest character")
            << QStringList{"x\U0010FFFF", "x\U0010FFFFy", "y"} << "x\U0010FFFF*"
            << QStringList{"x\U0010FFFF", "x\U0010FFFFy"};
    }

    void prefixRangesEndWhereThePrefixEnds()
    {
        QFETCH(QStringList, codes);
        QFETCH(QString, pattern);
        QFETCH(QStringList, found);
        m_temp->exec("DELETE FROM yaocai");
        for (QString code : codes)
            m_temp->exec(QStringLiteral("INSERT INTO yaocai (编号) VALUES ('%1')")
                             .arg(unescaped(code)));
        QStringList expected;
        for (const QString &code : found)
            expected << unescaped(code);
        QCOMPARE(this->found(byCode(unescaped(pattern))), expected);
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
