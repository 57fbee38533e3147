#pragma once

#include "shell/childscreen.h"

class QLabel;
class QPushButton;

// The contact window of the help menu.
class LianxiFrm : public ChildScreen
{
    Q_OBJECT

public:
    explicit LianxiFrm(Store &store, QWidget *parent = nullptr);

private:
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QPushButton *Command1 = nullptr;
};
