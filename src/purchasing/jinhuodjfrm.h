#pragma once

#include "shell/childscreen.h"

#include <QList>
#include <QPair>
#include <QString>

class Cursor;
class DataGrid;
class DropDownSearch;
class QComboBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

// Purchase entry: herbs are picked from the catalogue by typing the start of their code, name or
// pinyin, completed with batch, dates, quantity and price, and added as pending lines of the
// document number shown; "入库" posts the pending lines into stock.
class JinhuodjFrm : public ChildScreen
{
    Q_OBJECT

public:
    explicit JinhuodjFrm(Store &store, QWidget *parent = nullptr);

private:
    void buildBasicFrame();
    void buildHerbFrame();
    void buildBottomRow();
    QLineEdit *addBox(QWidget *parent, const QString &name, const QString &label, int left,
                      int top, int labelWidth, int boxWidth);
    QComboBox *addCombo(QWidget *parent, const QString &name, const QString &label, int left,
                        int top, int labelWidth);
    QLabel *addLabel(QWidget *parent, const QString &text, int left, int top, int width);
    QPushButton *addButton(const QString &name, const QString &caption, int left, int top);
    void connectActions();
    void connectHerbBoxKeys(int index);
    void connectListKeys();
    void connectNumberKeys();
    bool handleModeKey(const QKeyEvent *event);
    void load();

    void searchAsYouType(int index);
    void copyCatalogueRow();
    void rememberSalePrice();
    void finishGridPick();
    void computeAmount();
    void addLine();
    bool storeLine();
    void clearEntryBoxes();
    void deleteLine();
    void postLines();
    void setKeepNumber(bool keep);
    void setTotals(double lines, const QString &amount);
    double totalAmount() const;
    void refuse(QLineEdit *box, const QString &message);

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
    DropDownSearch *m_lookup;
    // Every entry box by its label, so that a text too long for its column is refused by name.
    QList<QPair<QString, QLineEdit *>> m_labelledBoxes;

    // Off while the program itself fills or clears the herb boxes, so that this starts no search.
    bool m_searching = false;
    // Set when Space opened a combo's list: Up then moves inside the list.
    bool m_listOpen = false;
    // Posting leaves the counter as it is, so the next lines share the number just used.
    bool m_keepNumber = false;
    // The box that saw the Up key go down, so that a release arriving after a move is ignored.
    QWidget *m_upPressedIn = nullptr;
    // The sale price of the last catalogue row chosen in the grid; new stock rows get it.
    double m_salePrice = 0.0;
};
