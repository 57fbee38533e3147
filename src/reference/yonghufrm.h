#pragma once

#include "shell/childscreen.h"

class Cursor;
class DataGrid;
class QLabel;
class QLineEdit;
class QPushButton;

// The users who may log in: adds a user with the first password "572946" and deletes users,
// except "超级用户". The list shows names only; passwords never appear.
class YonghuFrm : public ChildScreen
{
    Q_OBJECT

public:
    explicit YonghuFrm(Store &store, QWidget *parent = nullptr);

    static QString firstPassword();
    static QString protectedUser();

private:
    void addUser();
    void deleteUser();

    Cursor *Data1;
    DataGrid *DBGrid1;
    QLabel *Label1;
    QLineEdit *Text1;
    QPushButton *Command1;
    QPushButton *Command2;
    QPushButton *Command3;
};
