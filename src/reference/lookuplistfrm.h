#pragma once

#include "shell/childscreen.h"

class Cursor;
class DataGrid;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// What tells the four one-column list screens (warehouses, units, categories, functions) apart.
struct LookupListConfig
{
    QString name;    // "kufangfrm"
    QString caption; // "库房设置"
    QString table;   // "kufang"
    QString label;   // "库房"
};

namespace LookupLists {
LookupListConfig kufang();
LookupListConfig danwei();
LookupListConfig fenlei();
LookupListConfig gongneng();
} // namespace LookupLists

// One of the one-column lists: the whole table in a grid, the box's text added as an entry, the
// chosen entry deleted. Entries are stored as typed; empty and repeated entries are allowed.
class LookupListFrm : public ChildScreen
{
    Q_OBJECT

public:
    LookupListFrm(Store &store, const LookupListConfig &config, QWidget *parent = nullptr);

private:
    void addEntry();
    void deleteEntry();

    Cursor *Data1;
    QGroupBox *Frame1;
    QLabel *Label1;
    QLineEdit *Text1;
    QPushButton *Command1;
    QPushButton *Command2;
    DataGrid *DBGrid1;
};
