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
};

static void setBox(QWidget *screen, const char *name, const QString &text)
{
    auto *box = findWidget<QLineEdit>(screen, name);
    box->clear();
    typeInto(box, text);
}

static void click(QWidget *screen, const char *button)
{
    QTest::mouseClick(findWidget<QPushButton>(screen, button), Qt::LeftButton);
}

static QVariantList storedSettings(TempStore &db)
{
    return {db.scalar("SELECT 公司 FROM gongsi"), db.scalar("SELECT 进货单号 FROM danjuhao"),
            db.scalar("SELECT 销售单号 FROM danjuhao")};
}

void TestQitafrm::counters_data()
{
    QTest::addColumn<QString>("purchase");
    QTest::addColumn<QString>("sales");
    QTest::addColumn<QString>("message"); // empty: accepted
    const QString badPurchase = "进货单号必须是0或正整数（最多9位）";
    const QString badSales = "销售单号必须是0或正整数（最多9位）";
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
    // All three values are written together or not at all: the name waits for the counters.
    QTest::newRow("no counter row") << "1" << "1" << "danjuhao 表中没有记录，设置未保存";
}

void TestQitafrm::counters()
{
    QFETCH(QString, purchase);
    QFETCH(QString, sales);
    QFETCH(QString, message);
    TempStore db;
    MessageRecorder messages;
    const bool counterRow = QByteArray(QTest::currentDataTag()) != "no counter row";
    db.exec(counterRow ? "UPDATE danjuhao SET 进货单号 = 40, 销售单号 = 41" : "DELETE FROM danjuhao");
    QitaFrm screen(db.store());
    screen.show();
    setBox(&screen, "Text1", "岚溪'药材");
    setBox(&screen, "Text2", purchase);
    setBox(&screen, "Text3", sales);
    click(&screen, "Command1");

    QCOMPARE(messages.texts, QStringList{message.isEmpty() ? "设置完毕" : message});
    const QVariantList expected = message.isEmpty()
        ? QVariantList{"岚溪'药材", purchase.trimmed().toDouble(), sales.trimmed().toDouble()}
        : QVariantList{"岚溪材进销存", 40.0, 41.0};
    QCOMPARE(storedSettings(db).mid(0, counterRow ? 3 : 1), expected.mid(0, counterRow ? 3 : 1));
}

void TestQitafrm::opensWithTheNameAndFreshCounters()
{
    TempStore db;
    MessageRecorder messages;
    db.exec("UPDATE danjuhao SET 进货单号 = 40, 销售单号 = 41");
    db.exec("UPDATE gongsi SET 公司 = '青杉药行'");
    QitaFrm screen(db.store());
    screen.show();
    QCOMPARE(findWidget<QLineEdit>(&screen, "Text1")->text(), QStringLiteral("青杉药行"));

    // Untouched counter boxes set both counters back to 1; an empty name is stored as such.
    setBox(&screen, "Text1", QString());
    click(&screen, "Command1");
    QCOMPARE(storedSettings(db), (QVariantList{"", 1.0, 1.0}));
    QVERIFY(!storedSettings(db)[0].isNull());
    QVERIFY(screen.isVisible());

    setBox(&screen, "Text2", "9"); // leaving saves nothing
    click(&screen, "Command2");
    QVERIFY(!screen.isVisible());
    QCOMPARE(storedSettings(db), (QVariantList{"", 1.0, 1.0}));
    QCOMPARE(messages.texts, QStringList{"设置完毕"});
}

QTEST_MAIN(TestQitafrm)
#include "tst_qitafrm.moc"
