#include "reference/qitafrm.h"
#include "support/testsupport.h"

#include <QLineEdit>

class TestQitafrm : public QObject
{
    Q_OBJECT

private slots:
    void save_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("purchase");
        QTest::addColumn<QString>("sales");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("stored"); // name|purchase counter|sales counter, Null as "~"
        // An empty name is stored as the empty text; blanks around a counter do not count.
        QTest::newRow("accepted") << "" << " 0 " << "999999999" << "设置完毕" << "|0.0|999999999.0";
        QTest::newRow("ten digits")
            << "" << "1234567890" << "1" << "进货单号必须是0或正整数（最多9位）" << "青杉|40.0|41.0";
        QTest::newRow("fraction") << "" << "1" << "1.5" << "销售单号必须是0或正整数（最多9位）"
                                  << "青杉|40.0|41.0";
        // All three are written together or not at all: the name waits for the counters.
        QTest::newRow("no counter row")
            << "" << "1" << "1" << "danjuhao 表中没有记录，设置未保存" << "青杉|~|~";
    }

    void save()
    {
        QFETCH(QString, name);
        QFETCH(QString, purchase);
        QFETCH(QString, sales);
        QFETCH(QString, message);
        QFETCH(QString, stored);
        TempStore db;
        MessageRecorder messages;
        db.exec("UPDATE gongsi SET 公司 = '青杉'");
        db.exec(QTest::currentDataTag() == QByteArray("no counter row")
                    ? "DELETE FROM danjuhao" : "UPDATE danjuhao SET 进货单号 = 40, 销售单号 = 41");
        QitaFrm screen(db.store());
        screen.show();
        const auto box = [&](const char *name) { return findWidget<QLineEdit>(&screen, name); };
        // The counters are offered as 1, the start of a fresh sequence, not read back.
        QCOMPARE(box("Text1")->text() + box("Text2")->text() + box("Text3")->text(), "青杉11");
        box("Text1")->setText(name);
        box("Text2")->setText(purchase);
        box("Text3")->setText(sales);
        const QString settings = "SELECT ifnull(公司, '~') || '|' || ifnull(进货单号, '~') || '|' "
                                 "|| ifnull(销售单号, '~') FROM gongsi LEFT JOIN danjuhao";
        QTest::mouseClick(findWidget<QWidget>(&screen, "Command1"), Qt::LeftButton);
        QCOMPARE(messages.texts, QStringList{message});
        QCOMPARE(db.scalar(settings).toString(), stored);
        box("Text2")->setText("9"); // leaving saves nothing
        QTest::mouseClick(findWidget<QWidget>(&screen, "Command2"), Qt::LeftButton);
        QVERIFY(!screen.isVisible());
        QCOMPARE(db.scalar(settings).toString(), stored);
    }
};

QTEST_MAIN(TestQitafrm)
#include "tst_qitafrm.moc"
