#pragma once

#include "stock/stockscreen.h"

#include <optional>

// Stock write-off: takes a damaged quantity out of one stock row, or the whole row.
class BaosunFrm : public StockScreen
{
    Q_OBJECT

public:
    explicit BaosunFrm(Store &store, QWidget *parent = nullptr);

private:
    void search();
    void writeOffQuantity();
    void writeOffRow();
    // The quantity typed in Text2 when it can be written off the current row; otherwise the
    // user is told why and there is no value.
    std::optional<double> quantityToWriteOff();
    // Whether the quantity can come off the current row as it is stored now; otherwise the
    // user is told why.
    bool canWriteOff(double quantity);

    QLabel *Label2;
    QLineEdit *Text2;
    QPushButton *Command2;
    QPushButton *Command3;
};
