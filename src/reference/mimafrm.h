#pragma once

#include "shell/childscreen.h"

class Cursor;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Changes a user's password after checking the old one and the new one typed twice. The old
// password is checked against what was stored when the user was chosen in the list.
class MimaFrm : public ChildScreen
{
    Q_OBJECT

public:
    explicit MimaFrm(Store &store, QWidget *parent = nullptr);

private:
    void fillUsers();
    void chooseUser(const QString &name);
    void changePassword();

    Cursor *Data1;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QLabel *Label4;
    QComboBox *Combo1;
    QLineEdit *Text1;
    QLineEdit *Text2;
    QLineEdit *Text3;
    QPushButton *Command1;
    QPushButton *Command2;
    // The chosen user and the password as read at the choice; a change does not renew it.
    QString m_chosenUser;
    QString m_storedPassword;
};
