#pragma once

#include <QList>
#include <QPair>
#include <QString>

class Cursor;
class DataGrid;
class QLineEdit;
class QWidget;
class Store;
struct PostingResult;
struct Query;

// The two totals under an entry screen's pending lines: how many lines there are and what they
// come to. Read from the table when the screen opens (and on request), kept up by the screen's
// adds and deletes in between.
class RunningTotals
{
public:
    RunningTotals(QLineEdit *lines, QLineEdit *amount);

    // Counts the pending lines by the column (lines without a value there are not counted) and
    // sums their amounts: "0.00", or "0" when there is nothing to add up.
    void read(Store &store, const Query &pending, const QString &countedColumn);
    // Counts again whenever one of the lines is saved from the grid: an amount typed over
    // there shows in the total at once, and a later delete takes off what the line holds then.
    void recountOnEdits(Store &store, Cursor &lines, const Query &pending,
                        const QString &countedColumn);
    // One line more, of the amount as stored (to the cent): the total, "0.00".
    void added(double amount);
    // One line less, of the amount: the total in its shortest form.
    void removed(double amount);
    void clear();

private:
    double lines() const;
    double amount() const;
    void show(double lines, const QString &amount);

    QLineEdit *m_lines;
    QLineEdit *m_amount;
};

// A column of a new line and the text that goes into it.
using LineValues = QList<QPair<QString, QString>>;

// Adds a pending line through the cursor: the columns of `always` whatever they hold, those of
// `whenGiven` only when not empty (an empty box leaves the column Null). The cursor is then run
// again and stands on the new line. When the store refuses the line the clerk is told ("错误！"
// and the reason) and false is returned.
bool addPendingLine(QWidget *screen, Cursor &lines, const LineValues &always,
                    const LineValues &whenGiven);

// Deletes the pending line chosen in the grid (an edit still open in the grid is saved first)
// and takes it off the totals; a failure is told to the clerk. With no line chosen nothing
// happens. True when a line was deleted.
bool deletePendingLine(QWidget *screen, DataGrid &grid, RunningTotals &totals);

// Shows what a posting did. A failure is told as "入库失败，没有做任何改动。" (or 出库, the
// action given) and the reason. Otherwise the grid's cursor runs again (it now holds no line)
// and the totals show 0; after lines were posted the number box shows the next number.
void showPostingOutcome(QWidget *screen, const QString &action, const PostingResult &result,
                        Cursor &lines, RunningTotals &totals, QLineEdit *numberBox);
