#include "reference/partnerfrm.h"
#include "support/testsupport.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

Q_DECLARE_METATYPE(PartnerConfig)

class TestPartners : public QObject
{
    Q_OBJECT

private slots:
    void boxesFillTheirColumns_data();
    void boxesFillTheirColumns();
    void deleteTakesTheChosenRowAndIgnoresAnEmptyTable();
};

// Every row of the table as text, Null shown as "~" so that it differs from the empty text.
static QList<QStringList> stored(TempStore &db, const QString &table)
{
    QList<QStringList> rows;
    for (const QVariantList &row : db.rows(QStringLiteral("SELECT * FROM %1").arg(table))) {
        rows << QStringList();
        for (const QVariant &value : row)
            rows.last() << (value.isNull() ? QStringLiteral("~") : value.toString());
    }
    return rows;
}

static void click(QWidget *screen, const char *button)
{
    QTest::mouseClick(findWidget<QPushButton>(screen, button), Qt::LeftButton);
}

void TestPartners::boxesFillTheirColumns_data()
{
    QTest::addColumn<PartnerConfig>("config");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("gonghuofrm") << Partners::gonghuo()
                                << QStringList{"供货厂家", "地    址", "联系", "电话"};
    QTest::newRow("kehufrm") << Partners::kehu() << QStringList{"客户", "地址", "联系", "电话"};
    QTest::newRow("yuangongfrm") << Partners::yuangong()
                                 << QStringList{"员工", "地址", "电话", "备注"};
}

void TestPartners::boxesFillTheirColumns()
{
    QFETCH(PartnerConfig, config);
    QFETCH(QStringList, labels);
    TempStore db;
    MessageRecorder messages;
    PartnerFrm screen(db.store(), config);
    screen.show();
    screen.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&screen));
    const auto box = [&screen](int number) {
        return findWidget<QLineEdit>(&screen, QStringLiteral("Text%1").arg(number));
    };
    for (int number = 1; number <= 4; ++number)
        QCOMPARE(findWidget<QLabel>(&screen, QStringLiteral("Label%1").arg(number))->text(),
                 labels[number - 1]);

    typeInto(box(1), "同仁'堂");
    click(&screen, "Command1"); // boxes left empty are stored as Null
    QCOMPARE(box(1)->text(), QStringLiteral("同仁'堂"));
    // Enter moves through the boxes in reading order; the last one adds and starts the next.
    const QStringList values{"", "北京", "王*", "010"};
    for (int number = 1; number <= 3; ++number) {
        pressEnter(box(number));
        QVERIFY(box(number + 1)->hasFocus());
        typeInto(box(number + 1), values[number]);
    }
    QCOMPARE(stored(db, config.table).size(), 1);
    pressEnter(box(4));
    QVERIFY(box(1)->hasFocus());
    QCOMPARE(box(1)->text() + box(4)->text(), QStringLiteral("010"));

    // The next partner with the same address, contact and telephone: its name and four Enters.
    typeInto(box(1), "w1");
    for (int i = 0; i < 4; ++i)
        pressEnter(QApplication::focusWidget());
    const QList<QStringList> expected{{"同仁'堂", "~", "~", "~"},
                                      {"同仁'堂", "北京", "王*", "010"},
                                      {"w1", "北京", "王*", "010"}};
    QCOMPARE(stored(db, config.table), expected);
    QVERIFY(messages.texts.isEmpty());
}

void TestPartners::deleteTakesTheChosenRowAndIgnoresAnEmptyTable()
{
    TempStore db;
    MessageRecorder messages;
    db.exec("INSERT INTO yonghu (客户) VALUES ('甲'), ('乙')");
    PartnerFrm screen(db.store(), Partners::kehu());
    screen.show();
    click(&screen, "Command2"); // right after opening: the first row
    click(&screen, "Command2"); // no row chosen since the delete
    QCOMPARE(stored(db, "yonghu"), QList<QStringList>{QStringList({"乙", "~", "~", "~"})});
    auto *grid = findWidget<QAbstractItemView>(&screen, "DBGrid1");
    grid->setCurrentIndex(grid->model()->index(0, 0));
    click(&screen, "Command2");
    click(&screen, "Command2");
    QVERIFY(stored(db, "yonghu").isEmpty());
    QVERIFY(messages.texts.isEmpty());
}

QTEST_MAIN(TestPartners)
#include "tst_partners.moc"
