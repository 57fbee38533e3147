#pragma once

#include "shell/childscreen.h"

#include <array>

class Cursor;
class DataGrid;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The herb dictionary: lists, searches, adds (refusing a second row with the same code and
// name) and deletes the herbs of `bianhao`; the grid corrects a stored herb in place.
class BinmingFrm : public ChildScreen
{
    Q_OBJECT

public:
    explicit BinmingFrm(Store &store, QWidget *parent = nullptr);

private:
    void buildSearchFrame();
    void buildEntryPanel();
    void fillLists();
    void search();
    void showAll();
    void addHerb();
    bool isDuplicate(const QString &code, const QString &name, bool *found);
    bool storeHerb(const QString &code, const QString &name);
    void deleteHerb();

    Cursor *Data1;
    QGroupBox *Frame1;
    QLabel *Label1;
    QLineEdit *Text1;
    QPushButton *Command1;
    QPushButton *Command2;
    DataGrid *DBGrid1;
    QFrame *Picture1;
    std::array<QLineEdit *, 5> Text2;
    QComboBox *Combo1;
    QComboBox *Combo2;
    QComboBox *Combo3;
    QPushButton *Command3;
    QPushButton *Command4;
    QPushButton *Command7;
};
