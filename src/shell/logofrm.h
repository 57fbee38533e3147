#pragma once

#include "shell/session.h"

#include <QDialog>

class HerbdeskFrm;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class ScreenRegistry;
class Store;

// The login window, the program's entry: lists the users, checks the chosen user's password and
// opens the main window.
class LogoFrm : public QDialog
{
    Q_OBJECT

public:
    LogoFrm(Store &store, const ScreenRegistry &screens, QWidget *parent = nullptr);

    const Session &session() const { return m_session; }

signals:
    // A correct password opened this main window (it deletes itself when closed).
    void loggedIn(HerbdeskFrm *mainWindow);

private:
    void buildControls();
    void readCompanyName();
    void listUsers();
    void lookUpPassword(int row);
    void confirm();

    Store &m_store;
    const ScreenRegistry &m_screens;
    Session m_session;
    QString m_storedPassword; // of the user chosen last; empty until a user is chosen

    QGroupBox *Frame1 = nullptr;
    QLabel *Label1 = nullptr;
    QComboBox *Combo1 = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *Text1 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
};
