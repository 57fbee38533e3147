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
class QLabel;
class QLineEdit;
class QPushButton;
class RunningTotals;

// Sales entry: a stock row is found by typing the start of its code, name or pinyin and taken
// over, the customer chosen, quantity and price typed, and the line added to the pending lines of
// the document number shown, unless the stock cannot supply it; "出库" posts the pending lines out
// of stock.
class XiaoshouFrm : public ChildScreen
{
    Q_OBJECT

public:
    explicit XiaoshouFrm(Store &store, QWidget *parent = nullptr);
    ~XiaoshouFrm() override;

private:
    void buildHerbFrame();
    void buildBasicFrame();
    void buildBottomRow();
    void buildLookup();
    void connectActions();
    void connectKeys();
    bool handleLabelKey(const QKeyEvent *event);
    bool handleRecountKey(const QKeyEvent *event);
    void load();

    void addLine();
    bool lineFitsStock();
    bool storeLine();
    void clearEntryBoxes();
    void deleteLine();
    void postLines();
    void recount(const QString &countedColumn);

    EntryForm m_form;
    Cursor *Data1;
    QGroupBox *Frame1 = nullptr;
    QGroupBox *Frame2 = nullptr;
    QLineEdit *Text3[11];
    QComboBox *Combo2 = nullptr;
    QLineEdit *Text7 = nullptr;
    QLineEdit *Text8 = nullptr;
    QLineEdit *Text9 = nullptr;
    QLineEdit *Text10 = nullptr;
    QLineEdit *Text1 = nullptr;
    QLineEdit *Text4 = nullptr;
    QLineEdit *Text2 = nullptr;
    QLineEdit *Text5 = nullptr;
    QLineEdit *Text6 = nullptr;
    QLabel *dateLabel = nullptr;  // "出库日期", coloured by F11 and F12 in the herb boxes
    QLabel *linesLabel = nullptr; // "品种", coloured by F11 and F12 in the pending grid
    QLabel *StatusBar1 = nullptr; // what the screen has to say of the batch taken over
    DataGrid *DBGrid1 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command5 = nullptr;
    QPushButton *Command6 = nullptr;
    // DBGrid2 over the stock cursor Data2.
    HerbLookup *m_lookup = nullptr;
    ComboSteps *m_comboSteps = nullptr;
    std::unique_ptr<RunningTotals> m_totals;
};
