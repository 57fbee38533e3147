#include "reference/lookuplistfrm.h"
#include "shell/datagrid.h"
#include "support/testsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

Q_DECLARE_METATYPE(LookupListConfig)

class TestLookupLists : public QObject
{
    Q_OBJECT

private slots:
    void addAndDelete_data();
    void addAndDelete();
};

void TestLookupLists::addAndDelete_data()
{
    QTest::addColumn<LookupListConfig>("config");
    QTest::newRow("kufangfrm") << LookupLists::kufang();
    QTest::newRow("danweifrm") << LookupLists::danwei();
    QTest::newRow("fenleifrm") << LookupLists::fenlei();
    QTest::newRow("gongnengfrm") << LookupLists::gongneng();
}

void TestLookupLists::addAndDelete()
{
    QFETCH(LookupListConfig, config);
    TempStore db;
    MessageRecorder messages;
    db.exec(QStringLiteral("INSERT INTO %1 VALUES ('甲'), ('乙')").arg(config.table));
    LookupListFrm screen(db.store(), config);
    screen.show();
    QCOMPARE(findWidget<QLabel>(&screen, "Label1")->text(), config.label);
    auto *grid = findWidget<DataGrid>(&screen, "DBGrid1");
    const auto click = [&screen](const char *button) {
        QTest::mouseClick(findWidget<QPushButton>(&screen, button), Qt::LeftButton);
    };
    // The entries in order, Null shown as "~" so that it differs from the empty text.
    const auto entries = [&] {
        QStringList texts;
        for (const QVariantList &row : db.rows("SELECT * FROM " + config.table + " ORDER BY rowid"))
            texts << (row[0].isNull() ? QStringLiteral("~") : row[0].toString());
        return texts;
    };

    click("Command2"); // right after opening: the first entry
    click("Command2"); // no row chosen since the delete
    QCOMPARE(entries(), QStringList{"乙"});
    click("Command1"); // an empty box adds an empty entry
    typeInto(findWidget<QLineEdit>(&screen, "Text1"), " 东'库 ");
    click("Command1");
    click("Command1");
    QCOMPARE(entries(), (QStringList{"乙", "", " 东'库 ", " 东'库 "}));
    QCOMPARE(grid->model()->rowCount(), 4);

    grid->setCurrentIndex(grid->model()->index(1, 0));
    click("Command2");
    QCOMPARE(entries(), (QStringList{"乙", " 东'库 ", " 东'库 "}));
    for (int row : {2, 0, 0}) {
        grid->setCurrentIndex(grid->model()->index(row, 0));
        click("Command2");
    }
    click("Command2"); // empty list: nothing to do, nothing said
    QVERIFY(entries().isEmpty());
    QVERIFY(messages.texts.isEmpty());
}

QTEST_MAIN(TestLookupLists)
#include "tst_lookuplists.moc"
