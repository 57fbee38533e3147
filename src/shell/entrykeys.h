#pragma once

#include <QObject>
#include <functional>
#include <initializer_list>

class QComboBox;
class QKeyEvent;
class QWidget;
class Store;

// Keyboard habits of the entry screens, attached to existing widgets.
namespace EntryKeys {

// Calls the handler for every key press (or release) in the widget, before the widget sees it;
// the handler returns true to consume the key. For an editable combo box the keys typed into its
// text part are watched too.
void onKeyPress(QWidget *widget, std::function<bool(QKeyEvent *)> handler);
void onKeyRelease(QWidget *widget, std::function<bool(QKeyEvent *)> handler);

// Enter (Return or the keypad's Enter) in the widget runs the action; the key is consumed.
void onEnter(QWidget *widget, std::function<void()> action);

// Enter in each widget moves the focus to the next one; Enter in the last runs the action.
void chainEnter(std::initializer_list<QWidget *> widgets, std::function<void()> lastAction);

// Space in the combo box opens its drop-down list; the space still reaches the box.
void openListOnSpace(QComboBox *combo);

// Enter in the combo box's open list chooses the highlighted entry and closes the list, as the
// list does by itself, and then counts as Enter in the box: one Enter chooses and moves on.
void passListEnterToBox(QComboBox *combo);

// Calls the handler whenever the combo box's list closes, chosen from or not.
void onListClosed(QComboBox *combo, std::function<void()> handler);

} // namespace EntryKeys

// An editable combo box as the entry screens use it: typed text stays as typed and is never
// added to the list, the space bar opens the list, and Enter in the open list chooses and then
// acts as Enter in the box.
QComboBox *makeEntryCombo(const QString &name, QWidget *parent);

// Makes only a choice from the list count as choosing in an editable combo box: Qt otherwise
// selects, and reports as chosen, the entry that equals the typed text when the box loses the
// focus.
void chooseOnlyFromList(QComboBox *combo);

// Fills a combo's list with the first column of every row of a table, trimmed, in table order.
// False when the table cannot be read.
bool fillChoices(QComboBox *combo, Store &store, const QString &table);
