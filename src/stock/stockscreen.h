#pragma once

#include "shell/childscreen.h"
#include "store/query.h"

class Cursor;
class DataGrid;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// What the three stock windows have in common: the same size, a frame along the top holding
// the search line "编号/品名", and a grid over the stock table below it.
class StockScreen : public ChildScreen
{
    Q_OBJECT

public:
    StockScreen(Store &store, const QString &name, const QString &caption, int frameTopTwips,
                QWidget *parent = nullptr);

protected:
    // Controls of the frame's one line, placed in twips relative to the frame.
    QLabel *addLabel(const QString &name, const QString &text, int leftTwips, int widthTwips);
    QLineEdit *addBox(const QString &name, int leftTwips, int widthTwips);
    QPushButton *addButton(const QString &name, const QString &text, int leftTwips);

    // Re-runs the grid's cursor on the rows; a failure is reported and false returned.
    bool showRows(const Query &query);

    // The search of the entry windows: the code equals the text, or the name begins with it.
    static Filter codeOrNameStarting(const QString &text);
    // The search of the query window: the code or the name equals the text (patterns allowed).
    static Filter codeOrNameMatching(const QString &text);

    // Saves a cell edit still held by the grid before a button acts on the rows, so that the
    // edit cannot later overwrite what the button wrote.
    void saveGridEdits();
    // True when the grid stands on a row; otherwise tells the user to choose one.
    bool requireCurrentRow();
    // Reports a failed store action of the cursor.
    void reportCursorError();

    QFrame *Frame1;
    QLabel *Label1;
    QLineEdit *Text1;
    QPushButton *Command1;
    Cursor *Data1;
    DataGrid *DBGrid1;
};

// The stock table's name and the columns the stock windows work with.
namespace StockColumns {
inline const QString table = QStringLiteral("kucun");
inline const QString code = QStringLiteral("编号");
inline const QString name = QStringLiteral("品名");
inline const QString quantity = QStringLiteral("库存数量");
inline const QString cost = QStringLiteral("进价");
inline const QString value = QStringLiteral("进价金额");
// What makes a stock row the batch it is: every column but the figures that postings change.
inline const QStringList batchIdentity = {
    QStringLiteral("编号"),   QStringLiteral("品名"),   QStringLiteral("拼音"),
    QStringLiteral("规格"),   QStringLiteral("产地"),   QStringLiteral("批号"),
    QStringLiteral("生产日期"), QStringLiteral("有效期"), QStringLiteral("单位"),
    QStringLiteral("库房"),   QStringLiteral("厂家")};
} // namespace StockColumns
