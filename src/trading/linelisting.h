#pragma once

#include "store/store.h"

#include <QVariantList>
#include <optional>

class Cursor;
class QLineEdit;
class QWidget;

// Lists the lines of a query through the cursor and counts and sums them in one pass. On any
// failure the cursor is closed, so the list never shows lines that the totals do not count;
// no value is returned and *problem says why.
std::optional<QVariantList> listWithTotals(Store &store, Cursor &cursor, const Query &lines,
                                           const QList<Store::Total> &wanted, QString *problem);

// Whether the search text in the box fits a text column. A longer one could match no stored text
// and is more than the engine's LIKE takes: the screen then names the box and focuses it.
bool searchTextFits(QWidget *screen, QLineEdit *box, const QString &boxName);
