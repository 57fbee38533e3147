#include "insight/xiaxianfrm.h"
#include "insight/yujingfrm.h"
#include "shell/celldelegate.h"
#include "shell/datagrid.h"
#include "support/testsupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace {

// The minimums screen and the low-stock list over one store, worked through their widgets.
struct LowStock
{
    TempStore temp;
    MessageRecorder messages;
    XiaxianFrm minimums{temp.store()};

    LowStock()
    {
        minimums.show();
        QVERIFY(QTest::qWaitForWindowExposed(&minimums));
    }

    void add(const QString &code, const QString &minimum)
    {
        for (const auto &[box, text] : {std::pair{"Text1", code}, std::pair{"Text2", minimum}}) {
            auto *edit = findWidget<QLineEdit>(&minimums, box);
            edit->clear();
            typeInto(edit, text);
        }
        pressEnter(findWidget<QLineEdit>(&minimums, "Text2"));
    }
    QList<QVariantList> stored()
    {
        return temp.rows("SELECT 编号, 下限 FROM kucunxiaxian ORDER BY rowid");
    }
    // Each row's cells as the grid shows them (money with two decimals).
    static QStringList listed(QWidget *screen)
    {
        auto *grid = findWidget<QTableView>(screen, "DBGrid1");
        auto *delegate = qobject_cast<CellDelegate *>(grid->itemDelegate());
        QStringList rows;
        const QAbstractItemModel *model = grid->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < model->columnCount(); ++column) {
                QStyleOptionViewItem cell;
                delegate->initStyleOption(&cell, model->index(row, column));
                cells << cell.text;
            }
            rows << cells.join('|');
        }
        return rows;
    }
};

} // namespace

class tst_LowStock : public QObject
{
    Q_OBJECT

private slots:
    // Enter in the minimum adds the pair; an empty code, a minimum that is no number or is
    // negative, and a code already there (in any letter case) are refused and change nothing.
    void minimumsAreAddedChecked()
    {
        LowStock s;
        s.add("DG01", "10");
        s.add(" HQ01 ", "2.5");
        QCOMPARE(s.stored(), (QList<QVariantList>{{"DG01", 10.0}, {"HQ01", 2.5}}));
        QVERIFY(s.messages.texts.isEmpty());
        QCOMPARE(findWidget<QLineEdit>(&s.minimums, "Text1")->text(), QString());

        const QList<QPair<QStringList, QString>> refused = {
            {{"", "3"}, "编号不能空"},
            {{"GC01", "三"}, "下限应为不小于 0 的数"},
            {{"GC01", "-1"}, "下限应为不小于 0 的数"},
            {{"dg01", "4"}, "重复，不能添加"},
        };
        for (const auto &[typed, message] : refused) {
            s.add(typed[0], typed[1]);
            QCOMPARE(s.messages.last(), message);
        }
        QCOMPARE(s.stored().size(), 2);
        QCOMPARE(LowStock::listed(&s.minimums), (QStringList{"DG01|10", "HQ01|2.5"}));
    }

    // A minimum changed in the grid is kept when the user leaves the row; the chosen row is
    // deleted, and with none chosen the user is told.
    void minimumsAreChangedAndDeletedInTheGrid()
    {
        LowStock s;
        s.add("DG01", "10");
        s.add("HQ01", "5");
        auto *grid = findWidget<DataGrid>(&s.minimums, "DBGrid1");
        QVERIFY(editGridCell(grid, 0, 1, "12"));
        grid->setCurrentIndex(grid->model()->index(1, 0));
        QCOMPARE(s.stored().first(), (QVariantList{"DG01", 12.0}));
        QVERIFY(editGridCell(grid, 1, 1, "很多"));
        QCOMPARE(s.messages.last(), QString("下限：“很多”不是数字，未修改"));

        QTest::mouseClick(findWidget<QPushButton>(&s.minimums, "Command2"), Qt::LeftButton);
        QCOMPARE(s.stored(), (QList<QVariantList>{{"DG01", 12.0}}));
        QTest::mouseClick(findWidget<QPushButton>(&s.minimums, "Command2"), Qt::LeftButton);
        QCOMPARE(s.messages.last(), QString("请先在表格中选择一条记录"));
        QCOMPARE(s.stored().size(), 1);
    }

    // The list sums every batch of a code, leaves out codes without a minimum and codes at or
    // above theirs, and refreshes on the button.
    void theWarningListFollowsStockAndMinimums()
    {
        LowStock s;
        s.temp.exec("INSERT INTO kucun (编号, 品名, 库存数量) VALUES ('DG01', '当归', 4), "
                    "('DG01', '当归', 3), ('HQ01', '黄芪', 1), ('GC01', '甘草', 0)");
        s.temp.exec("INSERT INTO jinhuo (日期, 编号, 品名, 厂家, 进价) VALUES "
                    "('2026-01-05', 'DG01', '当归', '*', 4.5), "
                    "('2026-03-05', 'HQ01', '黄芪', '北方药厂', 12)");
        s.add("DG01", "8");
        s.add("HQ01", "1");
        YujingFrm warnings(s.temp.store());
        warnings.show();
        QCOMPARE(LowStock::listed(&warnings),
                 QStringList{"DG01|当归|7|8|1||4.50|2026-01-05"});
        QCOMPARE(findWidget<QLineEdit>(&warnings, "Text2")->text(), QString("1"));

        s.temp.exec("INSERT INTO kucunxiaxian (编号, 下限) VALUES ('HQ01', 1.5)");
        s.temp.exec("UPDATE kucun SET 库存数量 = 1.5 WHERE 编号 = 'DG01' AND 库存数量 = 3");
        QTest::mouseClick(findWidget<QPushButton>(&warnings, "Command1"), Qt::LeftButton);
        QCOMPARE(LowStock::listed(&warnings),
                 (QStringList{"DG01|当归|5.5|8|2.5||4.50|2026-01-05",
                              "HQ01|黄芪|1|1.5|0.5|北方药厂|12.00|2026-03-05"}));
        QVERIFY(s.messages.texts.isEmpty());
    }
};

QTEST_MAIN(tst_LowStock)
#include "tst_lowstock.moc"
