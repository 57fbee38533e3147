#pragma once

#include "shell/childscreen.h"

class QLabel;
class QLineEdit;
class QPushButton;
class ReportGrid;
namespace InsightQueries {
struct ExpiryList;
}

// Near-expiry stock: the batches on hand whose expiry date is past or within the set number of
// days, earliest first, expired ones in red, with their totals; batches whose date does not read
// are listed apart so that none is left out. The number of days is kept for the sales warning.
class XiaoqiFrm : public ChildScreen
{
    Q_OBJECT

public:
    explicit XiaoqiFrm(Store &store, QWidget *parent = nullptr);

private:
    void buildControls();
    // Keeps a changed number of days, then lists the batches for it.
    void query();
    void showBatches(const InsightQueries::ExpiryList &list);

    QLabel *Label1;
    QLineEdit *Text1; // number of days
    QPushButton *Command1;
    ReportGrid *DBGrid1; // expired and near
    QLineEdit *Text2;    // batches
    QLineEdit *Text3;    // of which expired
    QLineEdit *Text4;    // quantity
    QLineEdit *Text5;    // value
    QLabel *Label6;      // "有效期无法识别"
    ReportGrid *DBGrid2;
};
