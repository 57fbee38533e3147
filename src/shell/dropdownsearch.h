#pragma once

#include <QObject>
#include <QSize>

class Cursor;
class DataGrid;
class QWidget;
class Store;
struct Query;

// The drop-down search grid: re-queried while the user types in a code, name or pinyin box,
// shown just below that box over the controls beneath, entered with the Down arrow. Enter in the
// grid is reported on key down (take the row over) and on key up (hide and move on); the owning
// screen decides what both mean.
class DropDownSearch : public QObject
{
    Q_OBJECT

public:
    // The grid is a hidden child of `window` named `gridName` (such as "DBGrid2").
    DropDownSearch(Store &store, QWidget *window, const QString &gridName);

    // Runs the query and drops the grid under `box`: left edges aligned, top 300 twips below the
    // box's top, the given size in twips but at least as high as its header and three whole
    // rows, the first `sizedColumns` columns `columnWidthTwips` wide and the others fitted to
    // their content. False when the query fails; the grid then stays where it was.
    bool search(QWidget *box, const Query &query, int widthTwips, int heightTwips,
                int sizedColumns, int columnWidthTwips = 900);
    void hide();
    bool isShown() const;
    // Moves the focus into the grid (the arrow keys then choose a row).
    void enter();

    Cursor &cursor() const { return *m_cursor; }
    DataGrid *grid() const { return m_grid; }

signals:
    void enterPressed();
    void enterReleased();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int minimumHeight() const;

    QWidget *m_window;
    Cursor *m_cursor;
    DataGrid *m_grid;
};
