#pragma once

#include "shell/datagrid.h"
#include "store/cursor.h"
#include "support/testsupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <memory>

// A fresh store, filled by the given statement, and a stock window over it that the test works
// through its widgets, as the user would.
template <typename Screen>
struct StockScreenDriver
{
    TempStore temp;
    MessageRecorder messages;
    std::unique_ptr<Screen> screen;

    explicit StockScreenDriver(const QString &insert)
    {
        temp.exec(insert);
        screen = std::make_unique<Screen>(temp.store());
        screen->show();
        QVERIFY(QTest::qWaitForWindowExposed(screen.get()));
    }

    DataGrid *grid() const { return findWidget<DataGrid>(screen.get(), "DBGrid1"); }
    QLineEdit *box(const QString &name) const { return findWidget<QLineEdit>(screen.get(), name); }
    int listedRows() const { return grid()->model()->rowCount(); }
    int column(const QString &name) const { return grid()->cursor()->columnIndex(name); }
    QStringList listedCodes() const
    {
        QStringList codes;
        for (int row = 0; row < listedRows(); ++row)
            codes << grid()->model()->index(row, column("编号")).data().toString();
        return codes;
    }

    // Replaces the box's text as a user would.
    void fill(const QString &boxName, const QString &text) const
    {
        box(boxName)->clear();
        typeInto(box(boxName), text);
    }
    void click(const QString &button) const
    {
        QTest::mouseClick(findWidget<QPushButton>(screen.get(), button), Qt::LeftButton);
    }
    void search(const QString &text) const
    {
        fill("Text1", text);
        click("Command1");
    }
    void chooseRow(int row) const { grid()->setCurrentIndex(grid()->model()->index(row, 1)); }
};
