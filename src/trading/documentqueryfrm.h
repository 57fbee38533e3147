#pragma once

#include "shell/childscreen.h"

#include <functional>

class Cursor;
class DataGrid;
class DropDownSearch;
class QGroupBox;
class QLineEdit;
class QPushButton;

// What sets a document query apart from its twin on the other side of the business: the
// headers that posting writes and the lines that carry their numbers.
struct DocumentQueryConfig
{
    QString screenName;   // "jindanchafrm", "chudanchafrm"
    QString caption;      // "进货单据", "销售单据"
    QString frameCaption; // caption of the frame round the search controls
    QString headerTable;  // one row per posted document
    QString headerColumn; // the document number of a header
    QString linesTable;   // the lines, which carry the number in 单据号
    QString prefix;       // the number's prefix, the box's initial text
    // Opens the reprint of the document found, which reads the screen's number and lines; none
    // leaves the print button disabled.
    std::function<void(QWidget *screen)> reprint;
};

// Finds a document by its number: a drop-down of the headers whose number begins with the typed
// text, Enter to take one over, then the document's lines with their count and money total.
class DocumentQueryFrm : public ChildScreen
{
    Q_OBJECT

public:
    DocumentQueryFrm(Store &store, const DocumentQueryConfig &config, QWidget *parent = nullptr);

    void lookUpHeaders();
    void takeOverHeader();
    void search();

private:
    void buildControls();
    void connectKeys();

    DocumentQueryConfig m_config;
    QGroupBox *Frame1 = nullptr;
    QLineEdit *Text1 = nullptr;
    QLineEdit *Text2 = nullptr;
    QLineEdit *Text3 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    Cursor *Data1 = nullptr;
    DataGrid *DBGrid1 = nullptr;
    DropDownSearch *m_headers = nullptr; // the grid DBGrid2 over its cursor Data2
    bool m_searching = false;            // off while the program itself fills Text1
};
