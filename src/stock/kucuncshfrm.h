#pragma once

#include "stock/stockscreen.h"

// Stock initialisation: the opening stock is typed straight into the grid over the stock table;
// rows are added and deleted by the buttons.
class KucuncshFrm : public StockScreen
{
    Q_OBJECT

public:
    explicit KucuncshFrm(Store &store, QWidget *parent = nullptr);

private:
    void search();
    void addRow();
    void deleteRow();
    void deleteAllRows();

    QPushButton *Command2;
    QPushButton *Command3;
    QPushButton *Command4;
};
