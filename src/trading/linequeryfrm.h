#pragma once

#include "shell/childscreen.h"
#include "store/query.h"

#include <optional>

class Cursor;
class DataGrid;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// What sets a line query apart from its twin on the other side of the business: the lines table
// and the partner (supplier or customer) it is searched by.
struct LineQueryConfig
{
    QString screenName;      // "jinhuochafrm", "xiaoshouchafrm"
    QString caption;         // "进货查询", "销售查询"
    QString linesTable;      // the table of lines, pending and posted
    QString partnerColumn;   // the partner column of a line
    QString partnerCaption;  // caption of the third search mode
    QString partnerTable;    // whose first column fills the partner list
    QString deleteOneButton; // object name of "删除"
    QString deleteAllButton; // object name of "全删"
};

// Lists lines by code or name, by a date range or by partner, with the number of lines and the
// quantity and money totals, and deletes the selected line or every listed line.
class LineQueryFrm : public ChildScreen
{
    Q_OBJECT

public:
    LineQueryFrm(Store &store, const LineQueryConfig &config, QWidget *parent = nullptr);

    void search();
    void deleteSelectedLine();
    void deleteListedLines();

private:
    void buildControls();
    // The lines the chosen mode asks for; none when a box is refused (the user is told).
    std::optional<Query> chosenLines();
    void forgetCurrentLine();
    void showTotals();

    LineQueryConfig m_config;
    QGroupBox *Frame1 = nullptr;
    QRadioButton *Option1 = nullptr;
    QRadioButton *Option2 = nullptr;
    QRadioButton *Option3 = nullptr;
    QLineEdit *Text1 = nullptr;
    QLineEdit *Text2 = nullptr;
    QLineEdit *Text3 = nullptr;
    QComboBox *Combo1 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *deleteOneButton = nullptr;
    QPushButton *deleteAllButton = nullptr;
    QLineEdit *Text4 = nullptr;
    QLineEdit *Text5 = nullptr;
    QLineEdit *Text6 = nullptr;
    Cursor *Data1 = nullptr;
    DataGrid *DBGrid1 = nullptr;
    // The totals as numbers (no value: nothing to add up), so that deletes keep them exact.
    qint64 m_lineCount = 0;
    std::optional<double> m_quantityTotal;
    std::optional<double> m_amountTotal;
};
