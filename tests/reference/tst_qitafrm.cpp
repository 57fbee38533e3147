#include "reference/qitafrm.h"
#include "support/testsupport.h"

#include <QLineEdit>
#include <QPushButton>

class TestQitafrm : public QObject
{
    Q_OBJECT

private slots:
    void counters_data();
    void counters();
    void opensWithTheNameAndFreshCounters();
    void missingCounterRowStoresNothing();
};

static void setBox(QWidget *screen, const char *name, const QString &text)
{
    auto *box = findWidget<QLineEdit>(screen, name);
    box->clear();
    typeInto(box, text);
}

static QVariantList storedSettings(TempStore &db)
{
    return {db.scalar(QStringLiteral("SELECT 公司 FROM gongsi")),
            db.scalar(QStringLiteral("SELECT 进货单号 FROM danjuhao")),
            db.scalar(QStringLiteral("SELECT 销售单号 FROM danjuhao"))};
}

void TestQitafrm::counters_data()
{
    QTest::addColumn<QString>("purchase");
    QTest::addColumn<QString>("sales");
    QTest::addColumn<QString>("message"); // empty: accepted
    const QString badPurchase = QStringLiteral("进货单号必须是0或正整数（最多9位）");
    const QString badSales = QStringLiteral("销售单号必须是0或正整数（最多9位）");
    QTest::newRow("whole numbers") << "5" << "12" << QString();
    QTest::newRow("zero and blanks around") << "0" << " 7 " << QString();
    QTest::newRow("nine digits") << "999999999" << "1" << QString();
    QTest::newRow("negative") << "-1" << "1" << badPurchase;
    QTest::newRow("fraction") << "1" << "1.5" << badSales;
    QTest::newRow("text") << "abc" << "1" << badPurchase;
    QTest::newRow("empty") << "1" << "" << badSales;
    QTest::newRow("exponent") << "1e3" << "1" << badPurchase;
    QTest::newRow("ten digits") << "1234567890" << "1" << badPurchase;
    QTest::newRow("quote") << "1" << "1'" << badSales;
}

void TestQitafrm::counters()
{
    QFETCH(QString, purchase);
    QFETCH(QString, sales);
    QFETCH(QString, message);
    TempStore db;
    MessageRecorder messages;
    db.exec(QStringLiteral("UPDATE danjuhao SET 进货单号 = 40, 销售单号 = 41"));
    QitaFrm screen(db.store());
    screen.show();
    setBox(&screen, "Text1", QStringLiteral("岚溪'药材"));
    setBox(&screen, "Text2", purchase);
    setBox(&screen, "Text3", sales);
    QTest::mouseClick(findWidget<QPushButton>(&screen, "Command1"), Qt::LeftButton);

    if (message.isEmpty()) {
        QCOMPARE(messages.texts, QStringList{"设置完毕"});
        QCOMPARE(storedSettings(db), (QVariantList{"岚溪'药材", purchase.trimmed().toDouble(),
                                                   sales.trimmed().toDouble()}));
    } else {
        QCOMPARE(messages.texts, QStringList{message});
        QCOMPARE(storedSettings(db), (QVariantList{"岚溪材进销存", 40.0, 41.0}));
    }
}

void TestQitafrm::opensWithTheNameAndFreshCounters()
{
    TempStore db;
    MessageRecorder messages;
    db.exec(QStringLiteral("UPDATE danjuhao SET 进货单号 = 40, 销售单号 = 41"));
    db.exec(QStringLiteral("UPDATE gongsi SET 公司 = '青杉药行'"));
    QitaFrm screen(db.store());
    screen.show();
    QCOMPARE(findWidget<QLineEdit>(&screen, "Text1")->text(), QStringLiteral("青杉药行"));

    // Untouched counter boxes set both counters back to 1; an empty name is stored as such.
    setBox(&screen, "Text1", QString());
    QTest::mouseClick(findWidget<QPushButton>(&screen, "Command1"), Qt::LeftButton);
    QCOMPARE(storedSettings(db), (QVariantList{"", 1.0, 1.0}));
    QVERIFY(!storedSettings(db)[0].isNull());
    QVERIFY(screen.isVisible());

    setBox(&screen, "Text2", QStringLiteral("9"));
    QTest::mouseClick(findWidget<QPushButton>(&screen, "Command2"), Qt::LeftButton);
    QVERIFY(!screen.isVisible());
    QCOMPARE(storedSettings(db), (QVariantList{"", 1.0, 1.0}));
    QCOMPARE(messages.texts, QStringList{"设置完毕"});
}

void TestQitafrm::missingCounterRowStoresNothing()
{
    TempStore db;
    MessageRecorder messages;
    db.exec(QStringLiteral("DELETE FROM danjuhao"));
    QitaFrm screen(db.store());
    screen.show();
    setBox(&screen, "Text1", QStringLiteral("新名"));
    QTest::mouseClick(findWidget<QPushButton>(&screen, "Command1"), Qt::LeftButton);
    QCOMPARE(messages.texts.size(), 1);
    QVERIFY(messages.last() != QStringLiteral("设置完毕"));
    QCOMPARE(db.scalar(QStringLiteral("SELECT 公司 FROM gongsi")).toString(),
             QStringLiteral("岚溪材进销存"));
}

QTEST_MAIN(TestQitafrm)
#include "tst_qitafrm.moc"
