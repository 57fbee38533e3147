#pragma once

#include "shell/childscreen.h"

class QChart;
class QChartView;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

// The business at a glance, one page each: purchase and sales amounts per month over the last
// twelve months, the ten herbs sold for the most money in a chosen period, and the stock's
// value at cost per store room. Each chart can be saved as a PNG picture.
class GaikuangFrm : public ChildScreen
{
    Q_OBJECT

public:
    explicit GaikuangFrm(Store &store, QWidget *parent = nullptr);

    static constexpr int Months = 12;
    static constexpr int TopHerbs = 10;

private:
    QWidget *buildMonthsPage();
    QWidget *buildTopPage();
    QWidget *buildStockPage();
    QPushButton *saveButton(const QString &name, QChartView *view, const QString &fileName);

    void showMonths();
    void showTopSales();
    void showStockValue();
    void report(const QString &problem);

    QTabWidget *TabStrip1;
    QChartView *Chart1; // months
    QLabel *Label1;
    QPushButton *Command1;
    QLineEdit *Text1; // from
    QLineEdit *Text2; // to
    QPushButton *Command2;
    QChartView *Chart2; // top sales
    QPushButton *Command3;
    QLineEdit *Text3; // stock value
    QChartView *Chart3; // stock value per store room
    QPushButton *Command4;
};
