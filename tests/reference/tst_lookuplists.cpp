#include "reference/lookuplistfrm.h"
#include "shell/datagrid.h"
#include "support/testsupport.h"

#include <QLabel>

class TestLookupLists : public QObject
{
    Q_OBJECT

private slots:
    // Each list screen, with the label that also names the table's one column.
    void addAndDelete()
    {
        const QList<std::pair<LookupListConfig, QString>> screens{
            {LookupLists::kufang(), "库房"}, {LookupLists::danwei(), "单位"},
            {LookupLists::fenlei(), "分类"}, {LookupLists::gongneng(), "功能"}};
        for (const auto &[config, label] : screens) {
            TempStore db;
            MessageRecorder messages;
            db.exec(QStringLiteral("INSERT INTO %1 VALUES ('甲'), ('乙')").arg(config.table));
            LookupListFrm screen(db.store(), config);
            screen.show();
            QCOMPARE(findWidget<QLabel>(&screen, "Label1")->text(), label);
            auto *grid = findWidget<DataGrid>(&screen, "DBGrid1");
            const auto click = [&](const char *button, int row = -1) {
                if (row >= 0)
                    grid->setCurrentIndex(grid->model()->index(row, 0));
                QTest::mouseClick(findWidget<QWidget>(&screen, button), Qt::LeftButton);
            };
            // The entries in order; a Null would show as "~", unlike the empty text.
            const auto entries = [&] {
                return db.joined(config.table, QString("coalesce(%1, '~')").arg(label));
            };

            click("Command1"); // an empty box adds an empty entry
            typeInto(findWidget<QWidget>(&screen, "Text1"), " 东'库 ");
            click("Command1");
            click("Command1"); // the lists take the same entry twice
            QCOMPARE(entries(), QStringLiteral("甲,乙,, 东'库 , 东'库 "));
            QCOMPARE(grid->model()->rowCount(), 5);
            click("Command2", 2);
            QCOMPARE(entries(), QStringLiteral("甲,乙, 东'库 , 东'库 "));
            QVERIFY(messages.texts.isEmpty());
        }
    }
};

QTEST_MAIN(TestLookupLists)
#include "tst_lookuplists.moc"
