#pragma once

#include "shell/childscreen.h"
#include "store/insightqueries.h"

class QLabel;
class QLineEdit;
class QPushButton;
class ReportGrid;

// Low stock: each herb code whose stock, summed over all its rows, is below the minimum set for
// it, with the shortfall and where and at what price it was last bought.
class YujingFrm : public ChildScreen
{
    Q_OBJECT

public:
    explicit YujingFrm(Store &store, QWidget *parent = nullptr);

private:
    void buildControls();
    void refresh();

    QLabel *Label1;
    QPushButton *Command1;
    QLineEdit *Text2; // herbs listed
    ReportGrid *DBGrid1;
    QVector<InsightQueries::LowStockHerb> m_herbs; // what the grid shows
};
