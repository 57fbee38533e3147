#include "reference/qitafrm.h"
#include "support/testsupport.h"

#include <QLineEdit>

namespace {

// The stored name and counters as "name|purchase|sales", Null (or no row) as "~".
QString settings(TempStore &db)
{
    const QVariantList values = db.rows("SELECT 公司 FROM gongsi").value(0)
                                + db.rows("SELECT 进货单号, 销售单号 FROM danjuhao").value(0);
    QStringList texts;
    for (int i = 0; i < 3; ++i)
        texts << (values.value(i).isNull() ? QStringLiteral("~") : values[i].toString());
    return texts.join('|');
}

} // namespace

class TestQitafrm : public QObject
{
    Q_OBJECT

private slots:
    void save_data()
    {
        QTest::addColumn<QString>("counters"); // the row of danjuhao as SQL values, "" for none
        QTest::addColumn<QString>("shown");    // name and counters in the boxes on opening
        QTest::addColumn<QString>("purchase"); // typed; "=" keeps what the box shows
        QTest::addColumn<QString>("sales");
        QTest::addColumn<bool>("answer");      // to "单据号可能重复，确定吗？"
        QTest::addColumn<QString>("questions");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("stored");
        const QString lowering = "单据号可能重复，确定吗？";
        // Saving only to rename the company keeps the counters.
        QTest::newRow("counters kept") << "40, 41" << "青杉|40|41" << "=" << "=" << false << ""
                                       << "设置完毕" << "新名|40|41";
        QTest::newRow("raised") << "40, 41" << "青杉|40|41" << " 50 " << "999999999" << false
                                << "" << "设置完毕" << "新名|50|999999999";
        QTest::newRow("lowered, confirmed") << "40, 41" << "青杉|40|41" << "0" << "=" << true
                                            << lowering << "设置完毕" << "新名|0|41";
        QTest::newRow("lowered, declined") << "40, 41" << "青杉|40|41" << "=" << "40" << false
                                           << lowering << "" << "青杉|40|41";
        QTest::newRow("ten digits") << "40, 41" << "青杉|40|41" << "1234567890" << "=" << true
                                    << "" << "进货单号必须是0或正整数（最多9位）"
                                    << "青杉|40|41";
        QTest::newRow("fraction") << "40, 41" << "青杉|40|41" << "=" << "41.5" << true << ""
                                  << "销售单号必须是0或正整数（最多9位）" << "青杉|40|41";
        // Empty counters show as empty boxes, and nothing stored is "lowered".
        QTest::newRow("null counters") << "NULL, NULL" << "青杉||" << "3" << "0" << false << ""
                                       << "设置完毕" << "新名|3|0";
        // All three are written together or not at all: the name waits for the counters.
        QTest::newRow("no counter row") << "" << "青杉||" << "1" << "1" << true << ""
                                        << "danjuhao 表中没有记录，设置未保存" << "青杉|~|~";
    }

    void save()
    {
        QFETCH(QString, counters);
        QFETCH(QString, shown);
        QFETCH(QString, purchase);
        QFETCH(QString, sales);
        QFETCH(bool, answer);
        QFETCH(QString, questions);
        QFETCH(QString, message);
        QFETCH(QString, stored);
        TempStore db;
        MessageRecorder messages;
        messages.answer = answer;
        db.exec("UPDATE gongsi SET 公司 = '青杉'");
        db.exec("DELETE FROM danjuhao");
        if (!counters.isEmpty())
            db.exec("INSERT INTO danjuhao VALUES (" + counters + ")");
        QitaFrm screen(db.store());
        screen.show();
        const auto box = [&](const char *name) { return findWidget<QLineEdit>(&screen, name); };
        QCOMPARE(QStringList({box("Text1")->text(), box("Text2")->text(), box("Text3")->text()})
                     .join('|'),
                 shown);
        box("Text1")->setText("新名");
        if (purchase != "=")
            box("Text2")->setText(purchase);
        if (sales != "=")
            box("Text3")->setText(sales);
        QTest::mouseClick(findWidget<QWidget>(&screen, "Command1"), Qt::LeftButton);
        QCOMPARE(messages.questions, questions.isEmpty() ? QStringList() : QStringList{questions});
        QCOMPARE(messages.texts, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(settings(db), stored);
        box("Text2")->setText("9"); // leaving saves nothing
        QTest::mouseClick(findWidget<QWidget>(&screen, "Command2"), Qt::LeftButton);
        QVERIFY(!screen.isVisible());
        QCOMPARE(settings(db), stored);
    }

    void lowersAgainstTheCountersStoredNow()
    {
        TempStore db;
        MessageRecorder messages;
        db.exec("UPDATE danjuhao SET 进货单号 = 40, 销售单号 = 41");
        QitaFrm screen(db.store());
        screen.show();
        // A purchase posted while the screen stands open raised the counter past the box.
        db.exec("UPDATE danjuhao SET 进货单号 = 42");
        messages.answer = false;
        QTest::mouseClick(findWidget<QWidget>(&screen, "Command1"), Qt::LeftButton);
        QCOMPARE(messages.questions, QStringList{"单据号可能重复，确定吗？"});
        QCOMPARE(db.scalar("SELECT 进货单号 FROM danjuhao").toDouble(), 42.0);
    }
};

QTEST_MAIN(TestQitafrm)
#include "tst_qitafrm.moc"
