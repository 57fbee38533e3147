#pragma once

#include "shell/childscreen.h"
#include "trading/entryform.h"

#include <memory>

class ComboSteps;
class Cursor;
class DataGrid;
class HerbLookup;
class QComboBox;
class QGroupBox;
class QKeyEvent;
class QLineEdit;
class QPushButton;
class RunningTotals;

// Purchase entry: herbs are picked from the catalogue by typing the start of their code, name or
// pinyin, completed with batch, dates, quantity and price, and added as pending lines of the
// document number shown; "入库" posts the pending lines into stock.
class JinhuodjFrm : public ChildScreen
{
    Q_OBJECT

public:
    explicit JinhuodjFrm(Store &store, QWidget *parent = nullptr);
    ~JinhuodjFrm() override;

private:
    void buildBasicFrame();
    void buildHerbFrame();
    void buildBottomRow();
    void buildLookup();
    void connectActions();
    void connectKeys();
    bool handleModeKey(const QKeyEvent *event);
    void load();

    void rememberSalePrice();
    void addLine();
    bool storeLine();
    void clearEntryBoxes();
    void deleteLine();
    void postLines();
    void setKeepNumber(bool keep);

    EntryForm m_form;
    Cursor *Data1;
    QGroupBox *Frame1;
    QGroupBox *Frame2;
    QLineEdit *Text3[9];
    QComboBox *Combo1;
    QComboBox *Combo2;
    QComboBox *Combo5;
    QLineEdit *Text9;
    QLineEdit *Text6;
    QLineEdit *Text7;
    QLineEdit *Text8;
    QLineEdit *Text4;
    QLineEdit *Text5;
    DataGrid *DBGrid1;
    QPushButton *Command1;
    QPushButton *Command2;
    QPushButton *Command3;
    QPushButton *Command5;
    QPushButton *Command6;
    // DBGrid2 over the catalogue cursor Data3.
    HerbLookup *m_lookup = nullptr;
    ComboSteps *m_comboSteps = nullptr;
    std::unique_ptr<RunningTotals> m_totals;

    // Posting leaves the counter as it is, so the next lines share the number just used.
    bool m_keepNumber = false;
    // The sale price of the last catalogue row chosen in the grid; new stock rows get it.
    double m_salePrice = 0.0;
};
