#pragma once

#include "shell/childscreen.h"

class Cursor;
class DataGrid;
class QLabel;
class QLineEdit;
class QPushButton;

// The minimum stock of each herb code (table kucunxiaxian), which the low-stock list compares
// the summed stock with: added from the two boxes, changed in the grid, deleted by the button.
class XiaxianFrm : public ChildScreen
{
    Q_OBJECT

public:
    explicit XiaxianFrm(Store &store, QWidget *parent = nullptr);

private:
    void addMinimum();
    void deleteMinimum();
    // The problem with the typed code and minimum; empty when they can be added.
    QString problemWithTyped(const QString &code, const QString &minimum);

    Cursor *Data1;
    QLabel *Label1;
    QLineEdit *Text1; // 编号
    QLabel *Label2;
    QLineEdit *Text2; // 下限
    QPushButton *Command1;
    QPushButton *Command2;
    DataGrid *DBGrid1;
};
