#pragma once

#include "shell/childscreen.h"

#include <array>

class Cursor;
class DataGrid;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// What tells the supplier, customer and staff screens apart.
struct PartnerConfig
{
    QString name;    // "gonghuofrm"
    QString caption; // "供货单位"
    QString table;   // "changjia"
    std::array<QString, 4> columns; // written from Text1..Text4
    std::array<QString, 4> labels;  // Label1..Label4
    int frameTop;   // twips; the buttons stand level with the two rows of boxes
    int gridTop;
};

namespace Partners {
PartnerConfig gonghuo();
PartnerConfig kehu();
PartnerConfig yuangong();
} // namespace Partners

// A list of business partners or staff: the table in a grid, a row added from four boxes (by
// "添加", or by Enter in the fourth box, which then clears only the name for the next row) and
// the chosen row deleted.
class PartnerFrm : public ChildScreen
{
    Q_OBJECT

public:
    PartnerFrm(Store &store, const PartnerConfig &config, QWidget *parent = nullptr);

private:
    bool addRow();
    void addAndStartNext();
    void deleteRow();

    PartnerConfig m_config;
    Cursor *Data1;
    QGroupBox *Frame1;
    std::array<QLabel *, 4> Label;   // Label1..Label4
    std::array<QLineEdit *, 4> Text; // Text1..Text4
    QPushButton *Command1;
    QPushButton *Command2;
    DataGrid *DBGrid1;
};
