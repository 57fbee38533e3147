#pragma once

#include "stock/stockscreen.h"

// Stock query: lists the stock with the number of rows (品种) and the money tied up in it
// (占用资金).
class KucunchaFrm : public StockScreen
{
    Q_OBJECT

public:
    explicit KucunchaFrm(Store &store, QWidget *parent = nullptr);

private:
    void showAll();
    void search();
    // Fills the totals for the rows of the filter, then lists them.
    void showStock(const Filter &filter);

    QPushButton *Command2;
    QLabel *Label2;
    QLineEdit *Text2;
    QLabel *Label3;
    QLineEdit *Text3;
};
