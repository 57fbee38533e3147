#pragma once

#include "printing/printwindow.h"

// What sets the two sales slip windows apart: the screen they read and what it offers.
struct SlipConfig
{
    PrintWindowSettings window;
    QString numberBox;   // the box holding the document number
    QString customerBox; // the customer's combo box; empty where the screen has none
    QString countBox;    // the number of lines, as the screen shows it
    QString totalBox;    // the money total, as the screen shows it
    QString rateBox;     // the discount rate in percent; empty where no discount is printed
    QString headerLine;  // %1 the number, %2 the customer, %3 today's date
};

// The slip of the pending lines of sales entry ("xiaoshoudafrm").
SlipConfig pendingLinesSlip();
// The reprint of the document found by the sales document query ("xiaodandafrm").
SlipConfig documentSlip();

// The sales slip "药材销售单" of one sale: the company's name in the title, the sold lines in a
// ruled table, a totals row with the discounted total where the screen gives a rate, and a line
// for three signatures.
class SlipPrintFrm : public PrintWindow
{
    Q_OBJECT

public:
    SlipPrintFrm(const SlipConfig &config, QWidget *openingScreen, QWidget *parent = nullptr);

    // Opens the slip for the screen, not modal (or lays an open one out afresh).
    static PrintWindow *open(QWidget *openingScreen, const SlipConfig &config);

protected:
    bool PrintContent(QPrinter *target) override;
    void onPageHeading(int page) override;

private:
    QString totalsText() const;

    SlipConfig m_config;
    QString m_title;
};
