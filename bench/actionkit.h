#pragma once

#include "action.h"

#include <QVariantList>
#include <memory>
#include <vector>

class Bench;
class ChildScreen;
class Engine;
class QLineEdit;

// Rows of a table kept aside by the benchmark and put back with their rowids, so that an action
// that deletes or changes them can be measured again on the same data.
class Snapshot
{
public:
    void take(Engine &engine, const QString &table, const QString &condition,
              const QVariantList &values);
    void restore(Engine &engine) const;
    int size() const { return int(m_rows.size()); }

private:
    QString m_table;
    QList<QVariantList> m_rows; // rowid first
};

// Values typed in the searches of a table of herbs (catalogue or stock): a whole code, name and
// pinyin of one row (narrow prefixes) and the commonest first character of names and pinyin
// (broad ones).
struct SearchTerms
{
    QString code;
    QString name;
    QString pinyin;
    QString codeInitial;
    QString nameInitial;
    QString pinyinInitial;
};

SearchTerms searchTerms(Engine &engine, const QString &table);

// Every column of a table, quoted and joined, as SQL lists them.
QString columnList(const QString &table);

// Opening a screen through the main window, until it is painted; closed again after each sample.
Action openScreenAction(Bench &bench, const QString &group, const QString &screen,
                        const QString &caption, const std::function<void(Engine &)> &engine);

// One keystroke in a search box of a screen: the box first holds `before`, then the key is
// typed (or Backspace when `typed` is empty). The engine reads the first page of the rows whose
// `column` begins with the new text.
struct Keystroke
{
    QString screen;
    QString box;
    QString before;
    QString typed;
    QString table;
    QString column;
    QString grid; // the drop-down grid, whose page the engine reads
};

// Two actions per keystroke: the keystroke as the user makes it (typed into the box, the grid
// painted) and the program's data work for it alone (the drop-down's query run through the
// store and the shown rows read), which is what compares with the engine's first page.
void addKeystroke(Bench &bench, const QString &group, const QString &name,
                  const Keystroke &keystroke, std::vector<Action> &actions);

QLineEdit *lineEdit(ChildScreen *screen, const QString &name);

// After a search: the rows its grid shows at once become the engine's page size. A search that
// listed nothing means the benchmark typed the wrong thing, so it throws.
void takePage(ChildScreen *screen, const QString &gridName, int &pageRows);
