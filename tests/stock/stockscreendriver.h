#pragma once

#include "shell/datagrid.h"
#include "store/cursor.h"
#include "store/cursormodel.h"
#include "support/testsupport.h"

#include <QLineEdit>
#include <QPushButton>

// Works a stock window through its widgets, as the user would.
class StockScreenDriver
{
public:
    explicit StockScreenDriver(QWidget *screen) : m_screen(screen)
    {
        m_screen->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_screen));
    }

    DataGrid *grid() const { return findWidget<DataGrid>(m_screen, "DBGrid1"); }
    QLineEdit *box(const QString &name) const { return findWidget<QLineEdit>(m_screen, name); }
    int listedRows() const { return grid()->model()->rowCount(); }

    void fill(const QString &boxName, const QString &text) const
    {
        box(boxName)->clear();
        typeInto(box(boxName), text);
    }
    void click(const QString &button) const
    {
        QTest::mouseClick(findWidget<QPushButton>(m_screen, button), Qt::LeftButton);
    }
    void search(const QString &text) const
    {
        fill("Text1", text);
        click("Command1");
    }
    void chooseRow(int row) const
    {
        DataGrid *view = grid();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(row, 1)).center());
    }
    QString cell(int row, const QString &column) const
    {
        const int index = grid()->cursorModel()->cursor()->columnIndex(column);
        return grid()->model()->index(row, index).data().toString();
    }
    QStringList listedCodes() const
    {
        QStringList codes;
        for (int row = 0; row < listedRows(); ++row)
            codes << cell(row, "编号");
        return codes;
    }
    // Types into a cell's editor and ends the edit with Enter, staying on the row.
    void editCell(int row, const QString &column, const QString &text) const
    {
        DataGrid *view = grid();
        const QModelIndex index =
            view->model()->index(row, view->cursorModel()->cursor()->columnIndex(column));
        view->setCurrentIndex(index);
        view->edit(index);
        auto *editor = view->viewport()->findChild<QLineEdit *>();
        QVERIFY(editor);
        editor->selectAll();
        typeKeys(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
    }

private:
    QWidget *m_screen;
};
