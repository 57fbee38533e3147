#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <array>
#include <functional>

class Cursor;
class DataGrid;
class DropDownSearch;
class QComboBox;
class QLineEdit;
class QWidget;
class Store;

// The drop-down search of an entry screen over a table of herbs (the catalogue, the stock).
// Typing in the code, name or pinyin box lists the rows whose column begins with the text,
// ordered by that column, in a grid dropped below the box. Down there enters the grid; Enter in
// the grid, or in the box while the grid shows, takes the chosen row over into the entry boxes.
// While the program itself fills or clears the boxes the search is paused.
class HerbLookup : public QObject
{
    Q_OBJECT

public:
    struct Settings
    {
        QString table;
        QString gridName;           // "DBGrid2"
        int width = 0;              // twips
        std::array<int, 3> heights; // twips, under the code, name and pinyin box
        int sizedColumns = 0;       // the first columns get the same width
        int columnWidth = 0;        // twips
    };
    // Where a column of the chosen row goes: a box, or the text of a combo box.
    struct Target
    {
        QString column;
        QLineEdit *box = nullptr;
        QComboBox *combo = nullptr;
    };

    // The three search boxes search the columns 编号, 品名 and 拼音. Enter in one of them moves
    // the focus to the widget of the same index in `nextAfterEnter`.
    HerbLookup(Store &store, QWidget *window, const Settings &settings,
               const std::array<QLineEdit *, 3> &searchBoxes,
               const std::array<QWidget *, 3> &nextAfterEnter);

    void setTargets(const QList<Target> &targets);
    // Asked before the chosen row is taken over; a row it refuses leaves the boxes as they are.
    void setTakeOverCheck(const std::function<bool(const Cursor &row)> &check);
    // Runs the change with the search paused.
    void quietly(const std::function<void()> &change);
    // Copies the chosen row, each column that is not Null trimmed, into its target.
    void takeOver();
    void hide();
    bool isShown() const;
    const Cursor &chosenRow() const;
    DataGrid *grid() const;

signals:
    // Enter went up in the grid: the row taken over when it went down, the grid hidden.
    void pickedInGrid();

private:
    void search(int index);
    void connectSearchBox(int index, QWidget *next);

    Settings m_settings;
    std::array<QLineEdit *, 3> m_boxes;
    DropDownSearch *m_dropDown;
    QList<Target> m_targets;
    std::function<bool(const Cursor &row)> m_takeOverCheck;
    bool m_searching = true;
};
