#pragma once

#include "shell/childscreen.h"
#include "store/insightqueries.h"

class QLabel;
class QLineEdit;
class QPushButton;
class ReportGrid;

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
    void showBatches();
    QVariant cell(const QVector<InsightQueries::ExpiringBatch> &batches, int row,
                  int column) const;
    // The texts of a listed row, read with the rows about it the first time one is drawn.
    const InsightQueries::BatchTexts &textsOf(const QVector<InsightQueries::ExpiringBatch> &batches,
                                              int row) const;

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

    // What the grids show; the day the days left are counted from.
    InsightQueries::ExpiryList m_batches;
    QDate m_today;
    mutable QHash<qint64, InsightQueries::BatchTexts> m_texts;
};
