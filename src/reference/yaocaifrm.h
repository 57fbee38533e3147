#pragma once

#include "shell/childscreen.h"

#include <QList>
#include <QPair>
#include <QString>
#include <optional>

class Cursor;
struct Query;
class DataGrid;
class DropDownSearch;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The catalogue of traded herbs (table yaocai): lists, searches, adds and deletes rows. While the
// code, name or pinyin of a new row is typed, the herb dictionary is offered in a drop-down grid
// and a chosen herb fills the entry boxes.
class YaocaiFrm : public ChildScreen
{
    Q_OBJECT

public:
    explicit YaocaiFrm(Store &store, QWidget *parent = nullptr);

private:
    enum class AddTrigger { Button, EnterKey };

    void buildSearchFrame();
    void buildEntryFrame();
    QLineEdit *addEntryBox(int index, const QString &label, int left, int top);
    QComboBox *addEntryCombo(const QString &name, const QString &label, const QString &labelName,
                             int left, int top, int width);
    QPushButton *addButton(const QString &name, const QString &caption, int top);
    QLabel *addLabel(QWidget *parent, const QString &name, const QString &text, int left, int top,
                     int width);
    void connectKeys();
    void loadChoices();

    void search();
    void searchAsYouType(const QString &text);
    void showAll();
    void removeCurrent();

    void addRow(AddTrigger trigger);
    std::optional<bool> isDuplicate(const QString &code, const QString &origin);
    bool insertRow();
    void clearNameBoxes();

    void lookUp(int index);
    void fillFromDictionary();
    bool handleEntryKey(int index, int key);
    bool reopenCatalogue(const Query &source);

    Cursor *Data1;
    QGroupBox *Frame1;
    QLabel *Label1;
    QLineEdit *Text1;
    QPushButton *Command1;
    QPushButton *Command2;
    DataGrid *DBGrid1;
    QGroupBox *Frame2;
    QLineEdit *Text2[7];
    QComboBox *Combo1;
    QComboBox *Combo2;
    QComboBox *Combo3;
    QComboBox *Combo4;
    QPushButton *Command3;
    QPushButton *Command4;
    QPushButton *Command7;
    // DBGrid2 over the dictionary cursor Data2.
    DropDownSearch *m_lookup;
    // Every entry box by its label, so that a text too long for its column is refused by name.
    QList<QPair<QString, QLineEdit *>> m_labelledBoxes;

    // Off while the screen loads and while a chosen herb is copied into the boxes, so that the
    // program's own filling does not search the dictionary again.
    bool m_lookupEnabled = false;
};
