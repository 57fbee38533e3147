#include "reference/partnerfrm.h"
#include "support/testsupport.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

Q_DECLARE_METATYPE(PartnerConfig)

// A stored row as text, Null shown as "~" so that it differs from the empty text.
static QStringList shown(const QVariantList &row)
{
    QStringList texts;
    for (const QVariant &value : row)
        texts << (value.isNull() ? QStringLiteral("~") : value.toString());
    return texts;
}

class TestPartners : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void boxesFillTheirColumns_data();
    void boxesFillTheirColumns();
    void enterInTheFourthBoxStartsTheNextPartner();
    void deleteTakesTheChosenRowAndIgnoresAnEmptyTable();

private:
    void openScreen(const PartnerConfig &config);
    QLineEdit *box(int number)
    {
        return findWidget<QLineEdit>(m_screen.get(), QStringLiteral("Text%1").arg(number));
    }
    void click(const char *button)
    {
        QTest::mouseClick(findWidget<QPushButton>(m_screen.get(), button), Qt::LeftButton);
    }
    QList<QStringList> stored(const QString &table);

    std::unique_ptr<TempStore> m_db;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<PartnerFrm> m_screen;
};

void TestPartners::init()
{
    m_db = std::make_unique<TempStore>();
    m_messages = std::make_unique<MessageRecorder>();
}

void TestPartners::cleanup()
{
    QVERIFY(m_messages->texts.isEmpty());
    m_screen.reset();
    m_messages.reset();
    m_db.reset();
}

void TestPartners::openScreen(const PartnerConfig &config)
{
    m_screen = std::make_unique<PartnerFrm>(m_db->store(), config);
    m_screen->show();
    m_screen->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_screen.get()));
}

QList<QStringList> TestPartners::stored(const QString &table)
{
    QList<QStringList> rows;
    for (const QVariantList &row : m_db->rows(QStringLiteral("SELECT * FROM %1").arg(table)))
        rows << shown(row);
    return rows;
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
    openScreen(config);
    for (int i = 0; i < 4; ++i) {
        const QString name = QStringLiteral("Label%1").arg(i + 1);
        QCOMPARE(findWidget<QLabel>(m_screen.get(), name)->text(), labels[i]);
    }

    typeInto(box(1), QStringLiteral("同仁'堂"));
    click("Command1");
    typeInto(box(2), QStringLiteral("北京"));
    typeInto(box(3), QStringLiteral("王*"));
    typeInto(box(4), QStringLiteral("010"));
    click("Command1");

    const QList<QStringList> expected{{"同仁'堂", "~", "~", "~"},
                                      {"同仁'堂", "北京", "王*", "010"}};
    QCOMPARE(stored(config.table), expected);
    QCOMPARE(box(1)->text(), QStringLiteral("同仁'堂"));
}

void TestPartners::enterInTheFourthBoxStartsTheNextPartner()
{
    openScreen(Partners::gonghuo());
    for (int number = 1; number <= 3; ++number) {
        typeInto(box(number), QStringLiteral("v%1").arg(number));
        pressEnter(box(number));
        QVERIFY(box(number + 1)->hasFocus());
    }
    QVERIFY(stored("changjia").isEmpty());
    typeInto(box(4), QStringLiteral("v4"));
    pressEnter(box(4));
    QVERIFY(box(1)->hasFocus());
    QCOMPARE(box(1)->text(), QString());
    QCOMPARE(box(4)->text(), QStringLiteral("v4"));

    // The next supplier with the same address, contact and telephone: its name and four Enters.
    typeInto(box(1), QStringLiteral("w1"));
    for (int i = 0; i < 4; ++i)
        pressEnter(QApplication::focusWidget());
    const QList<QStringList> expected{{"v1", "v2", "v3", "v4"}, {"w1", "v2", "v3", "v4"}};
    QCOMPARE(stored("changjia"), expected);
}

void TestPartners::deleteTakesTheChosenRowAndIgnoresAnEmptyTable()
{
    m_db->exec(QStringLiteral("INSERT INTO yonghu (客户) VALUES ('甲'), ('乙')"));
    openScreen(Partners::kehu());
    click("Command2"); // right after opening: the first row
    click("Command2"); // no row chosen since the delete
    QCOMPARE(stored("yonghu"), QList<QStringList>{QStringList({"乙", "~", "~", "~"})});
    auto *grid = findWidget<QAbstractItemView>(m_screen.get(), "DBGrid1");
    grid->setCurrentIndex(grid->model()->index(0, 0));
    click("Command2");
    click("Command2");
    QVERIFY(stored("yonghu").isEmpty());
}

QTEST_MAIN(TestPartners)
#include "tst_partners.moc"
