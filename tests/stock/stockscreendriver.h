#pragma once

#include "shell/datagrid.h"
#include "store/cursor.h"
#include "store/cursormodel.h"
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

    explicit StockScreenDriver(const QString &insert = {})
    {
        if (!insert.isEmpty())
            temp.exec(insert);
        reopen();
    }
    void reopen()
    {
        screen.reset();
        screen = std::make_unique<Screen>(temp.store());
        screen->show();
        QVERIFY(QTest::qWaitForWindowExposed(screen.get()));
    }

    int stored(const QString &where = "1")
    {
        return temp.scalar("SELECT count(*) FROM kucun WHERE " + where).toInt();
    }
    DataGrid *grid() const { return findWidget<DataGrid>(screen.get(), "DBGrid1"); }
    QLineEdit *box(const QString &name) const { return findWidget<QLineEdit>(screen.get(), name); }
    int listedRows() const { return grid()->model()->rowCount(); }
    QModelIndex index(int row, const QString &column) const
    {
        return grid()->model()->index(row, grid()->cursorModel()->cursor()->columnIndex(column));
    }
    QString cell(int row, const QString &column) const { return index(row, column).data().toString(); }
    QStringList listedCodes() const
    {
        QStringList codes;
        for (int row = 0; row < listedRows(); ++row)
            codes << cell(row, "编号");
        return codes;
    }

    void fill(const QString &boxName, const QString &text) const
    {
        box(boxName)->clear();
        typeInto(box(boxName), text);
    }
    void click(const QString &button) const
    {
        QTest::mouseClick(findWidget<QPushButton>(screen.get(), button), Qt::LeftButton);
    }
    void search(const QString &text) const { fill("Text1", text); click("Command1"); }
    void chooseRow(int row) const
    {
        const QPoint cellCentre = grid()->visualRect(grid()->model()->index(row, 1)).center();
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cellCentre);
    }
    // Types into a cell's editor and ends the edit with Enter, staying on the row.
    void editCell(int row, const QString &column, const QString &text) const
    {
        grid()->setCurrentIndex(index(row, column));
        grid()->edit(index(row, column));
        QWidget *viewport = grid()->viewport();
        auto *editor = viewport->findChild<QLineEdit *>();
        QVERIFY(editor);
        editor->selectAll();
        typeKeys(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
    }
};
