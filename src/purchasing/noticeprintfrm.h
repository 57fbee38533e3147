#pragma once

#include "printing/printwindow.h"

// What sets the two receiving notice windows apart: the screen they read and what it offers.
struct NoticeConfig
{
    PrintWindowSettings window;
    QString numberBox;   // the box holding the notice number
    QString supplierBox; // the supplier's combo box; empty where the screen has none
    QString headerLine;  // %1 the number, %2 the supplier, %3 today's date
};

// The notice of the pending lines of purchase entry ("jinhuodafrm").
NoticeConfig pendingLinesNotice();
// The reprint of the document found by the purchase document query ("jindandafrm").
NoticeConfig documentNotice();

// The receiving notice "购进入库验收通知单" of one delivery: the purchased lines in a ruled
// table with empty columns for the acceptance verdict, and a line for three signatures.
class NoticePrintFrm : public PrintWindow
{
    Q_OBJECT

public:
    NoticePrintFrm(const NoticeConfig &config, QWidget *openingScreen, QWidget *parent = nullptr);

    // Opens the notice for the screen, not modal (or lays an open one out afresh).
    static PrintWindow *open(QWidget *openingScreen, const NoticeConfig &config);

protected:
    bool PrintContent(QPrinter *target) override;
    void onPageHeading(int page) override;
    void onPageFoot(int page) override;

private:
    NoticeConfig m_config;
};
